// The Qt hand-off of received-data events: queued to the event loop of the UI thread.
#include "pty_peer.h"
#include "serial/com_port.h"
#include "ui/qt/qt_ui_handoff.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace pelmora {
namespace {

TEST(QtUiHandoff, DeliversRxCharOnTheEventLoopThread) {
    test::PtyPeer peer;
    TComPort port;
    QtUiHandoff handoff(port);
    QEventLoop loop;
    std::vector<int> counts;
    std::thread::id handlerThread;
    port.OnRxChar = [&](TCustomComPort&, int count) {
        handlerThread = std::this_thread::get_id();
        counts.push_back(count);
        if (counts.size() == 2) {
            loop.quit();
        }
    };
    port.SetPort(peer.SlavePath());
    port.Open();
    peer.Send("abc");
    QTimer::singleShot(50, [&] { peer.Send("123456789"); });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(counts, (std::vector<int>{3, 12}));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    port.Close();
}

// Lets the test learn that a wake was posted without running the event loop.
class ObservedHandoff : public QtUiHandoff {
  public:
    using QtUiHandoff::QtUiHandoff;
    void Wake() override {
        QtUiHandoff::Wake();
        posted.set_value();
    }
    std::promise<void> posted;
};

TEST(QtUiHandoff, DetachesWhenDestroyedWhileAWakeIsQueued) {
    test::PtyPeer peer;
    TComPort port;
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort&, int) { ++calls; };
    port.SetPort(peer.SlavePath());
    {
        ObservedHandoff handoff(port);
        port.Open();
        peer.Send("x");
        ASSERT_EQ(handoff.posted.get_future().wait_for(std::chrono::seconds(5)),
                  std::future_status::ready);
    }
    QCoreApplication::processEvents(); // the queued call died with its object
    EXPECT_EQ(calls, 0);
    port.Close(); // runs the pending delivery itself
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace pelmora
