// Windows backend: the COM device opened for overlapped I/O, one OVERLAPPED block with its own
// event per read, write and line-event wait, and the driver's event mask for the event thread.
#include "serial/com_device.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>

#define WIN32_LEAN_AND_MEAN // keeps out the printer API, whose SetPort macro renames ours
#include <windows.h>

namespace pelmora::detail {

struct NativeDevice {
    HANDLE handle = INVALID_HANDLE_VALUE;
    TComTimeouts timeouts;
    // Held while bytes leave the input queue and `taken` is brought up to date, and while the
    // event thread adds the two, so that it never sees bytes counted twice or not at all.
    std::mutex queueMutex;
    long long taken = 0; // received bytes removed by reads and purges
};

struct NativeWaiter {
    NativeDevice* device = nullptr;
    HANDLE stop = nullptr;
    OVERLAPPED wait{};       // the line-event wait, with an event of its own
    DWORD reported = 0;      // the events the last wait reported (counts decide instead)
    bool pending = false;    // a WaitCommEvent is outstanding on `wait`
    bool refused = false;    // the last WaitCommEvent was refused at once
    bool gone = false;       // the device is lost
    int looksLeft = 0;       // count checks to make before the next wait is armed
    long long announced = 0; // bytes received up to the last event raised
};

namespace {

constexpr const char* DevicePrefix = R"(\\.\)";

// Bits per second for each TBaudRate; brCustom has no rate of its own here.
constexpr std::array<DWORD, 16> BaudRates{0,     110,    300,    600,   1200,  2400,
                                          4800,  9600,   14400,  19200, 38400, 56000,
                                          57600, 115200, 128000, 256000};

// The system's code for the failure just seen, or -1 when it gave none.
int Failure() {
    const DWORD code = ::GetLastError();
    return code != 0 ? static_cast<int>(code) : -1;
}

int Result(BOOL succeeded) {
    return succeeded ? 0 : Failure();
}

// The driver's queue counts; also clears its error state.
BOOL ReadQueueStatus(HANDLE device, COMSTAT& status) {
    DWORD errors = 0;
    return ::ClearCommError(device, &errors, &status);
}

HANDLE NewManualResetEvent(bool signalled) {
    return ::CreateEventA(nullptr, TRUE, signalled ? TRUE : FALSE, nullptr);
}

void CloseEvent(HANDLE& event) {
    if (event != nullptr) {
        ::CloseHandle(event);
        event = nullptr;
    }
}

// The device-control block: binary mode, and the flags and characters of the settings. The
// orders of TParityBits, TStopBits, TDTRFlowControl and TRTSFlowControl are the driver's.
DCB ControlBlock(const TComLineSettings& settings) {
    const TComFlowControl& flow = settings.FlowControl;
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = BaudRates[settings.BaudRate];
    dcb.fBinary = TRUE;
    dcb.fParity = settings.Parity.Check;
    dcb.fOutxCtsFlow = flow.OutCTSFlow;
    dcb.fOutxDsrFlow = flow.OutDSRFlow;
    dcb.fDtrControl = flow.ControlDTR;
    dcb.fDsrSensitivity = flow.DSRSensitivity;
    dcb.fTXContinueOnXoff = flow.TxContinueOnXoff;
    dcb.fOutX = flow.XonXoffOut;
    dcb.fInX = flow.XonXoffIn;
    dcb.fErrorChar = settings.Parity.Replace;
    dcb.fNull = settings.DiscardNull;
    dcb.fRtsControl = flow.ControlRTS;
    dcb.XonLim = static_cast<WORD>(settings.Buffer.InputSize / 4);
    dcb.XoffLim = dcb.XonLim;
    dcb.ByteSize = static_cast<BYTE>(5 + settings.DataBits);
    dcb.Parity = static_cast<BYTE>(settings.Parity.Bits);
    dcb.StopBits = static_cast<BYTE>(settings.StopBits);
    dcb.XonChar = flow.XonChar;
    dcb.XoffChar = flow.XoffChar;
    dcb.EvtChar = settings.EventChar;
    return dcb;
}

// Past its own time-out a driver is given this long before an operation is given up.
constexpr DWORD DriverMarginMilliseconds = 1000;

// Waits up to `limit` for the operation on `block` to end; one still running then is
// cancelled, and the block is free once its final result is in. False with the system's code
// in GetLastError, ERROR_TIMEOUT when it had to be cancelled.
bool AwaitOverlapped(HANDLE device, OVERLAPPED& block, DWORD limit, DWORD& transferred) {
    if (::WaitForSingleObject(block.hEvent, limit) == WAIT_OBJECT_0) {
        return ::GetOverlappedResult(device, &block, &transferred, FALSE) != FALSE;
    }
    ::CancelIoEx(device, &block);
    if (::GetOverlappedResult(device, &block, &transferred, TRUE)) {
        return true;
    }
    if (::GetLastError() == ERROR_OPERATION_ABORTED) {
        ::SetLastError(ERROR_TIMEOUT);
    }
    return false;
}

// One read or write: its own OVERLAPPED block and manual-reset event, waited for up to the
// given limit.
class AsyncOperation {
  public:
    AsyncOperation() { block_.hEvent = NewManualResetEvent(true); }
    ~AsyncOperation() { CloseEvent(block_.hEvent); }
    AsyncOperation(const AsyncOperation&) = delete;
    AsyncOperation& operator=(const AsyncOperation&) = delete;

