// The serial port on Windows against COM ports that tools/wine-test.sh maps to pseudo-terminals:
// PELMORA_PEER_PORT is held by line_peer.py, PELMORA_BOX_PORT by the virtual box, and the port
// list also holds COM10 and com2, which have no device. Tests that need them skip without.
#include "caught_error.h"
#include "serial/com_port.h"
#include "serial/enum_com_ports.h"
#include "test_ui_loop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#define WIN32_LEAN_AND_MEAN // keeps out the printer API, whose SetPort macro renames ours
#include <windows.h>

namespace pelmora::test {
namespace {

std::string CodedMessage(const char* text, int code) {
    return std::string(text) + " (Error: " + std::to_string(code) + ")";
}

bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

double ProcessCpuMilliseconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
}

TEST(ComPortWin32Errors, OpenOfMissingOrUnnamedPortFailsWithTheSystemCode) {
    const std::pair<std::string, int> cases[] = {{"COM199", ERROR_FILE_NOT_FOUND},
                                                 {"", ERROR_INVALID_NAME}};
    for (const auto& [name, code] : cases) {
        TComPort port;
        port.SetPort(name);
        const EComPort error = CaughtError([&] { port.Open(); });
        EXPECT_EQ(error.ErrorNumber, 1);
        EXPECT_EQ(error.what(), CodedMessage("Unable to open com port", code))
            << "'" << name << "'";
        EXPECT_FALSE(port.Connected());
    }
}

TEST(ComPortWin32Errors, ClosedPortRaisesPortNotOpenAndTheDriverCallsFail) {
    TComPort port;
    char buffer[12] = {};
    for (const EComPort& error : {CaughtError([&] { port.Write(buffer, 12); }),
                                  CaughtError([&] { port.Read(buffer, 12); })}) {
        EXPECT_EQ(error.ErrorNumber, 24);
        EXPECT_EQ(error.SystemErrorCode, -1);
        EXPECT_STREQ(error.what(), "Port Not Open");
    }
    const EComPort purge = CaughtError([&] { port.ClearBuffer(true, true); });
    EXPECT_EQ(purge.what(), CodedMessage("PurgeComm function failed", ERROR_INVALID_HANDLE));
    const EComPort count = CaughtError([&] { port.InputCount(); });
    EXPECT_EQ(count.what(), CodedMessage("ClearCommError function failed", ERROR_INVALID_HANDLE));
}

TEST(ComPortWin32List, RegisteredPortsSortedWithoutRegardToCase) {
    if (std::getenv("PELMORA_PEER_PORT") == nullptr) {
        GTEST_SKIP() << "no COM ports mapped: tools/wine-test.sh registers them";
    }
    const std::set<std::string> mapped{"COM10", "com2", "COM5", "COM6"};
    std::vector<std::string> listed;
    for (const PortEntry& port : EnumComPorts()) {
        if (mapped.count(port.Name) != 0) {
            listed.push_back(port.Name);
            EXPECT_EQ(PortLabel(port), port.Name) << "Wine's mapped ports carry no description";
        }
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"COM10", "com2", "COM5", "COM6"}));
}

// An open port on the COM port that `variable` names; every received count is recorded.
struct PortOnLine : ::testing::Test {
    explicit PortOnLine(const char* variable = "PELMORA_PEER_PORT") : variable_(variable) {}
    void SetUp() override {
        const char* name = std::getenv(variable_);
        if (name == nullptr) {
            GTEST_SKIP() << variable_ << " names no COM port: tools/wine-test.sh maps one";
        }
        port.SetPort(name);
        port.SetUiHandoff(&ui);
        port.OnRxChar = [this](TCustomComPort&, int count) { counts.push_back(count); };
        port.Open();
    }
    // A request to line_peer.py, one line.
    void Ask(const std::string& request) {
        const std::string line = request + "\n";
        port.Write(line.data(), static_cast<int>(line.size()));
    }
    bool PumpUntilCalls(size_t calls) {
        return ui.PumpUntil(port, [&] { return counts.size() >= calls; });
    }
    std::string ReceiveLine() {
        std::string text;
        ui.PumpUntil(port, [&] {
            char chunk[64];
            text.append(chunk, static_cast<size_t>(port.Read(chunk, sizeof chunk)));
            return !text.empty() && text.back() == '\n';
        });
        return text;
    }

    const char* variable_;
    TestUiLoop ui;
    std::vector<int> counts;
    TComPort port;
};

struct PortOnBox : PortOnLine {
    PortOnBox() : PortOnLine("PELMORA_BOX_PORT") {}
};

