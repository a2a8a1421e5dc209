// The six captioned kinds whose text comes from the interface strings. Each carries a
// HelpContext: the index of its text in UiStrings (0: it takes no string). The language pass
// tests the exact class, so a subclass of one of these does not count as that kind.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace pelmora {

struct HelpContextHolder {
    int HelpContext = 0;
};

class TTntButton : public QPushButton, public HelpContextHolder {
    using QPushButton::QPushButton;
};
class TTntRadioButton : public QRadioButton, public HelpContextHolder {
    using QRadioButton::QRadioButton;
};
class TTntGroupBox : public QGroupBox, public HelpContextHolder {
    using QGroupBox::QGroupBox;
};
class TTntCheckBox : public QCheckBox, public HelpContextHolder {
    using QCheckBox::QCheckBox;
};
class TTntLabel : public QLabel, public HelpContextHolder {
    using QLabel::QLabel;
};
// A static text: an opaque label in a sunken frame.
class TTntStaticText : public QLabel, public HelpContextHolder {
  public:
    explicit TTntStaticText(QWidget* parent = nullptr);
};

} // namespace pelmora
