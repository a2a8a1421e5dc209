// The seam between the serial port's event thread and the UI thread. The event thread only
// asks for the UI thread to be woken; whatever answers then calls the port's DeliverPending()
// on the UI thread.
#pragma once

namespace pelmora {

class UiHandoff {
  public:
    virtual ~UiHandoff() = default;
    // Called from the event thread. Must not block and must not call back into the port.
    virtual void Wake() = 0;
};

} // namespace pelmora
