// Live adjustment and shift mode.
#include "app/main_window.h"

namespace pelmora {

bool TForm1::ShiftStep(int, Axis) { return true; }
void TForm1::LiveStep(int) {}
void TForm1::ShiftModeClick(int) {}
void TForm1::RealTimeModeClick() {}

} // namespace pelmora
