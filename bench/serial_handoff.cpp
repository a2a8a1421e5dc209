// Hand-off latency of the serial port: from a byte written by the peer on a pseudo-terminal to
// OnRxChar running on the UI thread. Measured with a plain condition-variable UI loop and, when
// built with Qt, with the Qt event loop the tool uses. PELMORA_BENCH_QUICK=1 runs 200 events.
#include "serial/com_port.h"
#include "serial/ui_handoff.h"

#ifdef PELMORA_BENCH_WITH_QT
#include "ui/qt/qt_ui_handoff.h"

#include <QCoreApplication>
#include <QEventLoop>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using pelmora::TComPort;
using pelmora::TCustomComPort;

struct Pty {
    Pty() {
        char name[PATH_MAX] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            std::perror("openpty");
            std::exit(1);
        }
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
        path = name;
    }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

// The UI thread of this program: waits for a wake or for the handler to have run.
class CondVarUiLoop : public pelmora::UiHandoff {
  public:
    void Wake() override {
        std::lock_guard lock(mutex_);
        woken_ = true;
        changed_.notify_all();
    }
    void RunUntil(TCustomComPort& port, const bool& done) {
        while (!done) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return woken_; });
            woken_ = false;
            lock.unlock();
            port.DeliverPending();
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
};

// A peer thread sends one byte per event, a little after the UI side went back to waiting;
// `runUiUntil` runs the UI side until the handler has seen it. Latencies in milliseconds.
std::vector<double> Measure(int events, TComPort& port, int masterFd,
                            const std::function<void(const bool&)>& runUiUntil) {
    std::vector<double> latencies;
    std::atomic<Clock::rep> sentAt{0};
    std::binary_semaphore next{0};
    bool received = false;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        const Clock::rep now = Clock::now().time_since_epoch().count();
        char buffer[64];
        sender.Read(buffer, std::min<int>(count, sizeof buffer));
        latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::duration(now - sentAt.load()))
                .count());
        received = true;
    };
    port.Open();
    std::thread peer([&] {
        for (int i = 0; i < events; ++i) {
            next.acquire();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            sentAt = Clock::now().time_since_epoch().count();
            [[maybe_unused]] const ssize_t n = ::write(masterFd, "R", 1);
        }
    });
    for (int i = 0; i < events; ++i) {
        received = false;
        next.release();
        runUiUntil(received);
    }
    peer.join();
    port.Close();
    return latencies;
}

void Report(const char* loop, std::vector<double> latencies) {
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    const double p99 = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    std::printf("%-22s events %zu  median %.3f ms  p99 %.3f ms  max %.3f ms\n", loop,
                latencies.size(), median, p99, latencies.back());
}

} // namespace

int main(int argc, char** argv) {
    const char* quick = std::getenv("PELMORA_BENCH_QUICK");
    const int events = quick != nullptr && std::string(quick) == "1" ? 200 : 2000;
    std::printf("serial hand-off latency, peer write to OnRxChar on the UI thread\n");
    {
        Pty pty;
        TComPort port;
        CondVarUiLoop ui;
        port.SetPort(pty.path);
        port.SetUiHandoff(&ui);
        Report("condition-variable loop", Measure(events, port, pty.master, [&](const bool& done) {
                   ui.RunUntil(port, done);
               }));
    }
#ifdef PELMORA_BENCH_WITH_QT
    QCoreApplication app(argc, argv);
    Pty pty;
    TComPort port;
    pelmora::QtUiHandoff ui(port);
    port.SetPort(pty.path);
    Report("Qt event loop", Measure(events, port, pty.master, [](const bool& done) {
               while (!done) {
                   QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
               }
           }));
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
