// The main window's side of the diagram: redraw on corner changes, the Diagram check box.
#include "app/main_window.h"

namespace pelmora {

void TForm1::DrawDiagram() {}
void TForm1::ImgOnClick() {}

} // namespace pelmora
