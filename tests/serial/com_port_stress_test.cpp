// Opening and closing the port many times while the peer floods the line.
#include "pty_peer.h"
#include "serial/com_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace pelmora::test {
namespace {

// Writes to the master side as fast as the line takes it until stopped.
class Flood {
  public:
    explicit Flood(int masterFd)
        : thread_([this, masterFd] {
              const std::vector<char> chunk(512, 'F');
              while (!stop_) {
                  pollfd entry{masterFd, POLLOUT, 0};
                  if (::poll(&entry, 1, 10) > 0) {
                      [[maybe_unused]] ssize_t n = ::write(masterFd, chunk.data(), chunk.size());
                  }
              }
          }) {}
    ~Flood() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

bool BytesArrive(TCustomComPort& port) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (port.InputCount() == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(ComPortStress, FiveHundredOpenCloseCyclesUnderFloodLoseNoHandOff) {
    PtyPeer peer;
    TestUiLoop ui;
    int calls = 0;
    TComPort port;
    port.SetPort(peer.SlavePath());
    port.SetUiHandoff(&ui);
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        EXPECT_TRUE(sender.Connected());
        EXPECT_GT(count, 0);
        char buffer[256];
        sender.Read(buffer, sizeof buffer);
        ++calls;
    };
    Flood flood(peer.MasterFd());

    for (int cycle = 0; cycle < 500; ++cycle) {
        const int wakesBefore = ui.Wakes();
        port.Open();
        port.ClearBuffer(true, true); // as the tool connects: the line may be full already
        const int callsBefore = calls;
        if (cycle % 2 == 0) {
            // Deliveries run by the UI loop.
            ASSERT_TRUE(ui.PumpUntil(port, [&] { return calls > callsBefore; })) << cycle;
        } else {
            // A delivery still queued when Close comes, with bytes waiting: Close must run it.
            ASSERT_TRUE(ui.WaitForWakes(wakesBefore + 1)) << cycle;
            ASSERT_TRUE(BytesArrive(port)) << cycle;
        }
        port.Close();
        const int callsAtClose = calls;
        EXPECT_FALSE(port.DeliverPending()) << cycle; // nothing is left behind a close
        ASSERT_EQ(calls, callsAtClose);
        if (cycle % 2 == 1) {
            EXPECT_GT(calls, callsBefore) << cycle;
        }
    }
}

} // namespace
} // namespace pelmora::test
