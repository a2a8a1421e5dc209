// The serial port against real pseudo-terminals.
#include "caught_error.h"
#include "pty_peer.h"
#include "serial/com_port.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

// A port on a fresh pty with a test UI loop; every received count is recorded.
struct PortOnPty : ::testing::Test {
    PortOnPty() {
        port.SetPort(peer.SlavePath());
        port.SetUiHandoff(&ui);
        port.OnRxChar = [this](TCustomComPort& sender, int count) {
            EXPECT_EQ(&sender, &port);
            counts.push_back(count);
        };
    }
    bool PumpUntilCalls(size_t calls) {
        return ui.PumpUntil(port, [&] { return counts.size() >= calls; });
    }
    bool PumpUntilWaiting(int bytes) {
        return ui.PumpUntil(port, [&] { return port.InputCount() >= bytes; });
    }

    PtyPeer peer;
    TestUiLoop ui;
    std::vector<int> counts;
    TComPort port;
};

TEST(ComPortErrors, OpenOfMissingOrUnnamedDeviceFailsWithTheSystemCode) {
    for (const std::string name : {"/dev/pelmora-no-such-port", ""}) {
        TComPort port;
        port.SetPort(name);
        const EComPort error = CaughtError([&] { port.Open(); });
        EXPECT_EQ(error.ErrorNumber, 1);
        EXPECT_EQ(error.SystemErrorCode, ENOENT);
        EXPECT_STREQ(error.what(), "Unable to open com port (Error: 2)");
        EXPECT_FALSE(port.Connected());
    }
}

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

TEST(ComPortErrors, ANonTerminalFailsTheLineSettingsAndIsClosedAgain) {
    const pelmora::testing::TempFolder folder;
    std::ofstream(folder / "plain").put('x');
    TComPort port;
    port.SetPort((folder / "plain").string());
    const size_t before = OpenDescriptors();
    const EComPort error = CaughtError([&] { port.Open(); });
    EXPECT_EQ(error.ErrorNumber, 7);
    EXPECT_EQ(error.SystemErrorCode, ENOTTY);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(ComPortErrors, ClosedPortRaisesPortNotOpenWithoutCode) {
    TComPort port;
    EXPECT_EQ(port.Port(), "COM1");
    char buffer[12] = {};
    for (const EComPort& error : {CaughtError([&] { port.Write(buffer, 12); }),
                                  CaughtError([&] { port.Read(buffer, 12); })}) {
        EXPECT_EQ(error.ErrorNumber, 24);
        EXPECT_EQ(error.SystemErrorCode, -1);
        EXPECT_STREQ(error.what(), "Port Not Open");
    }
    const EComPort purge = CaughtError([&] { port.ClearBuffer(true, true); });
    EXPECT_EQ(purge.ErrorNumber, 5);
    EXPECT_EQ(purge.SystemErrorCode, EBADF);
    EXPECT_STREQ(purge.what(), "PurgeComm function failed (Error: 9)");
    port.Close(); // closing a closed port does nothing
}

TEST_F(PortOnPty, SecondOpenerIsRefusedUntilTheFirstCloses) {
    port.Open();
    TComPort second;
    second.SetPort(peer.SlavePath());
    const EComPort error = CaughtError([&] { second.Open(); });
    EXPECT_EQ(error.ErrorNumber, 1);
    EXPECT_EQ(error.SystemErrorCode, EBUSY);
    EXPECT_STREQ(error.what(), "Unable to open com port (Error: 16)");
    EXPECT_FALSE(second.Connected());

    EXPECT_EQ(port.Write("ping", 4), 4); // the holder is not disturbed
    EXPECT_EQ(peer.Receive(4), "ping");
    port.Close();
    second.Open();
    EXPECT_TRUE(second.Connected());
}

TEST_F(PortOnPty, AHolderInAnotherProcessRefusesTheOpenUntilItIsKilled) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        TComPort held;
        held.SetPort(peer.SlavePath());
        held.Open();
        [[maybe_unused]] const ssize_t sent = ::write(ready[1], "h", 1);
        ::pause();
    }
    ::close(ready[1]);
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    const EComPort error = CaughtError([&] { port.Open(); });
    EXPECT_EQ(error.ErrorNumber, 1);
    EXPECT_EQ(error.SystemErrorCode, EBUSY);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    int exclusive = 1; // a terminal flag left set would keep out openers without root
    ASSERT_EQ(::ioctl(peer.SlaveFd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    port.Open(); // the peer still holds the line's far end
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortOnPty, AnotherProgramsLockRefusesTheOpenButItsLeftoverTerminalFlagDoesNot) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the kernel itself keeps non-root openers out while the flag is set";
    }
    const int other = ::open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
    EXPECT_EQ(CaughtError([&] { port.Open(); }).SystemErrorCode, EBUSY);
    ::close(other);
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortOnPty, OpenSetsRaw115200EightNoneOneWithoutFlowControl) {
    termios cooked{};
    ASSERT_EQ(::tcgetattr(peer.MasterFd(), &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_iflag |= IXON | IXOFF | ICRNL;
    cooked.c_oflag |= OPOST;
    cooked.c_cflag |= PARENB | CSTOPB | CRTSCTS;
    cooked.c_cflag = (cooked.c_cflag & ~CSIZE) | CS7;
    cfsetspeed(&cooked, B9600);
    ASSERT_EQ(::tcsetattr(peer.MasterFd(), TCSANOW, &cooked), 0);

    port.Open();
    termios line{};
    ASSERT_EQ(::tcgetattr(peer.MasterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(cfgetispeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INPCK | ISTRIP), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
}

TEST_F(PortOnPty, WriteSendsTheBytesUnchanged) {
    port.Open();
    const std::string frame("S00XAA0000\r\n", 12);
    EXPECT_EQ(port.Write(frame.data(), 12), 12);
    EXPECT_EQ(peer.Receive(12), frame);
}

// Writes to the line from a descriptor of its own until the line takes nothing more.
void FillTheLine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const std::string chunk(4096, 'f');
    pollfd entry{fd, POLLOUT, 0};
    do {
        while (::write(fd, chunk.data(), chunk.size()) > 0) {
        }
    } while (::poll(&entry, 1, 50) > 0);
    ::close(fd);
}

TEST_F(PortOnPty, WriteToAFullLineEndsWithinItsTimeOut) {
    port.Open();
    FillTheLine(peer.SlavePath());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_LT(port.Write("S00XAA0000\r\n", 12), 12);
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, 2150ms); // 100 ms per byte and 1000 ms
    EXPECT_LT(spent, 3000ms);
}

TEST_F(PortOnPty, AWriteTheLineTakesInPiecesArrivesWholeAndInOrder) {
    std::string block; // larger than the line holds, and no stretch of it repeats
    for (int i = 0; block.size() < 200000; ++i) {
        block += std::to_string(i) + ',';
    }
    port.Open();
    int written = -1;
    std::thread writer([&] {
        try {
            written = port.Write(block.data(), static_cast<int>(block.size()));
        } catch (const EComPort&) {
        }
    });
    const std::string received = peer.Receive(block.size());
    peer.HangUp(); // ends a write still waiting for room
    writer.join();
    EXPECT_EQ(written, static_cast<int>(block.size()));
    EXPECT_TRUE(received == block) << "received " << received.size() << " bytes";
}

TEST_F(PortOnPty, RxCharCountsEveryWaitingByte) {
    port.Open();
    peer.Send("abc");
    ASSERT_TRUE(PumpUntilCalls(1));
    peer.Send("123456789");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts, (std::vector<int>{3, 12}));

    ui.PumpFor(port, 100ms); // unread bytes alone raise no further event
    EXPECT_EQ(counts.size(), 2u);
}

TEST_F(PortOnPty, RxCharRunsOnThePumpingThreadOneAtATime) {
    const auto uiThread = std::this_thread::get_id();
    int running = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        EXPECT_EQ(++running, 1);
        std::vector<char> bytes(static_cast<size_t>(count));
        sender.Read(bytes.data(), count);
        peer.Send("x"); // arrives while the handler runs: one more delivery follows
        counts.push_back(count);
        --running;
    };
    port.Open();
    peer.Send("go");
    ASSERT_TRUE(PumpUntilCalls(5));
    EXPECT_EQ(counts[0], 2);
    port.Close(); // the handler refers to this test's locals
}

