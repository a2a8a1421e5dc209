// POSIX backend: termios for the line, an advisory flock for exclusive use, epoll and an
// eventfd for the event thread's wait.
#include "serial/com_device.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::detail {

struct NativeDevice {
    int fd = -1;
    TComTimeouts timeouts;
};

struct NativeWaiter {
    int epoll = -1;
    int stop = -1;
    int device = -1;
};

namespace {

using Clock = std::chrono::steady_clock;

struct BaudSpeed {
    TBaudRate rate;
    speed_t speed;
};

// Rates the kernel has no constant for (14400, 56000, 128000, 256000, custom) are refused.
constexpr std::array<BaudSpeed, 11> BaudSpeeds{{
    {br110, B110},
    {br300, B300},
    {br600, B600},
    {br1200, B1200},
    {br2400, B2400},
    {br4800, B4800},
    {br9600, B9600},
    {br19200, B19200},
    {br38400, B38400},
    {br57600, B57600},
    {br115200, B115200},
}};

constexpr std::array<tcflag_t, 4> DataBitsFlags{CS5, CS6, CS7, CS8};
constexpr std::array<tcflag_t, 5> ParityFlags{0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                              PARENB | CMSPAR};

int LastError(int result) {
    return result == 0 ? 0 : errno;
}

// The hold is a flock on the open device: it keeps out every opener that takes the same lock
// (another port of this program, in this process or another, root included) and ends with the
// process, even a killed one. It is advisory: a program that opens the device without locking
// is not stopped. The terminal's own exclusive flag is neither set nor heeded, since it outlives
// the process that set it and would lock a virtual port until its far end closes.
int TakeExclusive(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return 0;
    }
    return errno == EWOULDBLOCK ? EBUSY : errno;
}

speed_t SpeedOf(TBaudRate rate) {
    for (const BaudSpeed& entry : BaudSpeeds) {
        if (entry.rate == rate) {
            return entry.speed;
        }
    }
    return B0;
}

void SetFrame(termios& tio, const TComLineSettings& settings) {
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    tio.c_cflag |=
        CLOCAL | CREAD | DataBitsFlags[settings.DataBits] | ParityFlags[settings.Parity.Bits];
    if (settings.StopBits != sbOneStopBit) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~(INPCK | IGNPAR | PARMRK);
    if (settings.Parity.Check) {
        tio.c_iflag |= INPCK;
    }
}

void SetFlowControl(termios& tio, const TComFlowControl& flow) {
    if (flow.OutCTSFlow || flow.ControlRTS == rtsHandshake) {
        tio.c_cflag |= CRTSCTS;
    }
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (flow.XonXoffOut) {
        tio.c_iflag |= IXON;
    }
    if (flow.XonXoffIn) {
        tio.c_iflag |= IXOFF;
    }
    tio.c_cc[VSTART] = static_cast<cc_t>(flow.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(flow.XoffChar);
}

// Devices without modem lines (pseudo-terminals) refuse the request; that is no failure.
int SetModemLine(int fd, int line, bool on) {
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || errno == ENOTTY || errno == EINVAL) {
        return 0;
    }
    return errno;
}

