#include "pty_peer.h"

#include <gtest/gtest.h>

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

} // namespace pelmora::test
