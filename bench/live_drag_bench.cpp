// Live drag throughput: TLX1Bar dragged through a run of positions with Real Time on, against
// the virtual box on a pty, with the real pauses. Prints frames per second against the pacing
// limit of one corner frame per 60 ms plus the frame's write time.
#include "app/form.h"
#include "emulator/pty_box.h"
#include "ui/qt/application.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

#include <QCoreApplication>
#include <QScrollBar>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace pelmora;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int CornerPauseMs = 60;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The mean time of one 12-byte corner frame write on the open port.
double MeanWriteMs(TForm1& form, int writes) {
    const Frame& frame = form.Frames.CornerFrame;
    Clock::duration total{};
    for (int i = 0; i < writes; ++i) {
        const auto start = Clock::now();
        form.ComPort1.Write(frame.data(), FrameSize);
        total += Clock::now() - start;
        QCoreApplication::processEvents();
    }
    return Milliseconds(total) / writes;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool quick = std::getenv("PELMORA_BENCH_QUICK") != nullptr;
    const int positions = quick ? 20 : 200;

    TApplication app(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / "pelmora-live-bench";
    std::filesystem::create_directories(folder);
    QtPause pause;
    QtMessageBoxes boxes;
    FormServices services;
    services.pause = &pause;
    services.messages = &boxes;
    services.ExecutableDir = folder;
    TForm1 form(std::move(services));
    QtForm window(form);
    emulator::PtyBox box({});
    form.ComPort1.SetPort(box.DevicePath());
    form.ComPort1.Open();

    constexpr int warmUpWrites = 50;
    const double writeMs = MeanWriteMs(form, warmUpWrites);
    box.WaitForFrames(warmUpWrites, std::chrono::seconds(5));
    form.StepCounter = StepDiscard;
    form.RealTimeMode->UserClick();
    box.ClearFrames();

    auto& bar = *window.Widget<QScrollBar>("TLX1Bar"); // dragged as the user drags it
    bar.setSliderDown(true);
    const auto start = Clock::now();
    for (int position = 1; position <= positions; ++position) {
        bar.setSliderPosition(position);
        QCoreApplication::processEvents(); // the box's replies, as between mouse moves
    }
    const double elapsedMs = Milliseconds(Clock::now() - start);
    bar.setSliderDown(false);

    const bool allArrived = box.WaitForFrames(positions, std::chrono::seconds(5));
    const double framesPerSecond = positions * 1000.0 / elapsedMs;
    const double limit = 1000.0 / (CornerPauseMs + writeMs);
    std::printf("live drag: %d positions in %.1f ms, %zu frames at the box%s\n", positions,
                elapsedMs, box.Frames().size(), allArrived ? "" : " (missing frames)");
    std::printf("mean write %.3f ms; pacing limit %.3f frames/s\n", writeMs, limit);
    std::printf("achieved %.3f frames/s = %.2f %% of the limit\n", framesPerSecond,
                100.0 * framesPerSecond / limit);
    form.ComPort1.Close();
    std::filesystem::remove_all(folder);
    return allArrived ? 0 : 1;
}
