// The Qt answer to the port's hand-off: a wake posts a queued call to the port's
// DeliverPending() on the thread this object lives in (the UI thread).
#pragma once

#include "serial/com_port.h"
#include "serial/ui_handoff.h"

#include <QObject>

namespace pelmora {

class QtUiHandoff : public QObject, public UiHandoff {
  public:
    // Attaches itself to `port` until destroyed; the port must outlive it.
    explicit QtUiHandoff(TCustomComPort& port, QObject* parent = nullptr);
    ~QtUiHandoff() override;

    void Wake() override;

  private:
    TCustomComPort& port_;
};

} // namespace pelmora
