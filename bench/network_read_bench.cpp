// A four-output Read from the virtual box straight on its pty and through the system's serial
// device server on loopback (RFC 2217 and plain TCP), round by round side by side, with the
// real pauses. Prints each median and its ratio to the direct one. PELMORA_BENCH_QUICK=1 runs
// one round.
#include "app/form.h"
#include "bench/bench_support.h"
#include "emulator/pty_box.h"
#include "support/ser2net_server.h"
#include "ui/qt/application.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using namespace pelmora;
using bench::CountingBoxes;
using bench::PumpUntil;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

bool Idle(TForm1& form) {
    return form.StepCounter == StepIdle && form.StatusPanel->Hidden();
}

// Connects on `port`, times one Read, and disconnects; the time in ms, or -1 on any failure.
double TimeRead(TForm1& form, emulator::PtyBox& box, const std::string& port,
                const CountingBoxes& boxes) {
    FillPortChooser(*form.ComComboBox1, {{port}}, port);
    box.ClearFrames();
    form.CNTBTN->UserClick();
    if (!PumpUntil([&] { return Idle(form) && box.Frames().size() == 2; }, std::chrono::seconds(5)))
        return -1;
    box.ClearFrames();
    const auto begin = Clock::now();
    form.ReadBtn->UserClick();
    const bool ended = PumpUntil([&] { return Idle(form); }, std::chrono::seconds(10));
    const double elapsed = Ms(Clock::now() - begin).count();
    form.CNTBTN->UserClick();
    return ended && box.Frames().size() == 22 && boxes.shown == 0 ? elapsed : -1;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const int rounds = std::getenv("PELMORA_BENCH_QUICK") != nullptr ? 1 : 7;
    const auto dir = std::filesystem::temp_directory_path() / "pelmora-network-bench";
    std::filesystem::create_directories(dir);

    int status = 0;
    {
        CountingBoxes boxes;
        QtPause pause;
        FormServices services;
        services.pause = &pause;
        services.messages = &boxes;
        services.ExecutableDir = dir;
        TForm1 form(services);
        QtForm window(form);
        emulator::PtyBox box({});
        testing::Ser2netServer telnet(box.DevicePath(), "telnet(rfc2217)", dir);
        testing::Ser2netServer tcp(box.DevicePath(), "tcp", dir);
        const char* names[] = {"direct", "rfc2217", "tcp"};
        const std::string ports[] = {box.DevicePath(), telnet.PortName(), tcp.PortName()};
        std::vector<double> times[3];
        for (int round = 0; round < rounds && status == 0; ++round)
            for (int kind = 0; kind < 3 && status == 0; ++kind) {
                const double elapsed = TimeRead(form, box, ports[kind], boxes);
                times[kind].push_back(elapsed);
                if (elapsed < 0) {
                    std::fprintf(stderr, "the %s read did not finish cleanly\n", names[kind]);
                    status = 1;
                }
            }
        if (status == 0) {
            const double direct = Median(times[0]);
            for (int kind = 0; kind < 3; ++kind)
                std::printf("read %-7s median %.1f ms = %.4f x direct  (%zu runs)\n", names[kind],
                            Median(times[kind]), Median(times[kind]) / direct, times[kind].size());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return status;
}
