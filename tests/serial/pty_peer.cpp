#include "pty_peer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::test {

PtyPeer::PtyPeer() {
    char name[PATH_MAX] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    slavePath_ = name;
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer() {
    HangUp();
    ::close(slave_);
}

void PtyPeer::Send(const std::string& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string PtyPeer::Receive(size_t count, std::chrono::milliseconds limit) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd entry{master_, POLLIN, 0};
        ::poll(&entry, 1, 10);
        char chunk[256];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n > 0) {
            got.append(chunk, static_cast<size_t>(n));
        }
    }
    return got;
}

void PtyPeer::HangUp() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

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
