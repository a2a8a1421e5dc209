#include "serial/port_device.h"

#include "serial/net_device.h"

namespace pelmora::detail {

namespace {

class SerialWaiter final : public PortWaiter {
  public:
    explicit SerialWaiter(ComDevice& device) : device_(device) {}
    int Start() override { return waiter_.Start(device_); }
    LineEvent Wait() override { return waiter_.Wait(); }
    void SignalStop() override { waiter_.SignalStop(); }

  private:
    ComDevice& device_;
    ComEventWaiter waiter_;
};

class SerialDevice final : public PortDevice {
  public:
    int Open(const std::string& name) override { return device_.Open(name); }
    void Close() override { device_.Close(); }
    bool IsOpen() const override { return device_.IsOpen(); }
    int ApplyBuffer(const TComBuffer& buffer) override { return device_.ApplyBuffer(buffer); }
    int ApplyLineSettings(const TComLineSettings& settings) override {
        return device_.ApplyLineSettings(settings);
    }
    int ApplyTimeouts(const TComTimeouts& timeouts) override {
        return device_.ApplyTimeouts(timeouts);
    }
    int AbortPendingIo() override { return device_.AbortPendingIo(); }
    int Purge(bool input, bool output) override { return device_.Purge(input, output); }
    int InputCount(int& count) override { return device_.InputCount(count); }
    int Write(const void* buffer, int count, int& written) override {
        return device_.Write(buffer, count, written);
    }
    int Read(void* buffer, int count, int& got) override {
        return device_.Read(buffer, count, got);
    }
    std::unique_ptr<PortWaiter> NewWaiter() override {
        return std::make_unique<SerialWaiter>(device_);
    }

  private:
    ComDevice device_;
};

} // namespace

std::unique_ptr<PortDevice> NewPortDevice(const std::string& name) {
    if (HasNetworkScheme(name))
        return NewNetworkDevice();
    return std::make_unique<SerialDevice>();
}

} // namespace pelmora::detail
