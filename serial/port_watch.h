// Notices ports coming and going on Linux: device nodes and links appearing in or leaving
// /dev (udev makes them for plugged adapters, socat and the virtual box for virtual ports).
// The face watches Descriptor() in its event loop and calls Drain() when it is readable; the
// watch itself never polls.
#pragma once

#include <filesystem>

namespace pelmora {

class PortWatch {
  public:
    explicit PortWatch(const std::filesystem::path& devRoot = "/dev");
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // -1 when the system refused the watch: the list then refreshes only when opened.
    int Descriptor() const { return fd_; }
    // Reads the pending notices; true when a port may have come or gone.
    bool Drain();

  private:
    int fd_ = -1;
};

} // namespace pelmora
