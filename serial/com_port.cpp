#include "serial/com_port.h"

#include "serial/port_device.h"

#include <array>
#include <system_error>
#include <utility>

namespace pelmora {

namespace {

struct ErrorText {
    TComExceptions kind;
    const char* message;
};

constexpr std::array<ErrorText, 9> ErrorTexts{{
    {CE_OpenFailed, "Unable to open com port"},
    {CE_WriteFailed, "WriteFile function failed"},
    {CE_ReadFailed, "ReadFile function failed"},
    {CE_PurgeFailed, "PurgeComm function failed"},
    {CE_SetStateFailed, "SetCommState function failed"},
    {CE_TimeoutsFailed, "SetCommTimeouts failed"},
    {CE_SetupComFailed, "SetupComm function failed"},
    {CE_ClearComFailed, "ClearCommError function failed"},
    {CEPortNotOpen, "Port Not Open"},
}};

std::string ErrorMessage(TComExceptions kind, int systemErrorCode, const std::string& detail) {
    std::string text;
    for (const ErrorText& entry : ErrorTexts) {
        if (entry.kind == kind) {
            text = entry.message;
        }
    }
    if (!detail.empty()) {
        text += ": " + detail;
    }
    if (systemErrorCode > 0) {
        text += " (Error: " + std::to_string(systemErrorCode) + ")";
    }
    return text;
}

void Check(int systemErrorCode, TComExceptions kind) {
    if (systemErrorCode != 0) {
        throw EComPort(kind, systemErrorCode);
    }
}

} // namespace

EComPort::EComPort(TComExceptions kind, int systemErrorCode, const std::string& detail)
    : std::runtime_error(ErrorMessage(kind, systemErrorCode, detail)), ErrorNumber(kind + 1),
      SystemErrorCode(systemErrorCode > 0 ? systemErrorCode : -1) {}

TCustomComPort::TCustomComPort() : device_(detail::NewPortDevice(port_)) {}

TCustomComPort::~TCustomComPort() {
    Release();
}

// Closes the port whatever the device answers, for when nobody could act on a failure.
void TCustomComPort::Release() {
    try {
        Close();
    } catch (const EComPort&) {
        StopEventThread();
        CloseDevice();
    }
}

void TCustomComPort::Open() {
    if (connected_) {
        return;
    }
    device_ = detail::NewPortDevice(port_);
    if (const int code = device_->Open(port_)) {
        throw EComPort(CE_OpenFailed, code, device_->OpenFailure());
    }
    connected_ = true;
    try {
        SetupComPort();
        StartEventThread();
    } catch (const EComPort&) {
        CloseDevice();
        throw;
    }
}

void TCustomComPort::SetupComPort() {
    Check(device_->ApplyBuffer(settings_.Buffer), CE_SetupComFailed);
    Check(device_->ApplyLineSettings(settings_), CE_SetStateFailed);
    Check(device_->ApplyTimeouts(settings_.Timeouts), CE_TimeoutsFailed);
}

void TCustomComPort::StartEventThread() {
    std::unique_ptr<detail::PortWaiter> waiter = device_->NewWaiter();
    Check(waiter->Start(), CE_OpenFailed);
    waiter_ = std::move(waiter);
    deliveryPending_ = false;
    deliveryFailed_ = false;
    eventThreadEnded_ = false;
    try {
        eventThread_ = std::thread([this] { RunEventThread(); });
    } catch (const std::system_error& error) {
        waiter_.reset();
        throw EComPort(CE_OpenFailed, error.code().value());
    }
}

void TCustomComPort::Close() {
    if (!connected_) {
        return;
    }
    Check(device_->AbortPendingIo(), CE_PurgeFailed);
    StopEventThread();
    device_->Purge(true, true); // unread input goes with the port; a lost device cannot purge
    CloseDevice();
}

void TCustomComPort::CloseDevice() {
    device_->Close();
    connected_ = false;
}

// Runs on the UI thread: signals the stop and, until the thread has ended, runs the delivery
// it may be blocked on, so a handler that was due still sees the port open. Called from within
// OnRxChar, it first releases the event thread from the delivery in progress.
void TCustomComPort::StopEventThread() {
    if (!eventThread_.joinable()) {
        return;
    }
    waiter_->SignalStop();
    std::unique_lock lock(handoffMutex_);
    if (delivering_) {
        deliveryFailed_ = false;
        deliveryPending_ = false;
        handoffChanged_.notify_all();
    }
    for (;;) {
        handoffChanged_.wait(lock, [this] { return deliveryPending_ || eventThreadEnded_; });
        if (!deliveryPending_) {
            break;
        }
        if (deliveryLost_) { // the port is closing anyway: its loss needs no telling
            deliveryPending_ = false;
            handoffChanged_.notify_all();
            continue;
        }
        lock.unlock();
        RunDelivery();
        lock.lock();
    }
    lock.unlock();
    eventThread_.join();
    waiter_.reset();
}

// Ends with the stop signal, a failed handler or after the device's loss was handed off.
void TCustomComPort::RunEventThread() {
    for (;;) {
        const detail::LineEvent event = waiter_->Wait();
        const bool lost = event == detail::LineEvent::Lost;
        if (event == detail::LineEvent::Stop || !HandOffToUiThread(lost) || lost) {
            break;
        }
    }
    std::lock_guard lock(handoffMutex_);
    eventThreadEnded_ = true;
    handoffChanged_.notify_all();
}

// Event thread: queues one delivery, wakes the UI thread and blocks until the delivery ran.
// Returns false when the handler raised an error.
bool TCustomComPort::HandOffToUiThread(bool lost) {
    std::unique_lock lock(handoffMutex_);
    ++deliverySerial_;
    deliveryPending_ = true;
    deliveryLost_ = lost;
    handoffChanged_.notify_all();
    if (handoff_ != nullptr) {
        handoff_->Wake();
    }
    handoffChanged_.wait(lock, [this] { return !deliveryPending_; });
    return !deliveryFailed_;
}

bool TCustomComPort::DeliverPending() {
    {
        std::lock_guard lock(handoffMutex_);
        if (!deliveryPending_ || delivering_) {
            return false;
        }
    }
    RunDelivery();
    return true;
}

void TCustomComPort::RunDelivery() {
    unsigned serial = 0;
    bool lost = false;
    {
        std::lock_guard lock(handoffMutex_);
        serial = deliverySerial_;
        lost = deliveryLost_;
    }
    const bool outerDelivery = delivering_;
    delivering_ = true;
    bool failed = false;
    try {
        if (lost) {
            CloseLostPort();
        } else {
            CallRxChar();
        }
    } catch (...) {
        failed = true;
    }
    delivering_ = outerDelivery;
    FinishDelivery(serial, failed);
}

// Releases the event thread from delivery `serial`, unless that one was already released.
void TCustomComPort::FinishDelivery(unsigned serial, bool failed) {
    std::lock_guard lock(handoffMutex_);
    if (deliveryPending_ && deliverySerial_ == serial) {
        deliveryFailed_ = failed;
        deliveryPending_ = false;
        handoffChanged_.notify_all();
    }
}

void TCustomComPort::CallRxChar() {
    const int count = InputCount();
    if (count > 0 && OnRxChar) {
        OnRxChar(*this, count);
    }
}

// The close ends the event thread, which is released from this delivery first.
void TCustomComPort::CloseLostPort() {
    Release();
    if (OnPortLost) {
        OnPortLost(*this);
    }
}

void TCustomComPort::SetUiHandoff(UiHandoff* handoff) {
    std::lock_guard lock(handoffMutex_);
    handoff_ = handoff;
    if (handoff_ != nullptr && deliveryPending_) {
        handoff_->Wake();
    }
}

void TCustomComPort::SetPort(const std::string& port) {
    if (port == port_) {
        return;
    }
    const bool wasOpen = connected_;
    Close();
    port_ = port;
    if (wasOpen) {
        Open();
    }
}

int TCustomComPort::Write(const void* buffer, int count) {
    if (!device_->IsOpen()) {
        throw EComPort(CEPortNotOpen);
    }
    int written = 0;
    Check(device_->Write(buffer, count, written), CE_WriteFailed);
    return written;
}

int TCustomComPort::Read(void* buffer, int count) {
    if (!device_->IsOpen()) {
        throw EComPort(CEPortNotOpen);
    }
    int got = 0;
    Check(device_->Read(buffer, count, got), CE_ReadFailed);
    return got;
}

int TCustomComPort::InputCount() {
    int count = 0;
    Check(device_->InputCount(count), CE_ClearComFailed);
    return count;
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
    Check(device_->Purge(input, output), CE_PurgeFailed);
}

} // namespace pelmora