TEST_F(PortOnLine, SecondOpenerIsRefused) {
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine does not refuse a second opener of a COM port";
    }
    TComPort second;
    second.SetPort(port.Port());
    const EComPort error = CaughtError([&] { second.Open(); });
    EXPECT_EQ(error.ErrorNumber, 1);
    EXPECT_EQ(error.what(), CodedMessage("Unable to open com port", ERROR_ACCESS_DENIED));
}

TEST_F(PortOnLine, OpenSetsRaw115200EightNoneOneWithoutFlowControl) {
    Ask("?spoil");
    Ask("?line");
    ASSERT_NE(ReceiveLine(), "115200 8N1 raw\n");
    port.Close();
    port.Open();
    Ask("?line");
    EXPECT_EQ(ReceiveLine(), "115200 8N1 raw\n");
}

TEST_F(PortOnLine, RxCharCountsEveryWaitingByte) {
    Ask("?send abc");
    ASSERT_TRUE(PumpUntilCalls(1));
    Ask("?send 123456789");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts, (std::vector<int>{3, 12}));

    ui.PumpFor(port, 100ms); // unread bytes alone raise no further event
    EXPECT_EQ(counts.size(), 2u);
    port.ClearBuffer(true, true);
    EXPECT_EQ(port.InputCount(), 0);
    Ask("?send new"); // fewer bytes than were discarded are still news
    ASSERT_TRUE(PumpUntilCalls(3));
    EXPECT_EQ(counts.back(), 3);
}

TEST_F(PortOnLine, CloseRunsTheDeliveryStillQueuedWithThePortOpen) {
    bool openDuringHandler = false;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        openDuringHandler = sender.Connected();
        counts.push_back(count);
    };
    Ask("?send late");
    ASSERT_TRUE(ui.WaitForWakes(1)); // the event thread now blocks on its hand-off
    port.Close();
    EXPECT_EQ(counts, std::vector<int>{4});
    EXPECT_TRUE(openDuringHandler);
}

// The peer hangs up as a pulled cable would: the port closes itself and tells of it once,
// the event thread stays idle, and the port opens again on the line offered afresh.
TEST_F(PortOnLine, HungUpPeerClosesThePortOnceAndItOpensAgain) {
    int losses = 0;
    port.OnPortLost = [&](TCustomComPort& sender) {
        EXPECT_FALSE(sender.Connected());
        ++losses;
    };
    Ask("?send last");
    ASSERT_TRUE(PumpUntilCalls(1));
    Ask("?hangup");
    const double cpuBefore = ProcessCpuMilliseconds();
    ASSERT_TRUE(ui.PumpUntil(
        port, [&] { return losses > 0; }, 500ms));
    ui.PumpFor(port, 1000ms);
    EXPECT_LT(ProcessCpuMilliseconds() - cpuBefore, 100.0);
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(CaughtError([&] { port.Write("ping", 4); }).ErrorNumber, 24);

    port.Open();
    Ask("?send again");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts.back(), 5);
}

// Bytes that come after the handler has read, before the event thread arms its next wait,
// are announced all the same.
TEST_F(PortOnLine, BytesArrivingBetweenTwoWaitsAreAnnounced) {
    std::string received;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        char chunk[64];
        received.append(chunk, static_cast<size_t>(sender.Read(chunk, sizeof chunk)));
        if (received == "first") {
            Ask("?send second");
            ::Sleep(50); // they arrive while the event thread waits for this handler
        }
    };
    Ask("?send first");
    EXPECT_TRUE(ui.PumpUntil(
        port, [&] { return received == "firstsecond"; }, 1000ms))
        << received;
}

// Wine ends every wait on a pseudo-terminal at once: an idle open port is then looked at by
// its counts, not given a new wait each time, and costs next to no processor time.
TEST_F(PortOnLine, IdlePortCostsNextToNoProcessorTime) {
    const double before = ProcessCpuMilliseconds();
    ::Sleep(2000);
    EXPECT_LT(ProcessCpuMilliseconds() - before, 40.0);
}

// Each reply read by the handler, as the tool reads them: the next reply is still news.
TEST_F(PortOnBox, AnswersEveryModelQuery) {
    char reply[12] = {};
    EXPECT_EQ(port.Read(reply, 12), 0); // nothing waits: the read returns at once
    std::vector<std::string> replies;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        if (count >= 12) {
            replies.emplace_back(reply, static_cast<size_t>(sender.Read(reply, 12)));
        }
    };
    for (size_t sent = 1; sent <= 2; ++sent) {
        port.Write("S00MDNR001\r\n", 12);
        ASSERT_TRUE(ui.PumpUntil(port, [&] { return replies.size() >= sent; }));
    }
    EXPECT_EQ(replies, std::vector<std::string>(2, "S00MDN0200\r\n"));
}

} // namespace
} // namespace pelmora::test
