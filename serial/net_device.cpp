#include "serial/net_device.h"

#include "serial/net_socket.h"
#include "serial/telnet.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

namespace pelmora::detail {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ConnectTimeoutMs = 3000;
constexpr const char* TcpScheme = "tcp://";
constexpr const char* ComPortScheme = "rfc2217://";

// Bits per second for each TBaudRate; brCustom has none and is not sent.
constexpr std::array<std::uint32_t, 16> BaudRates{0,     110,    300,    600,   1200,  2400,
                                                  4800,  9600,   14400,  19200, 38400, 56000,
                                                  57600, 115200, 128000, 256000};
// The protocol's codes for TStopBits, in declaration order.
constexpr std::array<unsigned char, 3> StopSizes{1, 3, 2};

enum ControlValue : unsigned char {
    NoFlowControl = 1,
    XonXoffFlowControl = 2,
    HardwareFlowControl = 3,
    DtrOn = 8,
    DtrOff = 9,
    RtsOn = 11,
    RtsOff = 12,
};

enum PurgeValue : unsigned char { PurgeReceived = 1, PurgeTransmit = 2, PurgeBoth = 3 };

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsServiceNumber(const std::string& digits) {
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int number = std::stoi(digits);
    return number >= 1 && number <= 65535;
}

unsigned char FlowControlValue(const TComFlowControl& flow) {
    if (flow.OutCTSFlow || flow.ControlRTS == rtsHandshake)
        return HardwareFlowControl;
    return flow.XonXoffOut ? XonXoffFlowControl : NoFlowControl;
}

// What a server said before it closed (a device server names a busy device so), as a quote.
std::string Saying(const std::string& words) {
    constexpr std::size_t Longest = 80;
    std::string text;
    for (const char c : words.substr(0, Longest))
        if (c >= ' ' && c <= '~')
            text += c;
    return text.empty() ? "" : " saying \"" + text + "\"";
}

class NetworkDevice final : public PortDevice {
  public:
    int Open(const std::string& name) override;
    void Close() override {
        socket_.Close();
        input_.clear();
    }
    bool IsOpen() const override { return socket_.IsOpen(); }
    int ApplyBuffer(const TComBuffer&) override { return 0; }
    int ApplyLineSettings(const TComLineSettings& settings) override {
        return comPort_ ? SendAll(LineSettingCommands(settings)) : 0;
    }
    int ApplyTimeouts(const TComTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return 0;
    }
    int AbortPendingIo() override { return 0; }
    int Purge(bool input, bool output) override;
    int InputCount(int& count) override {
        Pump();
        count = static_cast<int>(input_.size());
        return 0;
    }
    int Write(const void* buffer, int count, int& written) override;
    int Read(void* buffer, int count, int& got) override;
    std::unique_ptr<PortWaiter> NewWaiter() override { return NewSocketWaiter(socket_); }
    std::string OpenFailure() const override { return failure_; }

  private:
    int Fail(int code, std::string failure) {
        failure_ = std::move(failure);
        Close();
        return code;
    }
    int AwaitComPort(const NetworkPort& port, Clock::time_point deadline);
    void Pump();
    int Send(const std::string& bytes, int timeoutMs, int& sent);
    int SendAll(const std::string& bytes) {
        int sent = 0;
        return Send(bytes, timeouts_.WriteTotalConstant, sent);
    }

    Socket socket_;
    telnet::Reader reader_;
    bool comPort_ = false;
    bool lost_ = false;
    std::string input_; // received line data not read yet
    std::string failure_;
    TComTimeouts timeouts_;
};

int NetworkDevice::Open(const std::string& name) {
    const std::optional<NetworkPort> port = ParseNetworkPort(name);
    if (!port)
        return Fail(-1, "\"" + name + "\" is no network port: use tcp://HOST:PORT or " +
                            "rfc2217://HOST:PORT");
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ConnectTimeoutMs);
    failure_.clear();
    if (const int code = socket_.Connect(port->Host, port->Service, ConnectTimeoutMs, failure_))
        return Fail(code, failure_);
    comPort_ = port->ComPortControl;
    lost_ = false;
    input_.clear();
    reader_ = telnet::Reader();
    if (!comPort_)
        return 0;
    reader_.Asked(true);
    if (const int code = SendAll(telnet::Offer(true)))
        return Fail(code, "the connection to " + port->Host + ":" + port->Service + " failed");
    return AwaitComPort(*port, deadline);
}

// The server's consent to com-port control; bytes of the line that come first are kept.
int NetworkDevice::AwaitComPort(const NetworkPort& port, Clock::time_point deadline) {
    const std::string where = port.Host + ":" + port.Service;
    while (reader_.ComPort() == telnet::OptionState::Asked) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Fail(TimedOutCode(),
                        where + " did not answer the request for com-port " + "control within 3 s");
        const int code = socket_.AwaitReadable(static_cast<int>(left.count()));
        if (code != 0 && code != TimedOutCode())
            return Fail(code, "the connection to " + where + " failed");
        Pump();
        if (lost_)
            return Fail(ConnectionLostCode(), where + " closed the connection" + Saying(input_));
    }
    if (reader_.ComPort() == telnet::OptionState::Off)
        return Fail(-1, where + " refuses com-port control (RFC 2217); for a plain TCP " +
                            "connection use tcp://" + where);
    return 0;
}