    bool Ready() const { return block_.hEvent != nullptr; }
    OVERLAPPED* Block() { return &block_; }

    // `started` is what ReadFile or WriteFile returned for Block().
    int Finish(HANDLE device, BOOL started, DWORD limit, int& transferred) {
        if (!started && ::GetLastError() != ERROR_IO_PENDING) {
            return Failure();
        }
        DWORD count = 0;
        if (!AwaitOverlapped(device, block_, limit, count)) {
            return Failure();
        }
        transferred = static_cast<int>(count);
        return 0;
    }

  private:
    OVERLAPPED block_{};
};

} // namespace

ComDevice::ComDevice() : native_(std::make_unique<NativeDevice>()) {}
ComDevice::~ComDevice() {
    Close();
}

int ComDevice::Open(const std::string& name) {
    const std::string path = DevicePrefix + name;
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Failure();
    }
    native_->handle = handle;
    return 0;
}

void ComDevice::Close() {
    if (native_->handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(native_->handle);
        native_->handle = INVALID_HANDLE_VALUE;
    }
}

bool ComDevice::IsOpen() const {
    return native_->handle != INVALID_HANDLE_VALUE;
}

int ComDevice::ApplyBuffer(const TComBuffer& buffer) {
    return Result(::SetupComm(native_->handle, static_cast<DWORD>(buffer.InputSize),
                              static_cast<DWORD>(buffer.OutputSize)));
}

int ComDevice::ApplyLineSettings(const TComLineSettings& settings) {
    DCB dcb = ControlBlock(settings);
    return Result(::SetCommState(native_->handle, &dcb));
}

int ComDevice::ApplyTimeouts(const TComTimeouts& timeouts) {
    COMMTIMEOUTS values{static_cast<DWORD>(timeouts.ReadInterval),
                        static_cast<DWORD>(timeouts.ReadTotalMultiplier),
                        static_cast<DWORD>(timeouts.ReadTotalConstant),
                        static_cast<DWORD>(timeouts.WriteTotalMultiplier),
                        static_cast<DWORD>(timeouts.WriteTotalConstant)};
    if (!::SetCommTimeouts(native_->handle, &values)) {
        return Failure();
    }
    native_->timeouts = timeouts;
    return 0;
}

// Reads and writes finish within their own call; nothing can be left in progress. (Wine's
// abort would also discard the input that a delivery still due is about to count.)
int ComDevice::AbortPendingIo() {
    return 0;
}