TEST_F(PortOnPty, RxCharIsNotCalledWhenNothingWaitsAtDelivery) {
    port.Open();
    peer.Send("stale");
    ASSERT_TRUE(ui.WaitForWakes(1));
    port.ClearBuffer(true, true);
    ui.PumpFor(port, 100ms);
    EXPECT_TRUE(counts.empty());

    peer.Send("new");
    ASSERT_TRUE(PumpUntilCalls(1)); // the event thread goes on waiting
    EXPECT_EQ(counts, std::vector<int>{3});
}

TEST_F(PortOnPty, ReadReturnsWhatWaitsWithoutWaiting) {
    port.Open();
    char buffer[64] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(buffer, 64), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);

    peer.Send("0123456789");
    ASSERT_TRUE(PumpUntilWaiting(10));
    EXPECT_EQ(port.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(port.InputCount(), 6);
    EXPECT_EQ(port.Read(buffer, 64), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(port.Read(buffer, 64), 0);
}

TEST_F(PortOnPty, ClearBufferAfterOpenDiscardsWhatThePeerSentBefore) {
    peer.Send("earlier");
    port.Open();
    EXPECT_EQ(port.InputCount(), 7);
    port.ClearBuffer(true, true);
    EXPECT_EQ(port.InputCount(), 0);
    ui.PumpFor(port, 100ms);
    EXPECT_TRUE(counts.empty());
}

TEST_F(PortOnPty, CloseDiscardsUnreadInput) {
    port.Open();
    peer.Send("unread");
    ASSERT_TRUE(PumpUntilCalls(1));
    port.Close();
    EXPECT_FALSE(port.Connected());
    port.Open();
    EXPECT_EQ(port.InputCount(), 0);
}

TEST_F(PortOnPty, CloseRunsTheDeliveryStillQueuedWithThePortOpen) {
    bool openDuringHandler = false;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        openDuringHandler = sender.Connected();
        counts.push_back(count);
    };
    port.Open();
    peer.Send("late");
    ASSERT_TRUE(ui.WaitForWakes(1)); // the event thread now blocks on its hand-off
    port.Close();
    EXPECT_EQ(counts, std::vector<int>{4});
    EXPECT_TRUE(openDuringHandler);
    EXPECT_FALSE(port.DeliverPending()); // the wake that is still queued finds nothing
    EXPECT_EQ(counts.size(), 1u);
}

