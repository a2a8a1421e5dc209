#include "ui/qt/qt_ui_handoff.h"

#include <QMetaObject>

namespace pelmora {

QtUiHandoff::QtUiHandoff(TCustomComPort& port, QObject* parent) : QObject(parent), port_(port) {
    port_.SetUiHandoff(this);
}

QtUiHandoff::~QtUiHandoff() {
    port_.SetUiHandoff(nullptr);
}

// Queued calls still waiting when this object is destroyed are dropped by Qt.
void QtUiHandoff::Wake() {
    QMetaObject::invokeMethod(
        this, [this] { port_.DeliverPending(); }, Qt::QueuedConnection);
}

} // namespace pelmora
