// pelmora-cli reading one slot from one box, then from two and four boxes at once, with the
// real pauses, against virtual boxes on ptys. Each box has its own form and thread, so more
// boxes should take about as long as one. Prints each as measured / one box, and one box as
// measured / minimum (identification 100 + 30 ms, then 21 x 30 + 500 ms).
// PELMORA_BENCH_QUICK=1 runs one round.
#include "cli/cli.h"
#include "emulator/pty_box.h"
#include "protocol/pause.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace {

using namespace pelmora;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr double ReadMinimumMs = 100 + 30 + 21 * 30 + 500;

// One read of slot 1 from `boxes` boxes at once; the time in ms, or -1 when it failed.
double TimeRead(int boxes) {
    std::vector<std::unique_ptr<emulator::PtyBox>> peers;
    std::vector<std::string> arguments = {"read", "--slot", "1"};
    for (int i = 0; i < boxes; ++i) {
        peers.push_back(std::make_unique<emulator::PtyBox>(emulator::BoxOptions{}));
        arguments.insert(arguments.end(), {"--port", peers.back()->DevicePath()});
    }
    RealPause pause;
    std::ostringstream out, err;
    const cli::CliEnvironment environment{
        out, err, pause, false, std::filesystem::temp_directory_path(), std::nullopt, "bench"};
    const auto begin = Clock::now();
    const int exit = cli::RunCli(arguments, environment);
    const double elapsed = Ms(Clock::now() - begin).count();
    return exit == cli::ExitSuccess ? elapsed : -1;
}

} // namespace

int main() {
    const int rounds = std::getenv("PELMORA_BENCH_QUICK") ? 1 : 3;
    double one = 0;
    for (const int boxes : {1, 2, 4}) {
        double best = -1;
        for (int round = 0; round < rounds; ++round) {
            const double ms = TimeRead(boxes);
            if (ms < 0) {
                std::printf("read from %d boxes failed\n", boxes);
                return 1;
            }
            best = best < 0 ? ms : std::min(best, ms);
        }
        if (boxes == 1) {
            one = best;
            std::printf("read, 1 box:  %7.1f ms  measured / minimum %.3f\n", best,
                        best / ReadMinimumMs);
        } else {
            std::printf("read, %d boxes: %7.1f ms  measured / one box %.3f\n", boxes, best,
                        best / one);
        }
    }
    return 0;
}
