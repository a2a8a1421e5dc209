// Winsock for the network port: a non-blocking TCP socket without Nagle's delay, and an event
// selected for received bytes and the far end's close beside the stop event.
#include "serial/net_socket.h"

#include <array>
#include <chrono>
#include <mutex>

#define WIN32_LEAN_AND_MEAN // keeps out the printer API, whose SetPort macro renames ours
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mstcpip.h>

namespace pelmora::detail {

struct NativeSocket {
    SOCKET handle = INVALID_SOCKET;
};

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Winsock is started once for the process and left running until it ends.
int StartWinsock() {
    static int code = -1;
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data{};
        code = ::WSAStartup(MAKEWORD(2, 2), &data);
    });
    return code;
}

void CloseSocket(SOCKET& handle) {
    if (handle != INVALID_SOCKET) {
        ::closesocket(handle);
        handle = INVALID_SOCKET;
    }
}

enum class Readiness { Read, Write };

// Waits for the socket to be ready until the deadline; 0 when it is, else the code.
int AwaitReady(SOCKET handle, Readiness readiness, Clock::time_point deadline) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(handle, &ready);
    FD_SET(handle, &failed);
    const int left = MillisecondsLeft(deadline);
    timeval wait{left / 1000, (left % 1000) * 1000};
    const int count = readiness == Readiness::Read ? ::select(0, &ready, nullptr, &failed, &wait)
                                                   : ::select(0, nullptr, &ready, &failed, &wait);
    if (count == SOCKET_ERROR)
        return ::WSAGetLastError();
    if (count == 0)
        return WSAETIMEDOUT;
    if (FD_ISSET(handle, &failed)) {
        int error = 0;
        int size = sizeof error;
        ::getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        return error != 0 ? error : WSAECONNREFUSED;
    }
    return 0;
}

int ConnectOne(const addrinfo& address, Clock::time_point deadline, SOCKET& handle) {
    handle = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (handle == INVALID_SOCKET)
        return ::WSAGetLastError();
    u_long nonBlocking = 1;
    const BOOL one = TRUE;
    ::ioctlsocket(handle, FIONBIO, &nonBlocking);
    ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    // Every segment acknowledged at once: a server's small reply behind its own earlier one
    // would otherwise wait for the delayed acknowledgement (Windows 10 and later; refused
    // quietly elsewhere).
    DWORD ackFrequency = 1;
    DWORD returned = 0;
    ::WSAIoctl(handle, SIO_TCP_SET_ACK_FREQUENCY, &ackFrequency, sizeof ackFrequency, nullptr, 0,
               &returned, nullptr, nullptr);
    if (::connect(handle, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
        return 0;
    const int code = ::WSAGetLastError();
    if (code != WSAEWOULDBLOCK)
        return code;
    return AwaitReady(handle, Readiness::Write, deadline);
}

class SocketWaiter final : public PortWaiter {
  public:
    explicit SocketWaiter(Socket& socket) : socket_(socket) {}
    ~SocketWaiter() override {
        if (received_ != WSA_INVALID_EVENT) {
            ::WSAEventSelect(socket_.Native().handle, nullptr, 0);
            ::WSACloseEvent(received_);
        }
        if (stop_ != nullptr)
            ::CloseHandle(stop_);
    }
    int Start() override {
        stop_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        received_ = ::WSACreateEvent();
        if (stop_ == nullptr || received_ == WSA_INVALID_EVENT)
            return static_cast<int>(::GetLastError());
        if (::WSAEventSelect(socket_.Native().handle, received_, FD_READ | FD_CLOSE) != 0)
            return ::WSAGetLastError();
        return 0;
    }
    // A connection that ended is offered once more as received bytes, so what came before
    // the close is read, and is then lost.
    LineEvent Wait() override {
        if (ended_)
            return LineEvent::Lost;
        const std::array<HANDLE, 2> handles{stop_, received_};
        if (::WaitForMultipleObjects(2, handles.data(), FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return LineEvent::Stop;
        WSANETWORKEVENTS events{};
        if (::WSAEnumNetworkEvents(socket_.Native().handle, received_, &events) != 0 ||
            (events.lNetworkEvents & FD_CLOSE) != 0)
            ended_ = true;
        return LineEvent::RxChar;
    }
    void SignalStop() override { ::SetEvent(stop_); }

  private:
    Socket& socket_;
    HANDLE stop_ = nullptr;
    WSAEVENT received_ = WSA_INVALID_EVENT;
    bool ended_ = false;
};

} // namespace

Socket::Socket() : native_(std::make_unique<NativeSocket>()) {}
Socket::~Socket() {
    Close();
}

int Socket::Connect(const std::string& host, const std::string& service, int timeoutMs,
                    std::string& failure) {
    Close();
    if (const int code = StartWinsock()) {
        failure = "the system's network layer did not start";
        return code;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found)) {
        failure = "the host " + host + " is not known";
        return code;
    }
    int code = WSAETIMEDOUT;
    for (const addrinfo* address = found; address != nullptr && MillisecondsLeft(deadline) > 0;
         address = address->ai_next) {
        SOCKET handle = INVALID_SOCKET;
        code = ConnectOne(*address, deadline, handle);
        if (code == 0) {
            native_->handle = handle;
            break;
        }
        CloseSocket(handle);
    }
    ::freeaddrinfo(found);
    if (code == WSAETIMEDOUT)
        failure = host + ":" + service + " did not answer within " +
                  std::to_string(timeoutMs / 1000) + " s";
    else if (code != 0)
        failure = "cannot connect to " + host + ":" + service;
    return code;
}

void Socket::Close() {
    CloseSocket(native_->handle);
}

bool Socket::IsOpen() const {
    return native_->handle != INVALID_SOCKET;
}

int Socket::Send(const char* data, int count, int timeoutMs, int& sent) {
    sent = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (sent < count) {
        const int done = ::send(native_->handle, data + sent, count - sent, 0);
        if (done > 0) {
            sent += done;
            continue;
        }
        const int code = ::WSAGetLastError();
        if (done == SOCKET_ERROR && code != WSAEWOULDBLOCK)
            return code;
        if (MillisecondsLeft(deadline) == 0)
            return 0; // cut short by the time-out: fewer bytes, no error
        if (const int wait = AwaitReady(native_->handle, Readiness::Write, deadline);
            wait != 0 && wait != WSAETIMEDOUT)
            return wait;
    }
    return 0;
}

int Socket::Receive(char* buffer, int count, int& got, bool& closed) {
    got = 0;
    closed = false;
    const int received = ::recv(native_->handle, buffer, count, 0);
    if (received > 0) {
        got = received;
        return 0;
    }
    if (received == 0) {
        closed = true;
        return 0;
    }
    const int code = ::WSAGetLastError();
    return code == WSAEWOULDBLOCK ? 0 : code;
}

int Socket::AwaitReadable(int timeoutMs) {
    return AwaitReady(native_->handle, Readiness::Read,
                      Clock::now() + std::chrono::milliseconds(timeoutMs));
}

std::unique_ptr<PortWaiter> NewSocketWaiter(Socket& socket) {
    return std::make_unique<SocketWaiter>(socket);
}

int ConnectionLostCode() {
    return WSAECONNRESET;
}

int TimedOutCode() {
    return WSAETIMEDOUT;
}

} // namespace pelmora::detail
