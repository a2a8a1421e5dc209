#include "app/tnt_controls.h"

namespace pelmora {

TTntStaticText::TTntStaticText(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    // Opaque in the face colour, so that a frame passing behind does not run through the text.
    setAutoFillBackground(true);
}

} // namespace pelmora
