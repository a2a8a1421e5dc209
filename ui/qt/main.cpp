// Program entry of the alignment tool.
#include "ui/qt/application.h"
#include "ui/qt/startup.h"

int main(int argc, char** argv) {
    // No command-line arguments are read; the toolkit is given none either.
    int toolkitArgc = argc > 0 ? 1 : 0;
    pelmora::TApplication app(toolkitArgc, argv);
    try {
        pelmora::AlignToolWindows windows;
        windows.Window.show();
        pelmora::TApplication::exec();
    } catch (...) {
        pelmora::ShowCurrentException();
    }
    return 0;
}
