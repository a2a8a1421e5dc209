#include "serial/port_watch.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace pelmora {

PortWatch::PortWatch(const std::filesystem::path& devRoot)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    constexpr std::uint32_t Events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (fd_ >= 0 && ::inotify_add_watch(fd_, devRoot.c_str(), Events) < 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

PortWatch::~PortWatch() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool PortWatch::Drain() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            any = true;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return any;
    }
}

} // namespace pelmora
