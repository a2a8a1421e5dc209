// Program entry of the alignment tool.
#include "app/application.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    // No command-line arguments are read; the toolkit is given none either.
    int toolkitArgc = argc > 0 ? 1 : 0;
    pelmora::TApplication app(toolkitArgc, argv);
    try {
        app.SetTitle(pelmora::ApplicationTitle);
        pelmora::AlignToolWindows windows;
        windows.Form1.show();
        pelmora::TApplication::exec();
    } catch (...) {
        pelmora::ShowCurrentException();
    }
    return 0;
}
