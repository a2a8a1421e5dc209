// The serial port component: TCustomComPort holds all behaviour, TComPort is the one the tool
// places on its main window. The line settings are fixed for the component's whole life; only
// the port name changes. Received bytes are announced through OnRxChar on the UI thread, and
// the device's going away through OnPortLost: the event thread asks the UiHandoff to wake the
// UI thread, which then calls DeliverPending.
#pragma once

#include "serial/ui_handoff.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace pelmora {

// Kind n-1 in declaration order is error number n.
enum TComExceptions {
    CE_OpenFailed,
    CE_WriteFailed,
    CE_ReadFailed,
    CE_InvalidAsync,
    CE_PurgeFailed,
    CE_AsyncCheck,
    CE_SetStateFailed,
    CE_TimeoutsFailed,
    CE_SetupComFailed,
    CE_ClearComFailed,
    CE_ModemStatFailed,
    CE_EscapeComFailed,
    CE_TransmitFailed,
    CE_ConnChangeProp,
    CE_EnumPortsFailed,
    CE_StoreFailed,
    CE_LoadFailed,
    CE_RegFailed,
    CE_LedStateFailed,
    CE_ThreadCreated,
    CE_WaitFailed,
    CE_HasLink,
    CE_RegError,
    CEPortNotOpen,
};

class EComPort : public std::runtime_error {
  public:
    // systemErrorCode > 0 appends " (Error: <code>)" to the message; otherwise the code is -1.
    // A detail, where given, follows the message after a colon.
    EComPort(TComExceptions kind, int systemErrorCode = -1, const std::string& detail = {});

    int ErrorNumber;
    int SystemErrorCode;
};

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full,
};
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

struct TComParity {
    TParityBits Bits = prNone;
    bool Check = false;
    bool Replace = false;
};

struct TComFlowControl {
    bool OutCTSFlow = false;
    bool OutDSRFlow = false;
    TDTRFlowControl ControlDTR = dtrDisable;
    TRTSFlowControl ControlRTS = rtsDisable;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool DSRSensitivity = false;
    bool TxContinueOnXoff = false;
    char XonChar = 17;
    char XoffChar = 19;
};

struct TComBuffer {
    int InputSize = 8192;
    int OutputSize = 1024;
};

struct TComTimeouts {
    int ReadInterval = -1;
    int ReadTotalMultiplier = 0;
    int ReadTotalConstant = 0;
    int WriteTotalMultiplier = 100;
    int WriteTotalConstant = 1000;
};

// Everything the device is configured with when the port opens.
struct TComLineSettings {
    TBaudRate BaudRate = br115200;
    TDataBits DataBits = dbEight;
    TStopBits StopBits = sbOneStopBit;
    TComParity Parity;
    TComFlowControl FlowControl;
    bool DiscardNull = false;
    char EventChar = 0;
    TComBuffer Buffer;
    TComTimeouts Timeouts;
};

namespace detail {
class PortDevice;
class PortWaiter;
} // namespace detail

class TCustomComPort {
  public:
    TCustomComPort();
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    void Open();
    void Close();
    bool Connected() const { return connected_; }

    // A different name while open closes the port and opens it again on the new name. Names
    // tcp://HOST:PORT and rfc2217://HOST:PORT open a network connection instead of a device.
    void SetPort(const std::string& port);
    const std::string& Port() const { return port_; }

    int Write(const void* buffer, int count);
    int Read(void* buffer, int count);
    int InputCount();
    void ClearBuffer(bool input, bool output);

    const TComLineSettings& LineSettings() const { return settings_; }
    TComEvent Events() const { return evRxChar; }
    TSyncMethod SyncMethod() const { return smThreadSync; }
    bool TriggersOnRxChar() const { return true; }

    // Called on the UI thread with the number of bytes waiting (at least 1).
    std::function<void(TCustomComPort& sender, int count)> OnRxChar;
    // Called on the UI thread after the port closed itself because its device went away
    // (unplugged, hung up, the far end gone). Not called for a port closed by Close.
    std::function<void(TCustomComPort& sender)> OnPortLost;

    // The hand-off that wakes the UI thread; without one, deliveries wait for DeliverPending
    // or Close. May be changed at any time; nullptr detaches.
    void SetUiHandoff(UiHandoff* handoff);
    // UI thread: runs the delivery the event thread is waiting on, if any. Returns whether one
    // ran. An exception from OnRxChar is caught here and ends the event thread.
    bool DeliverPending();

  private:
    void SetupComPort();
    void StartEventThread();
    void StopEventThread();
    void RunEventThread();
    bool HandOffToUiThread(bool lost);
    void RunDelivery();
    void FinishDelivery(unsigned serial, bool failed);
    void CallRxChar();
    void CloseLostPort();
    void Release();
    void CloseDevice();

    std::string port_ = "COM1";
    TComLineSettings settings_;
    bool connected_ = false;
    std::unique_ptr<detail::PortDevice> device_; // made anew for each opening's name
    std::unique_ptr<detail::PortWaiter> waiter_;
    std::thread eventThread_;

    // Hand-off state shared by the UI thread and the event thread.
    std::mutex handoffMutex_;
    std::condition_variable handoffChanged_;
    UiHandoff* handoff_ = nullptr;
    unsigned deliverySerial_ = 0;
    bool deliveryPending_ = false;
    bool deliveryLost_ = false; // the delivery due announces the device's loss
    bool deliveryFailed_ = false;
    bool eventThreadEnded_ = false;
    bool delivering_ = false; // UI thread only: OnRxChar is running
};

class TComPort : public TCustomComPort {};

} // namespace pelmora
