#include "app/tnt_controls.h"

namespace pelmora {

TTntStaticText::TTntStaticText(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
}

} // namespace pelmora
