// pelmora-box: a virtual Pelmora box on a pseudo-terminal, for trying the tool without
// hardware and for tests. Runs until SIGINT or SIGTERM, or until its --hangup-after fires.
#include "emulator/box_options.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <pthread.h>
#include <unistd.h>

using namespace pelmora::emulator;

int main(int argc, char** argv) {
    ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.Help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::fprintf(stderr, "pelmora-box: %s\n%s", parsed.Error.c_str(), Usage);
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr); // the box's thread inherits the mask
    parsed.Options.OnHangup = [] { ::kill(::getpid(), SIGUSR1); };
    try {
        PtyBox box(parsed.Options);
        std::printf("pelmora-box: model %d, output mode %d, on %s\n", parsed.Options.Identity.Model,
                    parsed.Options.Identity.OutputMode, box.DevicePath().c_str());
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelmora-box: %s\n", error.what());
        return 1;
    }
    return 0;
}
