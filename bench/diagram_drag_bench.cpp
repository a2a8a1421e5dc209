// A one-second drag of TV1's top-right handle in the diagram with Real Time on, against the
// virtual box on a pty, with the real pauses. The pointer moves every 2 ms from another
// thread, so moves queue up behind each live frame's pause as a real mouse's do. Prints the
// frames per second against the pacing limit (one corner frame per 60 ms plus its write)
// and whether the last frame carries the position where the pointer let go.
#include "app/form.h"
#include "emulator/pty_box.h"
#include "protocol/pause.h"
#include "ui/qt/application.h"
#include "ui/qt/diagram_window.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

using namespace pelmora;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int CornerPauseMs = 60;
constexpr int MoveEveryMs = 2;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double MeanWriteMs(TForm1& form, int writes) {
    Clock::duration total{};
    for (int i = 0; i < writes; ++i) {
        const auto start = Clock::now();
        form.ComPort1.Write(form.Frames.CornerFrame.data(), FrameSize);
        total += Clock::now() - start;
        QCoreApplication::processEvents();
    }
    return Milliseconds(total) / writes;
}

// The tool's pauses, each stamped as it starts: a corner frame's pause starts right after the
// frame is written.
class StampedPause final : public Pause {
  public:
    void Sleep(int milliseconds) override {
        const auto start = Clock::now();
        pause_.Sleep(milliseconds);
        if (milliseconds == CornerPauseMs) {
            FrameTimes.push_back(start);
            Slept += Clock::now() - start;
        }
    }
    std::vector<Clock::time_point> FrameTimes;
    Clock::duration Slept{}; // in the corner pauses, which a loaded machine lengthens

  private:
    QtPause pause_;
};

void PostMouse(QWidget* target, QEvent::Type type, Point at) {
    const QPointF local(at.X, at.Y);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QCoreApplication::postEvent(target,
                                new QMouseEvent(type, local, local, button, held, Qt::NoModifier));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int dragMs = std::getenv("PELMORA_BENCH_QUICK") != nullptr ? 200 : 1000;

    TApplication app(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / "pelmora-diagram-drag-bench";
    std::filesystem::create_directories(folder);
    StampedPause pause;
    QtMessageBoxes boxes;
    TForm2 form2;
    FormServices services;
    services.pause = &pause;
    services.messages = &boxes;
    services.diagram = &form2;
    services.ExecutableDir = folder;
    TForm1 form(std::move(services));
    QtForm window(form);
    form2.AttachEditor(form);
    form.ImgOn->UserClick();
    for (int output = 2; output <= OutputCount; ++output) // TV1's handle alone on top
        form.Bars[CornerIndex(output, ParamKind::TopRight, Axis::X)]->SetPosition(1000);
    emulator::PtyBox box({});
    form.ComPort1.SetPort(box.DevicePath());
    form.ComPort1.Open();
    const double writeMs = MeanWriteMs(form, 50);
    box.WaitForFrames(50, std::chrono::seconds(5));
    form.StepCounter = StepDiscard;
    form.RealTimeMode->UserClick();
    box.ClearFrames();
    pause.FrameTimes.clear();
    pause.Slept = {};

    const DiagramMapping mapping(DiagramPicture.Width, DiagramPicture.Height);
    const Point from = mapping.ToPixel({DefaultMaxX, 0});
    const int moves = dragMs / MoveEveryMs;
    const Point to{from.X - 120, from.Y};
    QWidget* picture = form2.TntImage1;
    std::atomic<bool> released = false;

    const auto start = Clock::now();
    PostMouse(picture, QEvent::MouseButtonPress, from);
    std::thread pointer([&] {
        for (int i = 1; i <= moves; ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(i * MoveEveryMs));
            PostMouse(picture, QEvent::MouseMove, {from.X + (to.X - from.X) * i / moves, from.Y});
        }
        PostMouse(picture, QEvent::MouseButtonRelease, to);
        released = true;
    });
    while (!released || form.DiagramDragging())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double elapsedMs = Milliseconds(Clock::now() - start);
    pointer.join();

    const int trx1 = CornerIndex(1, ParamKind::TopRight, Axis::X);
    const int finalValue = form.Bars[trx1]->Position();
    const Frame last = form.Frames.ParameterSet(trx1, finalValue);
    const std::size_t frames = box.Frames().size();
    box.WaitForFrames(frames, std::chrono::seconds(5));
    const bool lastIsFinal = !box.Frames().empty() &&
                             box.Frames().back() == std::string(last.begin(), last.begin() + 10);
    // The rate between the first frame and the last, against one frame per pause and write.
    const std::vector<Clock::time_point>& times = pause.FrameTimes;
    const double spanMs = times.size() > 1 ? Milliseconds(times.back() - times.front()) : 0;
    const double framesPerSecond = spanMs > 0 ? (times.size() - 1) * 1000.0 / spanMs : 0;
    const double limit = 1000.0 / (CornerPauseMs + writeMs);
    std::printf("diagram drag: %d pointer moves in %d ms, %zu frames at the box; the drag took "
                "%.1f ms, first to last frame %.1f ms\n",
                moves, dragMs, frames, elapsedMs, spanMs);
    const double meanPauseMs = times.empty() ? 0 : Milliseconds(pause.Slept) / times.size();
    const double meanIntervalMs = times.size() > 1 ? spanMs / (times.size() - 1) : 0;
    std::printf("mean write %.3f ms; pacing limit %.3f frames/s\n", writeMs, limit);
    std::printf("a 60 ms pause took %.3f ms on average; between frames %.3f ms: %.3f ms of the "
                "tool's own per frame\n",
                meanPauseMs, meanIntervalMs, meanIntervalMs - meanPauseMs - writeMs);
    std::printf("achieved %.3f frames/s = %.2f %% of the limit; last frame %s (TRX1 %d)\n",
                framesPerSecond, 100.0 * framesPerSecond / limit,
                lastIsFinal ? "carries the final position" : "is NOT the final position",
                finalValue);
    form.ComPort1.Close();
    std::filesystem::remove_all(folder);
    return lastIsFinal ? 0 : 1;
}
