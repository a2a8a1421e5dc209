// The two windows of the running tool, created as the program entry creates them: the core
// form with the Qt services, its window, and the hidden diagram window. Create after the
// application object.
#pragma once

#include "app/form.h"
#include "ui/qt/diagram_window.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_services.h"

namespace pelmora {

// The platform services of the running executable, apart from the windows.
FormServices ServicesOfThisExecutable(Pause& pause, MessageBoxes& messages, FileDialogs& dialogs,
                                      DiagramSurface& diagram);

class AlignToolWindows {
  public:
    AlignToolWindows();

    QtPause Pauser;
    QtMessageBoxes Boxes;
    QtFileDialogs Dialogs;
    TForm2 Form2;
    TForm1 Form1;
    QtForm Window;
};

} // namespace pelmora
