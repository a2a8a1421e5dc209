// A four-output Read and Write against the virtual box on a pty, with the real pauses.
// Prints each as measured / minimum, where the minimum is the pauses the transfer must take:
// read 21 x 30 + 500 ms, write 23 x 30 + 500 ms. Runs with the window shown (every step
// repaints the progress bar) and hidden (no painting). PELMORA_BENCH_QUICK=1 runs one round.
#include "app/form.h"
#include "bench/bench_support.h"
#include "emulator/pty_box.h"
#include "ui/qt/application.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <vector>

namespace {

using namespace pelmora;
using bench::CountingBoxes;
using bench::PumpUntil;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// Runs one transfer from its button to its end; the time in ms, or -1 when it did not end.
double TimeTransfer(TForm1& form, emulator::PtyBox& box, Button* TForm1::*start,
                    std::size_t frames) {
    box.ClearFrames();
    const auto begin = Clock::now();
    (form.*start)->UserClick();
    const bool ended =
        PumpUntil([&] { return form.StepCounter == StepIdle && form.StatusPanel->Hidden(); },
                  std::chrono::seconds(10));
    const double elapsed = Ms(Clock::now() - begin).count();
    return ended && box.Frames().size() == frames ? elapsed : -1;
}

void Report(const char* name, std::vector<double> times, double minimum, int exchanges) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double worst = times.back();
    std::printf("%-5s median %.1f ms / minimum %.0f ms = %.4f  (worst %.4f, %zu runs, "
                "%.2f ms own time per exchange)\n",
                name, median, minimum, median / minimum, worst / minimum, times.size(),
                (median - minimum) / exchanges);
}

// Connects to a fresh box and times `rounds` Reads and Writes; 0 when all ended cleanly.
int RunRounds(const std::filesystem::path& dir, int rounds, bool shown, CountingBoxes& boxes) {
    QtPause pause;
    FormServices services;
    services.pause = &pause;
    services.messages = &boxes;
    services.ExecutableDir = dir;
    TForm1 form(services);
    QtForm window(form);
    if (shown)
        window.show();
    emulator::PtyBox box({});
    FillPortChooser(*form.ComComboBox1, {{box.DevicePath()}}, box.DevicePath());
    form.CNTBTN->UserClick();
    if (!PumpUntil([&] { return form.StepCounter == StepIdle && box.Frames().size() == 2; },
                   std::chrono::seconds(5))) {
        std::fprintf(stderr, "the box was not identified\n");
        return 1;
    }
    std::vector<double> reads;
    std::vector<double> writes;
    for (int round = 0; round < rounds; ++round) {
        reads.push_back(TimeTransfer(form, box, &TForm1::ReadBtn, 22));
        writes.push_back(TimeTransfer(form, box, &TForm1::WriteBtn, 24));
    }
    const auto unfinished = [](const std::vector<double>& times) {
        return std::any_of(times.begin(), times.end(), [](double t) { return t < 0; });
    };
    if (unfinished(reads) || unfinished(writes) || boxes.shown != 0) {
        std::fprintf(stderr, "a transfer did not finish cleanly\n");
        return 1;
    }
    Report("read", reads, 21 * 30 + 500, 22);
    Report("write", writes, 23 * 30 + 500, 24);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const bool quick = std::getenv("PELMORA_BENCH_QUICK") != nullptr;
    const int rounds = quick ? 1 : 7;

    CountingBoxes boxes;
    const auto dir = std::filesystem::temp_directory_path() / "pelmora-transfer-bench";
    std::filesystem::create_directories(dir);

    int status = 0;
    for (const bool shown : {true, false}) {
        std::printf("window %s:\n", shown ? "shown" : "hidden");
        status |= RunRounds(dir, rounds, shown, boxes);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return status;
}
