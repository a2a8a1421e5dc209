// The port on network names, through the system's serial device server on loopback and
// through hand-made servers for the answers a real one seldom gives.
#include "caught_error.h"
#include "pty_peer.h"
#include "serial/telnet.h"
#include "support/ser2net_server.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct NetPort : ::testing::Test {
    void Open(const std::string& name) {
        port.SetPort(name);
        port.SetUiHandoff(&ui);
        port.Open();
    }
    std::string ReadBytes(int count) {
        EXPECT_TRUE(ui.PumpUntil(port, [&] { return port.InputCount() >= count; }));
        std::string bytes(port.InputCount(), '\0');
        bytes.resize(port.Read(bytes.data(), static_cast<int>(bytes.size())));
        return bytes;
    }
    termios LineOfPty() {
        termios tio{};
        ::tcgetattr(peer.SlaveFd(), &tio);
        return tio;
    }
    speed_t PtySpeed() {
        const termios tio = LineOfPty();
        return cfgetospeed(&tio);
    }

    PtyPeer peer;
    pelmora::testing::TempFolder folder;
    TestUiLoop ui;
    TComPort port;
};

const std::string Awkward{"\x01\xff\xff\r\n\x00\xfe", 7};

TEST_F(NetPort, BothAccepterKindsCarryEveryByteUnchangedBothWays) {
    for (const char* accepter : {"tcp", "telnet(rfc2217)"}) {
        pelmora::testing::Ser2netServer server(peer.SlavePath(), accepter, folder.Path());
        Open(server.PortName());
        EXPECT_EQ(port.Write(Awkward.data(), 7), 7);
        EXPECT_EQ(peer.Receive(7), Awkward) << accepter;
        peer.Send(Awkward);
        EXPECT_EQ(ReadBytes(7), Awkward) << accepter;
        port.Close();
    }
}

TEST_F(NetPort, ComPortControlGivesThePtyTheComponentsLineWithoutWaitingForAnswers) {
    pelmora::testing::Ser2netServer server(peer.SlavePath(), "telnet(rfc2217)", folder.Path(),
                                           "9600e72");
    const auto start = Clock::now();
    Open(server.PortName());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(ui.PumpUntil(port, [&] { return PtySpeed() == B115200; }));
    const termios tio = LineOfPty();
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
}

TEST_F(NetPort, PlainTcpLeavesTheServersLineAlone) {
    pelmora::testing::Ser2netServer server(peer.SlavePath(), "tcp", folder.Path(), "9600n81");
    Open(server.PortName());
    peer.Send("x");
    EXPECT_EQ(ReadBytes(1), "x");
    EXPECT_EQ(PtySpeed(), speed_t(B9600));
}

TEST_F(NetPort, AKilledServerIsALostPortThatCostsNoCpu) {
    pelmora::testing::Ser2netServer server(peer.SlavePath(), "telnet(rfc2217)", folder.Path());
    int losses = 0;
    port.OnPortLost = [&](TCustomComPort&) { ++losses; };
    Open(server.PortName());
    server.Kill();
    ASSERT_TRUE(ui.PumpUntil(port, [&] { return losses == 1; }));
    const double cpuBefore = ProcessCpuMilliseconds();
    ui.PumpFor(port, 500ms);
    EXPECT_LT(ProcessCpuMilliseconds() - cpuBefore, 50.0);
    EXPECT_EQ(losses, 1);
    EXPECT_FALSE(port.Connected());
}

// A server of the test's own that accepts one client, sends `opening` and then stays silent
// until the test ends, or closes the connection at once when `hangUp`.
class SilentServer {
  public:
    explicit SilentServer(std::string opening, bool hangUp = false) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, opening, hangUp] {
            client_ = ::accept(listener_, nullptr, nullptr);
            if (client_ >= 0) [[maybe_unused]]
                auto sent = ::send(client_, opening.data(), opening.size(), 0);
            if (hangUp)
                ::shutdown(client_, SHUT_RDWR);
        });
    }
    ~SilentServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(client_);
        ::close(listener_);
    }
    std::string Name(const char* scheme = "rfc2217") const {
        return scheme + std::string("://127.0.0.1:") + std::to_string(port_);
    }
    int Port() const { return port_; }

  private:
    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
    std::thread thread_;
};

TEST(NetPortErrors, OpenFailuresSayWhatWentWrongAndLeaveThePortClosed) {
    const std::string refusal{char(telnet::Iac), char(telnet::Dont), char(telnet::ComPortOption)};
    SilentServer refusing(refusal);
    int unused = 0;
    {
        SilentServer closed("");
        unused = closed.Port(); // nobody listens there once it is gone
    }
    struct Case {
        std::string Name, Message;
    } cases[] = {
        {refusing.Name(), "Unable to open com port: 127.0.0.1:" + std::to_string(refusing.Port()) +
                              " refuses com-port control (RFC 2217); for a plain TCP connection "
                              "use tcp://127.0.0.1:" +
                              std::to_string(refusing.Port())},
        {"tcp://127.0.0.1:" + std::to_string(unused),
         "Unable to open com port: cannot connect to 127.0.0.1:" + std::to_string(unused) +
             " (Connection refused) (Error: 111)"},
        {"tcp://127.0.0.1", "Unable to open com port: \"tcp://127.0.0.1\" is no network port: "
                            "use tcp://HOST:PORT or rfc2217://HOST:PORT"},
    };
    for (const Case& c : cases) {
        TComPort port;
        port.SetPort(c.Name);
        const EComPort error = CaughtError([&] { port.Open(); });
        EXPECT_EQ(error.ErrorNumber, 1);
        EXPECT_EQ(error.what(), c.Message);
        EXPECT_FALSE(port.Connected());
    }
}

// A server that hangs up while asked for com-port control is quoted, printable bytes only.
TEST(NetPortErrors, AServerThatHangsUpAtOnceIsQuoted) {
    SilentServer busy("~ in use\r\n", true);
    TComPort port;
    port.SetPort(busy.Name());
    const std::string said = CaughtError([&] { port.Open(); }).what();
    EXPECT_NE(said.find(" closed the connection saying \"~ in use\""), std::string::npos) << said;
}

TEST(NetPortErrors, AServerThatClosesIsReadToTheEndAndThenLost) {
    SilentServer closing("last", true);
    TComPort port;
    TestUiLoop ui;
    std::string received;
    bool lost = false;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        std::string bytes(count, '\0');
        received += bytes.substr(0, sender.Read(bytes.data(), count));
    };
    port.OnPortLost = [&](TCustomComPort&) { lost = true; };
    port.SetPort(closing.Name("tcp"));
    port.SetUiHandoff(&ui);
    port.Open();
    ASSERT_TRUE(ui.PumpUntil(port, [&] { return lost; }));
    EXPECT_EQ(received, "last");
    EXPECT_FALSE(port.Connected());
}

TEST(NetPortErrors, AServerThatNeverAnswersTimesOutAfterThreeSeconds) {
    SilentServer silent("");
    TComPort port;
    port.SetPort(silent.Name());
    const auto start = Clock::now();
    const EComPort error = CaughtError([&] { port.Open(); });
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(error.SystemErrorCode, ETIMEDOUT);
    EXPECT_NE(std::string(error.what()).find("within 3 s"), std::string::npos) << error.what();
    EXPECT_GE(elapsed, std::chrono::milliseconds(2900));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

} // namespace
} // namespace pelmora::test
