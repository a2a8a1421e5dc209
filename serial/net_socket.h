// A TCP connection for the network port, one implementation per system (BSD sockets,
// Winsock). Calls return 0 or the system's error code, as the serial devices' do.
#pragma once

#include "serial/port_device.h"

#include <memory>
#include <string>

namespace pelmora::detail {

struct NativeSocket;

class Socket {
  public:
    Socket();
    ~Socket();

    // Connects to the first of the host's addresses that answers within `timeoutMs` in all;
    // `failure` then says in words what went wrong.
    int Connect(const std::string& host, const std::string& service, int timeoutMs,
                std::string& failure);
    void Close();
    bool IsOpen() const;

    // Sends all of `count` bytes unless `timeoutMs` runs out first; `sent` says how many went.
    int Send(const char* data, int count, int timeoutMs, int& sent);
    // Takes what has arrived without waiting; `closed` once the far end has ended the
    // connection and nothing is left to take.
    int Receive(char* buffer, int count, int& got, bool& closed);
    // Waits up to `timeoutMs` for bytes or the far end's close.
    int AwaitReadable(int timeoutMs);

    NativeSocket& Native() { return *native_; }

  private:
    std::unique_ptr<NativeSocket> native_;
};

// Watches the connection for received bytes and its end, as ComEventWaiter watches a device.
std::unique_ptr<PortWaiter> NewSocketWaiter(Socket& socket);

// The codes for a connection that is gone and for an answer that did not come in time.
int ConnectionLostCode();
int TimedOutCode();

} // namespace pelmora::detail
