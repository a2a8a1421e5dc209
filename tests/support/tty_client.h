// A bare client of a terminal device for tests: opens it raw, writes, and reads with a
// time limit, so that a test talks to the virtual box the way the tool does, without the
// tool's own serial component.
#pragma once

#include <chrono>
#include <string>

namespace pelmora::testing {

class TtyClient {
  public:
    explicit TtyClient(const std::string& path);
    ~TtyClient();
    TtyClient(const TtyClient&) = delete;
    TtyClient& operator=(const TtyClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Write(const std::string& bytes);
    // Reads until `count` bytes have arrived or the time is up; returns what arrived.
    std::string Read(std::size_t count,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

  private:
    int fd_ = -1;
};

} // namespace pelmora::testing
