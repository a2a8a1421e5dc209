// Exceptions never unwind through Qt's own frames. Every slot connected to a Qt signal runs
// through RunSlot: at the outermost level an exception is shown in the standard error box
// and the program goes on; inside one of our own calls into Qt (a scroll bar's position or
// maximum, an edit box's text) it is kept and raised again once that call has returned, so a
// chain of nested handlers still stops as one action, exactly as if it had unwound.
#pragma once

#include <QLineEdit>
#include <QScrollBar>

#include <exception>
#include <functional>

namespace pelmora {

class HandlerGuard {
  public:
    static void RunSlot(const std::function<void()>& slot);
    static void CallQt(const std::function<void()>& call);

  private:
    static int depth_;                  // our calls into Qt now running
    static std::exception_ptr pending_; // kept until the innermost such call returns
};

// Setters that run the control's change handler through the guard.
void SetPosition(QScrollBar& bar, int value);
void SetMaximum(QScrollBar& bar, int maximum);
void SetEditText(QLineEdit& edit, const QString& text);

} // namespace pelmora