TEST_F(PortOnPty, CloseFromWithinTheHandlerDoesNotDeadlock) {
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        counts.push_back(count);
        sender.Close();
    };
    port.Open();
    peer.Send("bye");
    ASSERT_TRUE(PumpUntilCalls(1));
    EXPECT_FALSE(port.Connected());
    port.Open();
    peer.Send("again");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts, (std::vector<int>{3, 5}));
}

TEST_F(PortOnPty, ErrorFromTheHandlerEndsEventsUntilReopened) {
    port.OnRxChar = [&](TCustomComPort&, int count) {
        counts.push_back(count);
        throw std::runtime_error("handler failed");
    };
    port.Open();
    peer.Send("one");
    ASSERT_TRUE(PumpUntilCalls(1));
    peer.Send("two");
    ui.PumpFor(port, 200ms);
    EXPECT_EQ(counts.size(), 1u);
    char buffer[16];
    EXPECT_EQ(port.Read(buffer, 16), 6); // the port itself still works
    peer.Send("left");
    ASSERT_TRUE(PumpUntilWaiting(4));

    port.Close();
    port.Open();
    EXPECT_EQ(port.InputCount(), 0); // closing discarded the unread bytes
    peer.Send("three");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts.back(), 5);
}

TEST_F(PortOnPty, SetPortWithTheCurrentNameDoesNotReopen) {
    port.Open();
    peer.Send("kept");
    ASSERT_TRUE(PumpUntilCalls(1));
    port.SetPort(peer.SlavePath());
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.InputCount(), 4); // a reopen would have discarded them
}

TEST_F(PortOnPty, SetPortWithAnotherNameReopensThere) {
    PtyPeer other;
    port.Open();
    port.SetPort(other.SlavePath());
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Port(), other.SlavePath());
    port.Write("hi", 2);
    EXPECT_EQ(other.Receive(2), "hi");

    TComPort previous; // the first device was released
    previous.SetPort(peer.SlavePath());
    previous.Open();

    const EComPort error = CaughtError([&] { port.SetPort("/dev/pelmora-no-such-port"); });
    EXPECT_EQ(error.ErrorNumber, 1);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Port(), "/dev/pelmora-no-such-port");
}

double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// A hung-up device fails reads and writes at once; the event thread then closes the port,
// tells of it once and stays idle, and the port opens again on a device that is back.
TEST_F(PortOnPty, HungUpPeerFailsIoThenThePortClosesItselfOnce) {
    int losses = 0;
    port.OnPortLost = [&](TCustomComPort& sender) {
        EXPECT_FALSE(sender.Connected());
        ++losses;
    };
    port.Open();
    peer.Send("last");
    ASSERT_TRUE(PumpUntilCalls(1));
    peer.HangUp();
    char buffer[12] = {};
    const EComPort write = CaughtError([&] { port.Write(buffer, 12); });
    EXPECT_STREQ(write.what(), "WriteFile function failed (Error: 5)");
    EXPECT_EQ(CaughtError([&] { port.Read(buffer, 12); }).SystemErrorCode, EIO);

    const double cpuBefore = ProcessCpuMilliseconds();
    ui.PumpFor(port, 1000ms);
    EXPECT_LT(ProcessCpuMilliseconds() - cpuBefore, 50.0);
    EXPECT_EQ(losses, 1);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(CaughtError([&] { port.Write(buffer, 12); }).ErrorNumber, 24);

    PtyPeer back;
    port.SetPort(back.SlavePath());
    port.Open();
    back.Send("again");
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts.back(), 5);
}

TEST_F(PortOnPty, ALossStillUntoldWhenThePortIsClosedIsNotTold) {
    int losses = 0;
    port.OnPortLost = [&](TCustomComPort&) { ++losses; };
    port.Open();
    peer.HangUp();
    ASSERT_TRUE(ui.WaitForWakes(1));
    port.Close();
    ui.PumpFor(port, 50ms);
    EXPECT_EQ(losses, 0);
    EXPECT_FALSE(port.Connected());
}

TEST_F(PortOnPty, DestructionClosesThePort) {
    {
        TComPort scoped;
        scoped.SetPort(peer.SlavePath());
        scoped.SetUiHandoff(&ui);
        scoped.Open();
        peer.Send("pending");
        ASSERT_TRUE(ui.WaitForWakes(1)); // its event thread blocks on a hand-off nobody pumps
    }
    port.Open(); // the device is free again
    EXPECT_TRUE(port.Connected());
}

} // namespace
} // namespace pelmora::test
