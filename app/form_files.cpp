// Saving and loading alignment files.
#include "app/main_window.h"

namespace pelmora {

void TForm1::TntButton1Click() {}
void TForm1::TntButton2Click() {}

} // namespace pelmora
