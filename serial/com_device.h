// The operating-system side of the serial port, one implementation per system. Every call
// returns 0 on success or the system's error code; the component turns codes into EComPort.
#pragma once

#include "serial/com_port.h"

#include <memory>
#include <string>

namespace pelmora::detail {

struct NativeDevice;
struct NativeWaiter;

class ComDevice {
  public:
    ComDevice();
    ~ComDevice();

    // Opens the device by name for reading and writing, refused (EBUSY) while another opener
    // that locks the device holds it; the hold ends when this device closes or its process
    // ends. Openers that take no lock are not kept out.
    int Open(const std::string& name);
    void Close();
    bool IsOpen() const;

    int ApplyBuffer(const TComBuffer& buffer);
    int ApplyLineSettings(const TComLineSettings& settings);
    int ApplyTimeouts(const TComTimeouts& timeouts);

    // Cancels reads and writes still in progress on the device.
    int AbortPendingIo();
    int Purge(bool input, bool output);
    int InputCount(int& count);
    int Write(const void* buffer, int count, int& written);
    int Read(void* buffer, int count, int& got);

    NativeDevice& Native() { return *native_; }

  private:
    std::unique_ptr<NativeDevice> native_;
};

// What ended a wait: new received bytes, the device going away (unplugged, hung up, its far
// end gone) or the stop signal.
enum class LineEvent { RxChar, Lost, Stop };

// Waits for new received bytes or the stop signal; used by the event thread alone, but for
// SignalStop, which any thread may call.
class ComEventWaiter {
  public:
    ComEventWaiter();
    ~ComEventWaiter();

    // Watches the device for received bytes from now on.
    int Start(ComDevice& device);
    // Blocks without a time limit. Once Lost is returned the device is no longer watched.
    LineEvent Wait();
    void SignalStop();

  private:
    std::unique_ptr<NativeWaiter> native_;
};

} // namespace pelmora::detail