int ComDevice::Purge(bool input, bool output) {
    const DWORD queues = (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXCLEAR : 0);
    if (queues == 0) {
        return 0;
    }
    const std::lock_guard lock(native_->queueMutex);
    int waiting = 0;
    if (input && InputCount(waiting) == 0) {
        native_->taken += waiting;
    }
    return Result(::PurgeComm(native_->handle, queues));
}

int ComDevice::InputCount(int& count) {
    COMSTAT status{};
    count = 0;
    if (!ReadQueueStatus(native_->handle, status)) {
        return Failure();
    }
    count = static_cast<int>(status.cbInQue);
    return 0;
}

int ComDevice::Write(const void* buffer, int count, int& written) {
    written = 0;
    AsyncOperation operation;
    if (!operation.Ready()) {
        return Failure();
    }
    const TComTimeouts& limits = native_->timeouts;
    const DWORD limit = static_cast<DWORD>(limits.WriteTotalMultiplier) * count +
                        static_cast<DWORD>(limits.WriteTotalConstant) + DriverMarginMilliseconds;
    const BOOL started =
        ::WriteFile(native_->handle, buffer, static_cast<DWORD>(count), nullptr, operation.Block());
    return operation.Finish(native_->handle, started, limit, written);
}

// Asks for no more than is waiting: Wine holds back an overlapped read that finds nothing,
// whatever the time-outs say.
int ComDevice::Read(void* buffer, int count, int& got) {
    got = 0;
    const std::lock_guard lock(native_->queueMutex);
    int waiting = 0;
    if (const int code = InputCount(waiting)) {
        return code;
    }
    const int wanted = std::min(count, waiting);
    if (wanted <= 0) {
        return 0;
    }
    AsyncOperation operation;
    if (!operation.Ready()) {
        return Failure();
    }
    const BOOL started =
        ::ReadFile(native_->handle, buffer, static_cast<DWORD>(wanted), nullptr, operation.Block());
    const int code = operation.Finish(native_->handle, started, DriverMarginMilliseconds, got);
    native_->taken += got;
    return code;
}

namespace {

// A wait that ends without news is followed by this pause before the next: Wine reports
// waiting bytes again at once, ends waits on a pseudo-terminal after about 10 ms, and a
// failing device would otherwise keep the thread busy.
constexpr DWORD RecheckMilliseconds = 10;

// After a wait that the driver ended without news, the counts alone are looked at, every
// RecheckMilliseconds, this many times before a wait is armed again; news ends the looks.
// Wine ends every wait on a pseudo-terminal a millisecond after arming it, and each wait
// costs it a thread of its own, so re-arming at once kept an idle port busy.
constexpr int LooksBetweenWaits = 100;

// Every byte received since the device was opened, as far as can be told: those taken by
// reads and purges and those waiting. Counts, not the driver's reports, decide what is new.
// A device whose queues cannot be read any more (removed, hung up) is marked gone.
long long ReceivedTotal(NativeWaiter& w) {
    const std::lock_guard lock(w.device->queueMutex);
    COMSTAT status{};
    if (!ReadQueueStatus(w.device->handle, status)) {
        w.gone = true;
        return w.announced;
    }
    return w.device->taken + status.cbInQue;
}

// RxChar when bytes came since the last event, Lost when the device is gone.
std::optional<LineEvent> News(NativeWaiter& w) {
    const long long received = ReceivedTotal(w);
    if (w.gone) {
        return LineEvent::Lost;
    }
    if (received > w.announced) {
        w.announced = received;
        return LineEvent::RxChar;
    }
    return std::nullopt;
}

// Starts the overlapped wait for line events; true when it completed at once.
bool StartLineWait(NativeWaiter& w) {
    w.reported = 0;
    if (::WaitCommEvent(w.device->handle, &w.reported, &w.wait)) {
        return true;
    }
    if (::GetLastError() == ERROR_IO_PENDING) {
        w.pending = true;
    } else {
        w.refused = true;
    }
    return false;
}

// Blocks until the stop signal or the end of the pending wait. True for the stop signal.
bool StopSignalled(NativeWaiter& w) {
    if (!w.pending) {
        return ::WaitForSingleObject(w.stop, 0) != WAIT_TIMEOUT;
    }
    const std::array<HANDLE, 2> handles{w.stop, w.wait.hEvent};
    return ::WaitForMultipleObjects(2, handles.data(), FALSE, INFINITE) != WAIT_OBJECT_0 + 1;
}

// Whether the wait was made and succeeded. A wait refused or failed (ERROR_ACCESS_DENIED or
// ERROR_BAD_COMMAND from a removed device, ERROR_OPERATION_ABORTED, which Wine also gives
// for a purge) is made again after the queue count has been read: that fails for a device
// that is really gone.
bool WaitSucceeded(NativeWaiter& w) {
    DWORD unused = 0;
    const bool succeeded =
        !w.refused &&
        (!w.pending || ::GetOverlappedResult(w.device->handle, &w.wait, &unused, FALSE));
    w.pending = false;
    w.refused = false;
    return succeeded;
}

// Clearing the event mask completes the outstanding wait; a driver that does not within the
// margin has it cancelled. Its block is free once it has ended.
void EndLineWait(NativeWaiter& w) {
    ::SetCommMask(w.device->handle, 0);
    if (w.pending) {
        DWORD unused = 0;
        AwaitOverlapped(w.device->handle, w.wait, DriverMarginMilliseconds, unused);
        w.pending = false;
    }
}

LineEvent EndWith(NativeWaiter& w, LineEvent event) {
    EndLineWait(w);
    return event;
}

} // namespace

