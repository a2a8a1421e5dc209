#include "emulator/pty_box.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::emulator {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void WriteAll(int fd, const char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the tool's side is gone; nothing to answer to
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
}

std::string Visible(const std::string& frame) {
    std::string text = frame;
    for (char& c : text)
        if (c < 0x20 || c > 0x7e)
            c = '?';
    return text;
}

} // namespace

PtyBox::PtyBox(BoxOptions options)
    : options_(std::move(options)), state_(options_.Identity),
      start_(std::chrono::steady_clock::now()) {
    state_.CorruptStore = options_.CorruptStore;
    char slaveName[128] = {};
    if (::openpty(&master_, &slaveHold_, slaveName, nullptr, nullptr) != 0)
        Fail("openpty");
    termios raw{};
    ::tcgetattr(slaveHold_, &raw);
    ::cfmakeraw(&raw);
    ::cfsetspeed(&raw, B115200);
    ::tcsetattr(slaveHold_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slaveHold_, F_SETFD, FD_CLOEXEC);
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    devicePath_ = slaveName;
    if (!options_.LinkPath.empty()) {
        ::unlink(options_.LinkPath.c_str());
        if (::symlink(slaveName, options_.LinkPath.c_str()) != 0)
            Fail("symlink " + options_.LinkPath);
        devicePath_ = options_.LinkPath;
    }
    if (!options_.LogPath.empty()) {
        log_ = std::fopen(options_.LogPath.c_str(), "w");
        if (!log_)
            Fail("log " + options_.LogPath);
    }
    thread_ = std::thread([this] { Run(); });
}

PtyBox::~PtyBox() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    Wake();
    thread_.join();
    CloseDevice();
    ::close(stopFd_);
    if (log_)
        std::fclose(log_);
}

void PtyBox::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
}

// Takes the requests of other threads; false when the box is to stop.
bool PtyBox::TakeRequests() {
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t n = ::read(stopFd_, &count, sizeof count);
    std::lock_guard lock(mutex_);
    if (hangupRequested_)
        CloseDevice();
    hangupRequested_ = false;
    return !stopRequested_;
}

void PtyBox::Run() {
    for (;;) {
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {master_, POLLIN, 0}};
        const nfds_t count = master_ >= 0 ? 2 : 1;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents) {
            if (!TakeRequests())
                return;
            continue;
        }
        char bytes[512];
        const ssize_t n = ::read(master_, bytes, sizeof bytes);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            std::lock_guard lock(mutex_);
            CloseDevice();
            continue;
        }
        assembler_.Feed(bytes, static_cast<std::size_t>(n));
        while (auto frame = assembler_.Next())
            HandleFrame(*frame);
    }
}

void PtyBox::HandleFrame(const std::string& frame) {
    std::optional<std::string> reply;
    bool hangup = false;
    {
        std::lock_guard lock(mutex_);
        frames_.push_back(Visible(frame));
        ++framesSeen_;
        Log(frame);
        const bool silent =
            silent_ || (options_.SilentAfter >= 0 && framesSeen_ > options_.SilentAfter);
        hangup = options_.HangupAfter >= 0 && framesSeen_ >= options_.HangupAfter;
        if (!silent && !hangup)
            reply = state_.Answer(frame);
    }
    framesChanged_.notify_all();
    if (hangup) {
        {
            std::lock_guard lock(mutex_);
            CloseDevice();
        }
        if (options_.OnHangup)
            options_.OnHangup();
        return;
    }
    if (reply)
        SendReply(std::move(*reply));
}

void PtyBox::SendReply(std::string reply) {
    if (options_.ReplyDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.ReplyDelayMs));
    if (options_.GarbageReplies)
        std::memcpy(&reply[6], "?Z#/", 4);
    std::lock_guard lock(mutex_);
    if (master_ < 0)
        return;
    if (!options_.SplitReplies) {
        WriteAll(master_, reply.data(), reply.size());
        return;
    }
    WriteAll(master_, reply.data(), 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    WriteAll(master_, reply.data() + 5, reply.size() - 5);
}

void PtyBox::Log(const std::string& frame) {
    if (!log_)
        return;
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
            .count();
    std::fprintf(log_, "%.1f %s\n", ms, Visible(frame).c_str());
    std::fflush(log_);
}

std::vector<std::string> PtyBox::Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

bool PtyBox::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return framesChanged_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
}

void PtyBox::ClearFrames() {
    std::lock_guard lock(mutex_);
    frames_.clear();
}

void PtyBox::WithState(const std::function<void(BoxState&)>& change) {
    std::lock_guard lock(mutex_);
    change(state_);
}

void PtyBox::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

void PtyBox::Inject(const std::string& bytes) {
    std::lock_guard lock(mutex_);
    if (master_ >= 0)
        WriteAll(master_, bytes.data(), bytes.size());
}

void PtyBox::Hangup() {
    {
        std::lock_guard lock(mutex_);
        hangupRequested_ = true;
    }
    Wake();
}

bool PtyBox::HungUp() const {
    std::lock_guard lock(mutex_);
    return master_ < 0;
}

// Called with the lock held, on the box's thread or after it has ended. An unplugged box
// also disappears from the port list.
void PtyBox::CloseDevice() {
    if (master_ < 0)
        return;
    ::close(master_);
    ::close(slaveHold_);
    master_ = slaveHold_ = -1;
    if (!options_.LinkPath.empty())
        ::unlink(options_.LinkPath.c_str());
}

} // namespace pelmora::emulator
