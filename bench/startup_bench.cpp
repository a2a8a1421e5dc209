// Start-up of the tool: the time from process start to the main window's first paint, and the
// resident memory at that point (now and at its peak). Each run is a fresh process (this
// program started again in child mode) in a fresh folder: empty, so UI.INI and SYSTEM.INI are
// written as on a first start, or holding a UI.INI as large as the tool reads, filled with
// lines that cost the reader most. Uses the display in DISPLAY when there is one, else the
// offscreen platform.
//
//   startup_bench [runs]        PELMORA_BENCH_QUICK=1: 3 runs
#include "storage/ini_file.h"
#include "ui/qt/application.h"
#include "ui/qt/startup.h"

#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* ChildFlag = "--child";

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// A "VmRSS:" or "VmHWM:" figure of this process, in kB.
long StatusKb(std::string_view field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field))
            return std::strtol(line.c_str() + field.size(), nullptr, 10);
    return -1;
}

// CPU time this process has used, user and system, in milliseconds.
double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Quits the event loop at the main window's first paint and reports the moment.
class FirstPaint : public QObject {
  public:
    double ShownAtMs = 0;
    double CpuAtShownMs = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ShownAtMs == 0) {
            ShownAtMs = NowMs();
            CpuAtShownMs = CpuMs();
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

// Child: start the tool as the program entry does, print "<shown ms> <cpu ms> <rss kB> <peak kB>".
int RunChild(char* program) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    pelmora::TApplication app(argc, argv);
    pelmora::AlignToolWindows windows;
    FirstPaint firstPaint;
    windows.Window.installEventFilter(&firstPaint);
    windows.Window.show();
    pelmora::TApplication::exec();
    std::printf("%.3f %.3f %ld %ld\n", firstPaint.ShownAtMs, firstPaint.CpuAtShownMs,
                StatusKb("VmRSS:"), StatusKb("VmHWM:"));
    return 0;
}

struct Run {
    double startupMs;
    double cpuMs;
    long residentKb;
    long peakKb;
};

// The folder's UI.INI before a start: none, or the first line and then one line repeated up
// to the largest size the tool reads.
struct UiIniKind {
    const char* Name;
    std::string_view FirstLine;
    std::string_view Repeated;
};
constexpr UiIniKind UiIniKinds[] = {
    {"first start, no UI.INI", "", ""},
    {"UI.INI of blank lines", "", "\n"},
    {"UI.INI of keys in one section", "[English]\n", "a=\n"},
    {"UI.INI of section headers", "", "[a]\n"},
};

void WriteUiIni(const std::filesystem::path& file, const UiIniKind& kind) {
    if (kind.Repeated.empty())
        return;
    std::string text(kind.FirstLine);
    while (text.size() + kind.Repeated.size() <= pelmora::MaxIniFileSize)
        text += kind.Repeated;
    std::ofstream(file, std::ios::binary) << text;
}

// Links (or copies) this program into an empty folder and runs it there, so that the tool's files
// are written beside it as on a first start.
bool RunOnce(const std::filesystem::path& self, const UiIniKind& kind, Run& run) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pelmora-startup-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path copy = folder / "pelmora-align";
    std::error_code noLink;
    std::filesystem::create_hard_link(self, copy, noLink);
    if (noLink)
        std::filesystem::copy_file(self, copy);
    WriteUiIni(folder / "UI.INI", kind);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return false;
    const double startedAt = NowMs();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::execl(copy.c_str(), copy.c_str(), ChildFlag, nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const bool filesWritten = std::filesystem::exists(folder / "UI.INI") &&
                              std::filesystem::exists(folder / "SYSTEM.INI");
    std::filesystem::remove_all(folder);

    double shownAt = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(output.c_str(), "%lf %lf %ld %ld", &shownAt, &run.cpuMs, &run.residentKb,
                    &run.peakKb) != 4 ||
        !filesWritten)
        return false;
    run.startupMs = shownAt - startedAt;
    return true;
}

template <class T> T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the tool `runs` times with this kind of UI.INI and prints the figures.
bool Measure(const std::filesystem::path& self, const UiIniKind& kind, int runs) {
    std::vector<double> times;
    std::vector<double> cpu;
    std::vector<long> resident;
    std::vector<long> peak;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!RunOnce(self, kind, run)) {
            std::fprintf(stderr, "%s: start-up run %d failed\n", kind.Name, i + 1);
            return false;
        }
        times.push_back(run.startupMs);
        cpu.push_back(run.cpuMs);
        resident.push_back(run.residentKb);
        peak.push_back(run.peakKb);
    }
    std::printf("%s:\n", kind.Name);
    std::printf("  start to window shown: median %.1f ms, min %.1f ms, max %.1f ms\n",
                Median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
    std::printf("  CPU time used by then: median %.1f ms (the part of the wall time "
                "that does not depend on other load)\n",
                Median(cpu));
    std::printf("  resident memory after start-up: median %.1f MB, peak %.1f MB\n",
                Median(resident) / 1024.0, *std::max_element(peak.begin(), peak.end()) / 1024.0);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], ChildFlag) == 0)
        return RunChild(argv[0]);
    if (std::getenv("DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    const bool quick = std::getenv("PELMORA_BENCH_QUICK") != nullptr;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : (quick ? 3 : 21);
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");

    std::printf("platform: %s, runs: %d, UI.INI files of %zu bytes\n",
                std::getenv("DISPLAY") ? "display" : "offscreen", runs, pelmora::MaxIniFileSize);
    std::printf("targets: first start < 250 ms and < 60 MB; any UI.INI < 1000 ms and < 100 MB\n");
    for (const UiIniKind& kind : UiIniKinds)
        if (!Measure(self, kind, runs))
            return 1;
    return 0;
}
