// The UI.INI the packages ship, on the real widgets: every language is offered under its own
// name, and every caption fits its control in the layout with the language's font.
#include "support/form_fixture.h"
#include "ui/qt/qt_form.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

namespace pelmora::testing {
namespace {

// The width a caption may take inside its widget.
int CaptionRoom(const QWidget& widget) {
    const QStyle& style = *widget.style();
    if (qobject_cast<const QCheckBox*>(&widget))
        return widget.width() - style.pixelMetric(QStyle::PM_IndicatorWidth) -
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    if (qobject_cast<const QRadioButton*>(&widget))
        return widget.width() - style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) -
               style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    if (qobject_cast<const QPushButton*>(&widget))
        return widget.width() - 2 * style.pixelMetric(QStyle::PM_ButtonMargin);
    if (qobject_cast<const QGroupBox*>(&widget))
        return widget.width() - 16; // the frame's corner on either side of the title
    return qobject_cast<const QLabel*>(&widget)->contentsRect().width();
}

struct ShippedUiIniBeside {
    ShippedUiIniBeside() {
        std::filesystem::copy_file(PELMORA_PACKAGE_UI_INI, Home.Path() / "UI.INI");
    }
    TempFolder Home;
};

class ShippedLanguagesTest : public ::testing::Test, public FormServicesUnderTest {
  protected:
    ShippedUiIniBeside folder;
    TForm1 form{For(folder.Home.Path())};
    QtForm window{form};
};

TEST_F(ShippedLanguagesTest, EveryLanguageIsOfferedUnderItsOwnName) {
    const std::vector<std::u16string> expected = {
        u"English", u"Deutsch", u"Français", u"Español",  u"Italiano", u"Português",
        u"Polski",  u"Русский", u"Türkçe",   u"简体中文", u"日本語",   u"한국어"};
    EXPECT_EQ(form.UIComboBox->Items(), expected);
}

TEST_F(ShippedLanguagesTest, EveryCaptionFitsItsControl) {
    for (int language = 0; language < int(form.LanguageList.size()); ++language) {
        form.UIComboBox->UserSelect(language);
        for (const auto& control : form.Components) {
            if (!control->Translatable || control->HelpContext == 0)
                continue;
            const QWidget& widget = *window.Widget(control->Name());
            const QString caption = QString::fromStdU16String(control->Caption());
            EXPECT_LE(QFontMetrics(widget.font()).horizontalAdvance(caption), CaptionRoom(widget))
                << caption.toStdString() << " in " << control->Name();
        }
    }
}

} // namespace
} // namespace pelmora::testing
