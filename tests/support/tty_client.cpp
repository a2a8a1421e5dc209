#include "support/tty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::testing {

TtyClient::TtyClient(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return;
    termios raw{};
    ::tcgetattr(fd_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd_, TCSANOW, &raw);
}

TtyClient::~TtyClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TtyClient::Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

std::string TtyClient::Read(std::size_t count, std::chrono::milliseconds timeout) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char bytes[256];
        const ssize_t n = ::read(fd_, bytes, std::min(sizeof bytes, count - received.size()));
        if (n <= 0)
            break;
        received.append(bytes, static_cast<std::size_t>(n));
    }
    return received;
}

} // namespace pelmora::testing