ComEventWaiter::ComEventWaiter() : native_(std::make_unique<NativeWaiter>()) {
    native_->stop = NewManualResetEvent(false);
}

ComEventWaiter::~ComEventWaiter() {
    if (native_->pending) { // a wait left armed by the last event
        EndLineWait(*native_);
    }
    CloseEvent(native_->wait.hEvent);
    CloseEvent(native_->stop);
}

// Bytes already waiting when the watch starts raise no event.
int ComEventWaiter::Start(ComDevice& device) {
    NativeWaiter& w = *native_;
    w.device = &device.Native();
    w.wait.hEvent = NewManualResetEvent(true);
    if (w.stop == nullptr || w.wait.hEvent == nullptr) {
        return Failure();
    }
    w.announced = ReceivedTotal(w);
    return Result(::SetCommMask(w.device->handle, EV_RXCHAR));
}

// A wait armed when news is found stays armed for the next call. Bytes that came while no
// wait was armed need not complete the new one (drivers differ), so the counts are looked at
// once more after arming.
LineEvent ComEventWaiter::Wait() {
    NativeWaiter& w = *native_;
    DWORD pause = 0;
    for (;;) {
        if (pause > 0 && ::WaitForSingleObject(w.stop, pause) != WAIT_TIMEOUT) {
            return EndWith(w, LineEvent::Stop);
        }
        if (w.looksLeft > 0) {
            --w.looksLeft;
            if (const std::optional<LineEvent> news = News(w)) {
                w.looksLeft = 0;
                return *news == LineEvent::Lost ? EndWith(w, *news) : *news;
            }
            pause = RecheckMilliseconds;
            continue;
        }
        bool atOnce = false;
        if (!w.pending) {
            atOnce = StartLineWait(w);
            if (w.gone) {
                return EndWith(w, LineEvent::Lost);
            }
            if (const std::optional<LineEvent> news = News(w)) {
                return *news == LineEvent::Lost ? EndWith(w, *news) : *news;
            }
        }
        if (StopSignalled(w)) {
            return EndWith(w, LineEvent::Stop);
        }
        const bool succeeded = WaitSucceeded(w);
        if (const std::optional<LineEvent> news = w.gone ? LineEvent::Lost : News(w)) {
            return *news == LineEvent::Lost ? EndWith(w, *news) : *news;
        }
        if (!succeeded) {
            w.looksLeft = LooksBetweenWaits;
        }
        pause = atOnce || !succeeded ? RecheckMilliseconds : 0;
    }
}

void ComEventWaiter::SignalStop() {
    ::SetEvent(native_->stop);
}

} // namespace pelmora::detail
