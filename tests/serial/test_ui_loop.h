// A UI loop for tests that runs the port's deliveries on the thread that pumps it.
#pragma once

#include "serial/com_port.h"
#include "serial/ui_handoff.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace pelmora::test {

using namespace std::chrono_literals;

// Stands in for the UI thread's event loop: Wake() records the request, Pump() runs the
// port's pending delivery on the calling thread.
class TestUiLoop : public UiHandoff {
  public:
    void Wake() override;
    int Wakes();

    // Runs deliveries on the calling thread until `done()` holds or `limit` passes.
    bool PumpUntil(TCustomComPort& port, const std::function<bool()>& done,
                   std::chrono::milliseconds limit = 5000ms);
    // Runs deliveries for `span` (for checking that nothing arrives).
    void PumpFor(TCustomComPort& port, std::chrono::milliseconds span);
    // Waits, without delivering, until at least `count` wakes were requested in all.
    bool WaitForWakes(int count, std::chrono::milliseconds limit = 5000ms);

  private:
    std::mutex mutex_;
    std::condition_variable woken_;
    int wakes_ = 0;
    int handled_ = 0;
};

} // namespace pelmora::test
