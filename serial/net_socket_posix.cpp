// POSIX sockets for the network port: a non-blocking TCP socket without Nagle's delay, and an
// epoll wait beside an eventfd for the stop signal, as the serial device's.
#include "serial/net_socket.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pelmora::detail {

struct NativeSocket {
    int fd = -1;
};

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Waits for `events` on the socket until the deadline; 0 when they came, else the code.
int AwaitEvents(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0)
            return 0;
        if (ready == 0)
            return ETIMEDOUT;
        if (errno != EINTR)
            return errno;
    }
}

// A server's small reply (the box's answer behind the server's own acknowledgement of a
// purge) waits for our acknowledgement of what it sent before; a delayed one stalls it 40 ms.
// The kernel leaves quick acknowledgement now and then, so it is asked for after each read.
void AcknowledgeAtOnce(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
}

int ConnectOne(const addrinfo& address, Clock::time_point deadline, int& fd) {
    fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                  address.ai_protocol);
    if (fd < 0)
        return errno;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    if (const int code = AwaitEvents(fd, POLLOUT, deadline))
        return code;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

class SocketWaiter final : public PortWaiter {
  public:
    explicit SocketWaiter(Socket& socket) : socket_(socket) {}
    ~SocketWaiter() override {
        CloseFd(epoll_);
        CloseFd(stop_);
    }
    int Start() override;
    LineEvent Wait() override;
    void SignalStop() override {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(stop_, &one, sizeof one);
    }

  private:
    Socket& socket_;
    int epoll_ = -1;
    int stop_ = -1;
    bool ended_ = false;
};

constexpr std::uint64_t StopTag = 0;
constexpr std::uint64_t SocketTag = 1;

int Watch(int epoll, int fd, std::uint32_t events, std::uint64_t tag) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = tag;
    return ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) == 0 ? 0 : errno;
}

// Edge-triggered: an event means new bytes (or the far end's close) arrived.
int SocketWaiter::Start() {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    stop_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || stop_ < 0)
        return errno;
    if (const int code = Watch(epoll_, stop_, EPOLLIN, StopTag))
        return code;
    return Watch(epoll_, socket_.Native().fd, EPOLLIN | EPOLLRDHUP | EPOLLET, SocketTag);
}

// A connection that ended is offered once more as received bytes, so what came before the
// close is read, and is then lost.
LineEvent SocketWaiter::Wait() {
    if (ended_)
        return LineEvent::Lost;
    for (;;) {
        std::array<epoll_event, 2> events{};
        const int ready = ::epoll_wait(epoll_, events.data(), events.size(), -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return LineEvent::Stop;
        for (int i = 0; i < ready; ++i) {
            if (events[i].data.u64 == StopTag)
                return LineEvent::Stop;
            if ((events[i].events & (EPOLLHUP | EPOLLERR | EPOLLRDHUP)) != 0) {
                ::epoll_ctl(epoll_, EPOLL_CTL_DEL, socket_.Native().fd, nullptr);
                ended_ = true;
            }
        }
        return LineEvent::RxChar;
    }
}

} // namespace

Socket::Socket() : native_(std::make_unique<NativeSocket>()) {}
Socket::~Socket() {
    Close();
}

int Socket::Connect(const std::string& host, const std::string& service, int timeoutMs,
                    std::string& failure) {
    Close();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found)) {
        failure = "the host " + host + " is not known (" + ::gai_strerror(code) + ")";
        return -1;
    }
    int code = ETIMEDOUT;
    for (const addrinfo* address = found; address != nullptr && MillisecondsLeft(deadline) > 0;
         address = address->ai_next) {
        int fd = -1;
        code = ConnectOne(*address, deadline, fd);
        if (code == 0) {
            native_->fd = fd;
            break;
        }
        CloseFd(fd);
    }
    ::freeaddrinfo(found);
    if (code == ETIMEDOUT)
        failure = host + ":" + service + " did not answer within " +
                  std::to_string(timeoutMs / 1000) + " s";
    else if (code != 0)
        failure = "cannot connect to " + host + ":" + service + " (" + std::strerror(code) + ")";
    return code;
}

void Socket::Close() {
    CloseFd(native_->fd);
}

bool Socket::IsOpen() const {
    return native_->fd >= 0;
}

int Socket::Send(const char* data, int count, int timeoutMs, int& sent) {
    sent = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (sent < count) {
        const ssize_t done = ::send(native_->fd, data + sent, count - sent, MSG_NOSIGNAL);
        if (done > 0) {
            sent += static_cast<int>(done);
            continue;
        }
        if (done < 0 && errno != EAGAIN && errno != EINTR)
            return errno;
        if (MillisecondsLeft(deadline) == 0)
            return 0; // cut short by the time-out: fewer bytes, no error
        if (const int code = AwaitEvents(native_->fd, POLLOUT, deadline); code && code != ETIMEDOUT)
            return code;
    }
    return 0;
}

int Socket::Receive(char* buffer, int count, int& got, bool& closed) {
    got = 0;
    closed = false;
    for (;;) {
        const ssize_t received = ::recv(native_->fd, buffer, count, 0);
        if (received > 0) {
            got = static_cast<int>(received);
            AcknowledgeAtOnce(native_->fd);
            return 0;
        }
        if (received == 0) {
            closed = true;
            return 0;
        }
        if (errno == EAGAIN)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

int Socket::AwaitReadable(int timeoutMs) {
    return AwaitEvents(native_->fd, POLLIN, Clock::now() + std::chrono::milliseconds(timeoutMs));
}

std::unique_ptr<PortWaiter> NewSocketWaiter(Socket& socket) {
    return std::make_unique<SocketWaiter>(socket);
}

int ConnectionLostCode() {
    return EIO;
}

int TimedOutCode() {
    return ETIMEDOUT;
}

} // namespace pelmora::detail