int SetModemLines(int fd, const TComFlowControl& flow) {
    if (int code = SetModemLine(fd, TIOCM_DTR, flow.ControlDTR != dtrDisable)) {
        return code;
    }
    return SetModemLine(fd, TIOCM_RTS, flow.ControlRTS != rtsDisable);
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A device that was hung up (cable pulled, pty closed) reads as end of file.
bool IsHungUp(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

ComDevice::ComDevice() : native_(std::make_unique<NativeDevice>()) {}
ComDevice::~ComDevice() {
    Close();
}

int ComDevice::Open(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    if (const int code = TakeExclusive(fd)) {
        ::close(fd);
        return code;
    }
    native_->fd = fd;
    return 0;
}

// Closing the descriptor releases the hold.
void ComDevice::Close() {
    CloseFd(native_->fd);
}

bool ComDevice::IsOpen() const {
    return native_->fd >= 0;
}

// The kernel's tty queues have sizes of their own; there is nothing to set.
int ComDevice::ApplyBuffer(const TComBuffer&) {
    return 0;
}

int ComDevice::ApplyLineSettings(const TComLineSettings& settings) {
    const speed_t speed = SpeedOf(settings.BaudRate);
    if (speed == B0) {
        return EINVAL;
    }
    termios tio{};
    if (::tcgetattr(native_->fd, &tio) != 0) {
        return errno;
    }
    ::cfmakeraw(&tio);
    SetFrame(tio, settings);
    SetFlowControl(tio, settings.FlowControl);
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
        ::tcsetattr(native_->fd, TCSANOW, &tio) != 0) {
        return errno;
    }
    return SetModemLines(native_->fd, settings.FlowControl);
}

// Reads always return at once with what has arrived (no minimum count, no inter-byte wait);
// writes get the time the write multiplier and constant give them.
int ComDevice::ApplyTimeouts(const TComTimeouts& timeouts) {
    termios tio{};
    if (::tcgetattr(native_->fd, &tio) != 0) {
        return errno;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(native_->fd, TCSANOW, &tio) != 0) {
        return errno;
    }
    native_->timeouts = timeouts;
    return 0;
}

// Reads and writes finish within their own call; nothing can be left in progress.
int ComDevice::AbortPendingIo() {
    return 0;
}

int ComDevice::Purge(bool input, bool output) {
    if (!input && !output) {
        return 0;
    }
    const int queues = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return LastError(::tcflush(native_->fd, queues));
}

int ComDevice::InputCount(int& count) {
    count = 0;
    return LastError(::ioctl(native_->fd, FIONREAD, &count));
}

int ComDevice::Write(const void* buffer, int count, int& written) {
    written = 0;
    const auto budget = std::chrono::milliseconds(
        static_cast<long long>(native_->timeouts.WriteTotalMultiplier) * count +
        native_->timeouts.WriteTotalConstant);
    const Clock::time_point deadline = Clock::now() + budget;
    const auto* bytes = static_cast<const char*>(buffer);
    while (written < count) {
        const ssize_t sent = ::write(native_->fd, bytes + written, count - written);
        if (sent > 0) {
            written += static_cast<int>(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR) {
            return errno;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            return 0; // cut short by the write time-out: fewer bytes, no error
        }
        pollfd entry{native_->fd, POLLOUT, 0};
        if (::poll(&entry, 1, left) < 0 && errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

int ComDevice::Read(void* buffer, int count, int& got) {
    got = 0;
    for (;;) {
        const ssize_t received = ::read(native_->fd, buffer, count > 0 ? count : 0);
        if (received > 0) {
            got = static_cast<int>(received);
            return 0;
        }
        if (received == 0) {
            return IsHungUp(native_->fd) ? EIO : 0;
        }
        if (errno == EAGAIN) {
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

ComEventWaiter::ComEventWaiter() : native_(std::make_unique<NativeWaiter>()) {}

ComEventWaiter::~ComEventWaiter() {
    CloseFd(native_->epoll);
    CloseFd(native_->stop);
}

namespace {

constexpr std::uint64_t StopTag = 0;
constexpr std::uint64_t DeviceTag = 1;

int Watch(int epoll, int fd, std::uint32_t events, std::uint64_t tag) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = tag;
    return LastError(::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event));
}

} // namespace

// Edge-triggered on the device: an event means new bytes arrived, not that unread bytes wait.
// Bytes already waiting when the watch starts raise no event.
int ComEventWaiter::Start(ComDevice& device) {
    NativeWaiter& w = *native_;
    w.epoll = ::epoll_create1(EPOLL_CLOEXEC);
    w.stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (w.epoll < 0 || w.stop < 0) {
        return errno;
    }
    w.device = device.Native().fd;
    if (const int code = Watch(w.epoll, w.stop, EPOLLIN, StopTag)) {
        return code;
    }
    if (const int code = Watch(w.epoll, w.device, EPOLLIN | EPOLLET, DeviceTag)) {
        return code;
    }
    epoll_event initial{};
    ::epoll_wait(w.epoll, &initial, 1, 0);
    return 0;
}

LineEvent ComEventWaiter::Wait() {
    NativeWaiter& w = *native_;
    for (;;) {
        std::array<epoll_event, 2> events{};
        const int ready = ::epoll_wait(w.epoll, events.data(), events.size(), -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return LineEvent::Stop; // the wait itself is broken: end rather than spin
        }
        bool received = false;
        for (int i = 0; i < ready; ++i) {
            const epoll_event& event = events[i];
            if (event.data.u64 == StopTag) {
                return LineEvent::Stop;
            }
            if ((event.events & (EPOLLHUP | EPOLLERR)) != 0) {
                ::epoll_ctl(w.epoll, EPOLL_CTL_DEL, w.device, nullptr);
                return LineEvent::Lost;
            }
            if ((event.events & EPOLLIN) != 0) {
                received = true;
            }
        }
        if (received) {
            return LineEvent::RxChar;
        }
    }
}

void ComEventWaiter::SignalStop() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(native_->stop, &one, sizeof one);
}

} // namespace pelmora::detail
