// What the port component opens: a serial device, or a network connection standing in for
// one. Both keep the device's conventions (see ComDevice): every call returns 0 or the
// system's error code, and a connection that is gone behaves as a hung-up device (reads fail
// with an I/O error, the waiter reports the line lost).
#pragma once

#include "serial/com_device.h"

#include <memory>
#include <string>

namespace pelmora::detail {

class PortWaiter {
  public:
    virtual ~PortWaiter() = default;
    virtual int Start() = 0;
    virtual LineEvent Wait() = 0;
    virtual void SignalStop() = 0;
};

class PortDevice {
  public:
    virtual ~PortDevice() = default;
    virtual int Open(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int ApplyBuffer(const TComBuffer& buffer) = 0;
    virtual int ApplyLineSettings(const TComLineSettings& settings) = 0;
    virtual int ApplyTimeouts(const TComTimeouts& timeouts) = 0;
    virtual int AbortPendingIo() = 0;
    virtual int Purge(bool input, bool output) = 0;
    virtual int InputCount(int& count) = 0;
    virtual int Write(const void* buffer, int count, int& written) = 0;
    virtual int Read(void* buffer, int count, int& got) = 0;
    // Watches this device for received bytes; the device must outlive the waiter.
    virtual std::unique_ptr<PortWaiter> NewWaiter() = 0;
    // Why the last Open failed, in words, where the code alone does not say; else empty.
    virtual std::string OpenFailure() const { return {}; }
};

// The device for a port name: a network connection for tcp:// and rfc2217:// names, the
// system's serial device for any other.
std::unique_ptr<PortDevice> NewPortDevice(const std::string& name);

} // namespace pelmora::detail
