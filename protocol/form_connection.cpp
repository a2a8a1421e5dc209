// Connecting, closing and identifying the box.
#include "app/main_window.h"

namespace pelmora {

void TForm1::CNTBTNClick() {}
void TForm1::ConfigureForModel(int) {}

} // namespace pelmora
