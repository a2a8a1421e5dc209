// The two windows of the running tool, created as the program entry creates them: the main
// window with real pauses and the executable's folder and version, and the hidden diagram
// window. Create after the application object.
#pragma once

#include "app/main_window.h"
#include "diagram/diagram_window.h"
#include "protocol/pause.h"

namespace pelmora {

// The platform services of the running executable.
TForm1Services ServicesOfThisExecutable(Pause& pause);

class AlignToolWindows {
  public:
    AlignToolWindows();

    RealPause Pauser;
    TForm1 Form1;
    TForm2 Form2;
};

} // namespace pelmora
