// How long a full redraw of the diagram takes: the drawing into the off-screen image alone,
// and DrawDiagram with the window shown (drawing plus the window's repaint).
#include "app/form.h"
#include "diagram/diagram_drawing.h"
#include "protocol/pause.h"
#include "ui/qt/diagram_window.h"
#include "ui/qt/qt_services.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsPerRun(int runs, const std::function<void()>& body) {
    body(); // warm-up
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < runs; ++i)
        body();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

pelmora::DiagramCorners TiltedOutputs() {
    return {{{{0, 0}, {1920, 0}},
             {{100, 200}, {1700, 0}},
             {{300, 100}, {1900, 400}},
             {{50, 900}, {1000, 500}}}};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = std::getenv("PELMORA_BENCH_QUICK") != nullptr;
    const int runs = quick ? 200 : 20000;

    QImage image(480, 270, QImage::Format_RGB32);
    const pelmora::DiagramCorners corners = TiltedOutputs();
    const double drawing = MicrosecondsPerRun(
        runs, [&] { pelmora::RenderDiagram(image, pelmora::LayoutDiagram(corners, false)); });

    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("pelmora-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    double redraw = 0;
    {
        pelmora::RecordingPause pause;
        pelmora::QtMessageBoxes boxes;
        pelmora::TForm2 form2;
        pelmora::FormServices services;
        services.pause = &pause;
        services.messages = &boxes;
        services.diagram = &form2;
        services.ExecutableDir = home;
        pelmora::TForm1 form(services);
        form.ImgOn->UserClick();
        redraw = MicrosecondsPerRun(runs, [&] { form.DrawDiagram(); });
        form2.hide();
    }
    std::filesystem::remove_all(home);

    std::printf("diagram drawing into the image: %.1f us per drawing (%d runs)\n", drawing, runs);
    std::printf("DrawDiagram, window shown:      %.1f us per redraw (%d runs)\n", redraw, runs);
    return 0;
}
