// Editor bindings: scroll bars, edit boxes and value labels kept in step.
#include "app/main_window.h"

namespace pelmora {

bool TForm1::eventFilter(QObject* watched, QEvent* e) { return QWidget::eventFilter(watched, e); }
void TForm1::BarChange(int) {}
void TForm1::EditChange(int) {}
void TForm1::TEditClick(QLineEdit*) {}
void TForm1::TEditEnter(QLineEdit*) {}

} // namespace pelmora