// Takes everything that has arrived, answers the server's requests, and keeps the line's data.
void NetworkDevice::Pump() {
    std::array<char, 4096> chunk{};
    while (!lost_) {
        int got = 0;
        bool closed = false;
        if (socket_.Receive(chunk.data(), chunk.size(), got, closed) != 0 || closed) {
            lost_ = true;
            break;
        }
        if (got == 0)
            break;
        if (!comPort_) {
            input_.append(chunk.data(), got);
            continue;
        }
        std::string replies;
        reader_.Feed(std::string_view(chunk.data(), got), input_, replies);
        if (!replies.empty())
            SendAll(replies);
    }
}

int NetworkDevice::Send(const std::string& bytes, int timeoutMs, int& sent) {
    sent = 0;
    if (lost_)
        return ConnectionLostCode();
    if (socket_.Send(bytes.data(), static_cast<int>(bytes.size()), timeoutMs, sent) != 0) {
        lost_ = true;
        return ConnectionLostCode();
    }
    return 0;
}

int NetworkDevice::Purge(bool input, bool output) {
    if (input) {
        Pump();
        input_.clear();
    }
    if (!comPort_ || (!input && !output))
        return lost_ ? ConnectionLostCode() : 0;
    const PurgeValue value = input && output ? PurgeBoth : (input ? PurgeReceived : PurgeTransmit);
    return SendAll(telnet::Command(telnet::PurgeData, value));
}

// A write cut short by its time-out reports the data bytes that went, as a device's does.
int NetworkDevice::Write(const void* buffer, int count, int& written) {
    written = 0;
    const std::string data(static_cast<const char*>(buffer), count > 0 ? count : 0);
    const std::string bytes = comPort_ ? telnet::Escape(data) : data;
    const int budget = timeouts_.WriteTotalMultiplier * count + timeouts_.WriteTotalConstant;
    int sent = 0;
    const int code = Send(bytes, budget, sent);
    written = sent == static_cast<int>(bytes.size()) ? count : std::min(sent, count);
    return code;
}

int NetworkDevice::Read(void* buffer, int count, int& got) {
    Pump();
    got = std::min(count > 0 ? count : 0, static_cast<int>(input_.size()));
    if (got == 0)
        return lost_ ? ConnectionLostCode() : 0;
    std::memcpy(buffer, input_.data(), got);
    input_.erase(0, got);
    return 0;
}

} // namespace

bool HasNetworkScheme(const std::string& name) {
    return StartsWith(name, TcpScheme) || StartsWith(name, ComPortScheme);
}

std::optional<NetworkPort> ParseNetworkPort(const std::string& name) {
    NetworkPort port;
    std::string rest;
    if (StartsWith(name, TcpScheme)) {
        rest = name.substr(std::strlen(TcpScheme));
    } else if (StartsWith(name, ComPortScheme)) {
        port.ComPortControl = true;
        rest = name.substr(std::strlen(ComPortScheme));
    } else {
        return std::nullopt;
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos || !IsServiceNumber(rest.substr(colon + 1)))
        return std::nullopt;
    port.Service = rest.substr(colon + 1);
    port.Host = rest.substr(0, colon);
    if (port.Host.size() > 2 && port.Host.front() == '[' && port.Host.back() == ']')
        port.Host = port.Host.substr(1, port.Host.size() - 2);
    const bool bracketsLeft = port.Host.find_first_of("[]") != std::string::npos;
    const bool bareIpv6 = port.Host.find(':') != std::string::npos && rest.front() != '[';
    if (port.Host.empty() || bracketsLeft || bareIpv6 ||
        port.Host.find_first_of("/ ") != std::string::npos)
        return std::nullopt;
    return port;
}

std::string LineSettingCommands(const TComLineSettings& settings) {
    using namespace telnet;
    const TComFlowControl& flow = settings.FlowControl;
    std::string out;
    if (const std::uint32_t rate = BaudRates[settings.BaudRate])
        out += Command32(SetBaudRate, rate);
    out += Command(SetDataSize, static_cast<unsigned char>(5 + settings.DataBits));
    out += Command(SetParity, static_cast<unsigned char>(1 + settings.Parity.Bits));
    out += Command(SetStopSize, StopSizes[settings.StopBits]);
    out += Command(SetControl, FlowControlValue(flow));
    out += Command(SetControl, flow.ControlDTR == dtrDisable ? DtrOff : DtrOn);
    out += Command(SetControl, flow.ControlRTS == rtsDisable ? RtsOff : RtsOn);
    return out;
}

std::unique_ptr<PortDevice> NewNetworkDevice() {
    return std::make_unique<NetworkDevice>();
}

} // namespace pelmora::detail
