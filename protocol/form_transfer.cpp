// Transfer sequencer of the main window: Read, Write, Reset, the profile commands, the
// received-data handler, the reply steps and the watchdog.
#include "app/main_window.h"

namespace pelmora {

bool TForm1::event(QEvent* e) { return QWidget::event(e); }
void TForm1::ComPort1RxChar(TCustomComPort&, int) {}
void TForm1::OnDeviceReply() {}
void TForm1::SendFrame(const Frame&) {}
void TForm1::ReadBtnClick() {}
void TForm1::WriteBtnClick() {}
void TForm1::ResetBtnClick() {}
void TForm1::TntButton5Click() {}
void TForm1::TntButton6Click() {}
void TForm1::Timer1Timer() {}
void TForm1::TntRadioButton1Click(int) {}
void TForm1::ProfileIndexClick(int) {}

} // namespace pelmora
