#include "test_ui_loop.h"

#include <algorithm>

namespace pelmora::test {

void TestUiLoop::Wake() {
    std::lock_guard lock(mutex_);
    ++wakes_;
    woken_.notify_all();
}

int TestUiLoop::Wakes() {
    std::lock_guard lock(mutex_);
    return wakes_;
}

bool TestUiLoop::PumpUntil(TCustomComPort& port, const std::function<bool()>& done,
                           std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        // Woken by a request, or after a short slice to look at `done()` again.
        std::unique_lock lock(mutex_);
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + 10ms);
        if (woken_.wait_until(lock, slice, [this] { return handled_ < wakes_; })) {
            handled_ = wakes_;
            lock.unlock();
            port.DeliverPending();
        }
    }
    return true;
}

void TestUiLoop::PumpFor(TCustomComPort& port, std::chrono::milliseconds span) {
    PumpUntil(
        port, [] { return false; }, span);
}

bool TestUiLoop::WaitForWakes(int count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return woken_.wait_for(lock, limit, [&] { return wakes_ >= count; });
}

} // namespace pelmora::test
