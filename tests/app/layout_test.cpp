// The main window's controls against the layout: names, kinds, places, captions, HelpContext
// numbers, ranges, initial values, colours, hidden parts and the focus order.
#include "form_fixture.h"

#include "serial/com_combo_box.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <typeindex>

namespace pelmora::testing {
namespace {

constexpr int Natural = -1; // a size the control takes from its text

struct Expected {
    std::string name;
    std::type_index kind;
    std::string parent; // "" = the window
    QRect geometry;     // width or height Natural: not compared
    QString caption;    // as shown after start-up in English
    int helpContext;    // -1: a kind that carries none
};

using Tt = TTntStaticText;

std::vector<Expected> TopLevel() {
    return {
        {"TntGroupBox1", typeid(TTntGroupBox), "", {4, 1, 318, 108}, "TV1", 1},
        {"TntGroupBox2", typeid(TTntGroupBox), "", {326, 1, 318, 108}, "TV2", 2},
        {"TntGroupBox3", typeid(TTntGroupBox), "", {4, 107, 318, 108}, "TV3", 3},
        {"TntGroupBox4", typeid(TTntGroupBox), "", {326, 107, 318, 108}, "TV4", 4},
        {"TntGroupBox5", typeid(TTntGroupBox), "", {4, 215, 318, 40}, "Warp Ratio", 5},
        {"TntGroupBox6", typeid(TTntGroupBox), "", {326, 215, 318, 40}, "Warp Position", 6},
        {"TntGroupBox8", typeid(TTntGroupBox), "", {4, 254, 158, 40}, "Loop Range", 24},
        {"TntGroupBox9", typeid(TTntGroupBox), "", {4, 293, 158, 40}, "Loop Time", 25},
        {"GroupBox9", typeid(QGroupBox), "", {164, 254, 481, 79}, "", -1},
        {"GroupBox11", typeid(QGroupBox), "", {647, 1, 111, 34}, "", -1},
        {"GroupBox10", typeid(QGroupBox), "", {647, 31, 111, 60}, "", -1},
        {"GroupBox13", typeid(QGroupBox), "", {647, 88, 111, 41}, "", -1},
        {"GroupBox12", typeid(QGroupBox), "", {647, 126, 111, 62}, "", -1},
        {"TntGroupBox7", typeid(TTntGroupBox), "", {647, 186, 111, 103}, "Profile", 17},
        {"StModel", typeid(Tt), "", {648, 292, 109, 19}, "", 0},
        {"StRes", typeid(Tt), "", {648, 314, 109, 19}, "", 0},
        {"StatusPanel", typeid(QFrame), "", {8, 140, 633, 105}, "", -1},
    };
}

struct OutputNames {
    std::string topLeft, topRight;
    std::array<std::string, 4> labels;
};
const std::array<OutputNames, 4> OutputControlNames = {{
    {"TntStaticText2", "TntStaticText3", {"Label1", "Label2", "Label24", "Label23"}},
    {"TntStaticText5", "TntStaticText4", {"Label7", "Label8", "Label5", "Label6"}},
    {"TntStaticText6", "TntStaticText1", {"Label11", "Label12", "Label9", "Label10"}},
    {"TntStaticText8", "TntStaticText7", {"Label15", "Label16", "Label13", "Label14"}},
}};

std::vector<Expected> OutputGroup(int n) {
    const std::string d = std::to_string(n);
    const std::string group = "TntGroupBox" + d;
    const OutputNames& names = OutputControlNames[n - 1];
    return {
        {names.topLeft, typeid(Tt), group, {12, 14, 81, 17}, "Top Left", 22},
        {names.topRight, typeid(Tt), group, {166, 14, 81, 17}, "Top Right", 23},
        {names.labels[0], typeid(QLabel), group, {7, 39, Natural, Natural}, "X", -1},
        {names.labels[1], typeid(QLabel), group, {7, 64, Natural, Natural}, "Y", -1},
        {names.labels[2], typeid(QLabel), group, {161, 39, Natural, Natural}, "X", -1},
        {names.labels[3], typeid(QLabel), group, {161, 63, Natural, Natural}, "Y", -1},
        {"TLX" + d + "Edit", typeid(QLineEdit), group, {24, 37, 34, 17}, "0", -1},
        {"TLX" + d + "Bar", typeid(QScrollBar), group, {61, 40, 90, 17}, "", -1},
        {"TLY" + d + "Edit", typeid(QLineEdit), group, {24, 62, 34, 17}, "0", -1},
        {"TLY" + d + "Bar", typeid(QScrollBar), group, {61, 62, 90, 17}, "", -1},
        {"TRX" + d + "Edit", typeid(QLineEdit), group, {179, 37, 34, 17}, "1920", -1},
        {"TRX" + d + "Bar", typeid(QScrollBar), group, {216, 39, 90, 17}, "", -1},
        {"TRY" + d + "Edit", typeid(QLineEdit), group, {179, 62, 34, 17}, "0", -1},
        {"TRY" + d + "Bar", typeid(QScrollBar), group, {216, 62, 90, 17}, "", -1},
        {"TV" + d + "ShiftMode", typeid(TTntCheckBox), group, {6, 88, 136, 17}, "Shift mode", 34},
    };
}

std::vector<Expected> Others() {
    return {
        {"Label18", typeid(QLabel), "TntGroupBox5", {11, 18, Natural, Natural}, "H", -1},
        {"WRHVal", typeid(Tt), "TntGroupBox5", {24, 16, 34, 17}, "100", 0},
        {"WRHBar", typeid(QScrollBar), "TntGroupBox5", {64, 17, 90, 17}, "", -1},
        {"Label19", typeid(QLabel), "TntGroupBox5", {164, 18, Natural, Natural}, "V", -1},
        {"WRVVal", typeid(Tt), "TntGroupBox5", {179, 16, 34, 17}, "100", 0},
        {"WRVBar", typeid(QScrollBar), "TntGroupBox5", {216, 17, 90, 17}, "", -1},
        {"Label20", typeid(QLabel), "TntGroupBox6", {11, 18, Natural, Natural}, "H", -1},
        {"Label21", typeid(QLabel), "TntGroupBox6", {164, 18, Natural, Natural}, "V", -1},
        {"WPHEdit", typeid(QLineEdit), "TntGroupBox6", {24, 17, 34, 17}, "50", -1},
        {"WPHBar", typeid(QScrollBar), "TntGroupBox6", {64, 17, 90, 17}, "", -1},
        {"WPVEdit", typeid(QLineEdit), "TntGroupBox6", {179, 17, 36, 17}, "50", -1},
        {"WPVBar", typeid(QScrollBar), "TntGroupBox6", {219, 17, 90, 17}, "", -1},
        {"LRVal", typeid(Tt), "TntGroupBox8", {13, 16, 34, 17}, "0", 0},
        {"LRBar", typeid(QScrollBar), "TntGroupBox8", {54, 15, 90, 17}, "", -1},
        {"LTEdit", typeid(QLineEdit), "TntGroupBox9", {13, 15, 36, 17}, "0", -1},
        {"LTBar", typeid(QScrollBar), "TntGroupBox9", {56, 15, 90, 17}, "", -1},
        {"ReadBtn", typeid(TTntButton), "GroupBox9", {377, 8, 95, 22}, "Read", 15},
        {"WriteBtn", typeid(TTntButton), "GroupBox9", {377, 29, 95, 22}, "Write", 14},
        {"ResetBtn", typeid(TTntButton), "GroupBox9", {377, 50, 95, 22}, "Reset", 16},
        {"UIComboBox", typeid(QComboBox), "GroupBox11", {7, 10, 99, 21}, "", -1},
        {"ComComboBox1", typeid(TComComboBox), "GroupBox10", {7, 9, 100, 21}, "", -1},
        {"CNTBTN", typeid(TTntButton), "GroupBox10", {6, 31, 100, 24}, "Connect", 12},
        {"ImgOn", typeid(TTntCheckBox), "GroupBox13", {7, 6, 100, 17}, "Diagram", 26},
        {"RealTimeMode", typeid(TTntCheckBox), "GroupBox13", {7, 21, 98, 17}, "Real Time", 20},
        {"TntButton1", typeid(TTntButton), "GroupBox12", {6, 8, 100, 24}, "Save Setting", 27},
        {"TntButton2", typeid(TTntButton), "GroupBox12", {6, 33, 100, 24}, "Load Setting", 28},
        {"TntButton5", typeid(TTntButton), "TntGroupBox7", {5, 49, 100, 24}, "Load", 18},
        {"TntButton6", typeid(TTntButton), "TntGroupBox7", {5, 73, 100, 24}, "Save", 19},
        {"RadioButton6", typeid(QRadioButton), "TntGroupBox7", {8, 16, 30, 17}, "1", -1},
        {"RadioButton7", typeid(QRadioButton), "TntGroupBox7", {42, 16, 30, 17}, "2", -1},
        {"RadioButton8", typeid(QRadioButton), "TntGroupBox7", {72, 16, 30, 17}, "3", -1},
        {"RadioButton9", typeid(QRadioButton), "TntGroupBox7", {8, 32, 30, 17}, "4", -1},
        {"RadioButton10", typeid(QRadioButton), "TntGroupBox7", {42, 32, 30, 17}, "5", -1},
        {"Msglabel",
         typeid(TTntLabel),
         "StatusPanel",
         {25, 32, 409, 13},
         "Please wait...............",
         21},
        {"ProgressBar1", typeid(QProgressBar), "StatusPanel", {25, 48, 577, 17}, "", -1},
    };
}

// Slot n: name, HelpContext, column and row in the slot grid.
struct ExpectedSlot {
    const char* name;
    int helpContext;
    int column, row;
};
constexpr std::array<ExpectedSlot, 10> ExpectedSlots = {{
    {"TntRadioButton1", 7, 1, 1},
    {"TntRadioButton2", 8, 1, 2},
    {"TntRadioButton3", 9, 2, 1},
    {"TntRadioButton4", 10, 2, 2},
    {"TntRadioButton5", 11, 3, 1},
    {"TntRadioButton6", 29, 3, 2},
    {"TntRadioButton7", 30, 4, 1},
    {"TntRadioButton8", 31, 4, 2},
    {"TntRadioButton10", 32, 5, 1},
    {"TntRadioButton9", 33, 5, 2},
}};

std::vector<Expected> AllExpected() {
    std::vector<Expected> all = TopLevel();
    for (int n = 1; n <= 4; ++n) {
        const std::vector<Expected> group = OutputGroup(n);
        all.insert(all.end(), group.begin(), group.end());
    }
    const std::vector<Expected> others = Others();
    all.insert(all.end(), others.begin(), others.end());
    constexpr std::array<int, 5> columns = {6, 77, 148, 219, 290};
    constexpr std::array<int, 2> rows = {22, 45};
    for (int slot = 1; slot <= 10; ++slot) {
        const ExpectedSlot& s = ExpectedSlots[slot - 1];
        all.push_back({s.name, typeid(TTntRadioButton), "GroupBox9",
                       QRect(columns[s.column - 1], rows[s.row - 1], 70, 17),
                       QStringLiteral("Index %1").arg(slot), s.helpContext});
    }
    return all;
}

QString CaptionOf(const QWidget* control) {
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    return QString();
}

class LayoutTest : public ::testing::Test {
  protected:
    TempFolder folder;
    FormFixture fixture;
    TForm1& form = fixture.Start(folder.Path());

    template <class T = QWidget> T* Control(const std::string& name) {
        return form.findChild<T*>(QString::fromStdString(name));
    }
};

TEST_F(LayoutTest, EveryControlStandsWhereTheLayoutPutsItWithItsCaptionAndHelpContext) {
    for (const Expected& e : AllExpected()) {
        SCOPED_TRACE(e.name);
        QWidget* control = Control(e.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(std::type_index(typeid(*control)), e.kind);
        const QWidget* parent = control->parentWidget();
        EXPECT_EQ(parent->objectName().toStdString(), e.parent.empty() ? "Form1" : e.parent);
        EXPECT_EQ(control->pos(), e.geometry.topLeft());
        if (e.geometry.width() != Natural) {
            EXPECT_EQ(control->size(), e.geometry.size());
        }
        EXPECT_EQ(CaptionOf(control), e.caption);
        auto* holder = dynamic_cast<HelpContextHolder*>(control);
        if (e.helpContext < 0) {
            EXPECT_EQ(holder, nullptr) << "a kind without HelpContext";
        } else {
            ASSERT_NE(holder, nullptr) << "a kind with HelpContext";
            EXPECT_EQ(holder->HelpContext, e.helpContext);
        }
    }
}

TEST_F(LayoutTest, ControlNamesAreUniqueAndThePublicPointersNameThem) {
    std::set<QString> names;
    for (QWidget* control : form.Components)
        EXPECT_TRUE(names.insert(control->objectName()).second) << control->objectName().data();
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(form.OutputGroups[n]->objectName(), QStringLiteral("TntGroupBox%1").arg(n + 1));
        EXPECT_EQ(form.ShiftModes[n]->objectName(), QStringLiteral("TV%1ShiftMode").arg(n + 1));
    }
    for (int tag = 0; tag < 5; ++tag)
        EXPECT_EQ(form.ProfileButtons[tag]->objectName(),
                  QStringLiteral("RadioButton%1").arg(6 + tag));
    const std::map<std::string, QWidget*> singletons = {
        {"ReadBtn", form.ReadBtn},
        {"WriteBtn", form.WriteBtn},
        {"ResetBtn", form.ResetBtn},
        {"CNTBTN", form.CNTBTN},
        {"TntButton1", form.TntButton1},
        {"TntButton2", form.TntButton2},
        {"TntButton5", form.TntButton5},
        {"TntButton6", form.TntButton6},
        {"ImgOn", form.ImgOn},
        {"RealTimeMode", form.RealTimeMode},
        {"UIComboBox", form.UIComboBox},
        {"ComComboBox1", form.ComComboBox1},
        {"StModel", form.StModel},
        {"StRes", form.StRes},
        {"StatusPanel", form.StatusPanel},
        {"Msglabel", form.Msglabel},
        {"ProgressBar1", form.ProgressBar1},
        {"STBar", form.STBar},
        {"TntGroupBox5", form.TntGroupBox5},
        {"TntGroupBox6", form.TntGroupBox6},
        {"TntGroupBox7", form.TntGroupBox7},
        {"TntGroupBox8", form.TntGroupBox8},
        {"TntGroupBox9", form.TntGroupBox9},
    };
    for (const auto& [name, control] : singletons) {
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->objectName().toStdString(), name);
    }
}

TEST_F(LayoutTest, SlotButtonsFormTheGridWithIndexNineAboveIndexTen) {
    for (int tag = 0; tag < 10; ++tag) {
        EXPECT_EQ(form.SlotButtons[tag]->objectName(), ExpectedSlots[tag].name);
        EXPECT_EQ(form.SlotButtons[tag]->text(), QStringLiteral("Index %1").arg(tag + 1));
    }
    QWidget* nine = form.SlotButtons[8];
    QWidget* ten = form.SlotButtons[9];
    EXPECT_EQ(nine->objectName(), "TntRadioButton10");
    EXPECT_EQ(ten->objectName(), "TntRadioButton9");
    EXPECT_EQ(nine->x(), ten->x());
    EXPECT_LT(nine->y(), ten->y());
    EXPECT_TRUE(form.SlotButtons[0]->isChecked());
    EXPECT_TRUE(form.ProfileButtons[0]->isChecked());
    for (int tag = 1; tag < 10; ++tag)
        EXPECT_FALSE(form.SlotButtons[tag]->isChecked());
}

TEST_F(LayoutTest, BarsEditsAndValueTextsFollowTheParameterTable) {
    for (const ParameterInfo& info : Parameters) {
        SCOPED_TRACE(std::string(info.barName));
        QScrollBar* bar = form.Bars[info.index];
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->objectName().toStdString(), info.barName);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), info.minimum);
        EXPECT_EQ(bar->maximum(), info.maximum);
        EXPECT_EQ(bar->value(), info.startValue);
        EXPECT_EQ(form.Edits[info.index] != nullptr, !info.editName.empty());
        EXPECT_EQ(form.Values[info.index] != nullptr, !info.valueName.empty());
        if (QLineEdit* edit = form.Edits[info.index]) {
            EXPECT_EQ(edit->objectName().toStdString(), info.editName);
            EXPECT_EQ(edit->text(), QString::number(info.startValue));
            const Qt::Alignment horizontal = edit->alignment() & Qt::AlignHorizontal_Mask;
            EXPECT_EQ(horizontal, info.index == LTIndex ? Qt::AlignLeft : Qt::AlignHCenter);
        }
        if (QLabel* value = form.Values[info.index]) {
            EXPECT_EQ(value->objectName().toStdString(), info.valueName);
            EXPECT_EQ(value->text(), QString::number(info.startValue));
        }
    }
}

TEST_F(LayoutTest, EveryBarMovesByOneForATroughClickAPageKeyAndAWheelNotch) {
    for (const ParameterInfo& info : Parameters) {
        SCOPED_TRACE(std::string(info.barName));
        QScrollBar* bar = form.Bars[info.index];
        const int middle = (info.minimum + info.maximum) / 2;
        bar->setValue(middle);
        int changes = 0;
        const QMetaObject::Connection counting =
            QObject::connect(bar, &QScrollBar::valueChanged, [&changes] { ++changes; });

        const QPointF trough(bar->width() - 24, bar->height() / 2); // right of the thumb
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, trough, bar->mapToGlobal(trough), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &click);
        }
        EXPECT_EQ(bar->value(), middle + 1) << "trough click";
        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(bar, &pageUp);
        EXPECT_EQ(bar->value(), middle) << "PageUp";
        QWheelEvent notch(trough, bar->mapToGlobal(trough), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &notch);
        EXPECT_EQ(bar->value(), middle + 1) << "a wheel notch down";
        EXPECT_EQ(changes, 3);
        QObject::disconnect(counting);
    }
}

TEST_F(LayoutTest, CornerValueMirrorsAreNeverShownAndLieBeyondTheClientArea) {
    form.show();
    for (const ParameterInfo& info : Parameters) {
        if (!IsCorner(info.kind))
            continue;
        QLabel* mirror = form.Values[info.index];
        EXPECT_EQ(mirror->parentWidget(), &form);
        EXPECT_FALSE(mirror->isVisible());
        EXPECT_FALSE(form.rect().intersects(mirror->geometry())) << info.valueName.data();
    }
    form.hide();
}

TEST_F(LayoutTest, StatusPanelAndStatusBarAreHiddenWithTheirParts) {
    form.show();
    EXPECT_FALSE(form.StatusPanel->isVisible());
    EXPECT_EQ(form.StatusPanel->frameShape(), QFrame::Box);
    EXPECT_EQ(form.ProgressBar1->minimum(), 0);
    EXPECT_EQ(form.ProgressBar1->maximum(), 100);
    EXPECT_FALSE(form.STBar->isVisible());
    const std::array<int, 3> widths = {100, 120, 50};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.STBarPanels[i]->parentWidget(), form.STBar);
        EXPECT_EQ(form.STBarPanels[i]->width(), widths[i]);
        EXPECT_EQ(form.STBarPanels[i]->alignment() == Qt::AlignCenter, i < 2);
        EXPECT_TRUE(form.STBarPanels[i]->text().isEmpty());
    }
    EXPECT_TRUE(form.StModel->isVisible());
    form.hide();
}

TEST_F(LayoutTest, WindowIsAFixedClientAreaInTheLayoutFont) {
    EXPECT_EQ(form.size(), QSize(762, 337));
    EXPECT_EQ(form.minimumSize(), QSize(762, 337));
    EXPECT_EQ(form.maximumSize(), QSize(762, 337));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(form.font().family(), "Segoe UI");
    EXPECT_EQ(form.font().pixelSize(), 11);
    for (QWidget* control : form.Components) {
        const bool deviceBox = control == form.StModel || control == form.StRes;
        EXPECT_EQ(control->font().pixelSize(), deviceBox ? 12 : 11) << control->objectName().data();
    }
    for (const QLabel* text : {static_cast<QLabel*>(form.StModel), form.Values[WRHIndex],
                               form.findChild<QLabel*>("TntStaticText2")}) {
        EXPECT_EQ(text->frameShadow(), QFrame::Sunken);
        EXPECT_NE(text->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(text->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
}

TEST_F(LayoutTest, TheFramesBehindTheCornerTextsDoNotRunThroughThem) {
    constexpr int FrameTop = 21; // the top edge of the frames around the corners
    form.show();
    for (TTntGroupBox* group : form.OutputGroups) {
        const QImage image = group->grab().toImage();
        for (const QLabel* text : group->findChildren<QLabel*>()) {
            if (dynamic_cast<const TTntStaticText*>(text) == nullptr)
                continue;
            SCOPED_TRACE(text->objectName().toStdString());
            const QPoint beforeTheLetters(text->x() + 4, FrameTop);
            EXPECT_EQ(image.pixelColor(beforeTheLetters), form.palette().color(QPalette::Window));
        }
    }
    form.hide();
}

TEST_F(LayoutTest, TimerAndFileDialogsAreSetUp) {
    EXPECT_EQ(form.Timer1->interval(), 2000);
    EXPECT_EQ(form.Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.OpenDlg->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(form.SaveDlg->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(form.SaveDlg->defaultSuffix(), "PMX");
    EXPECT_EQ(form.OpenDlg->selectedFiles().value(0).section('/', -1), "PMX");
    for (QFileDialog* dialog : {form.OpenDlg.get(), form.SaveDlg.get()}) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Pelmora Align Tool File (*.PMX)"});
        EXPECT_EQ(dialog->parentWidget(), &form);
    }
    EXPECT_EQ(form.OpenDlg.get(), form.OpenDlg.get()) << "built once";
}

// Renders a widget and counts, in a band of rows, the pixels of a strong colour near the hue
// of `colour` (text is antialiased, so few pixels carry the exact colour).
int PixelsOfHue(QWidget* widget, const QColor& colour, int top, int bottom) {
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = top; y < std::min(bottom, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.hsvHue() - colour.hsvHue());
            const bool nearHue = std::min(distance, 360 - distance) < 20;
            count += pixel.hsvSaturation() > 120 && pixel.value() > 120 && nearHue ? 1 : 0;
        }
    }
    return count;
}

TEST_F(LayoutTest, OnlyTheCaptionsOfTheOutputGroupsAreColoured) {
    const std::array<QColor, 4> colours = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                                           QColor(255, 0, 255)};
    form.show();
    for (int n = 0; n < 4; ++n) {
        TTntGroupBox* group = form.OutputGroups[n];
        SCOPED_TRACE(group->objectName().toStdString());
        EXPECT_GT(PixelsOfHue(group, colours[n], 0, 13), 0) << "caption drawn in colour";
        EXPECT_EQ(PixelsOfHue(group, colours[n], 14, group->height()), 0)
            << "nothing else in colour";
    }
    EXPECT_EQ(PixelsOfHue(form.TntGroupBox5, colours[0], 0, 13), 0);
    form.hide();
}

TEST_F(LayoutTest, ControlsInsideTheColouredGroupsStillLookDisabledWhenDisabled) {
    const QPalette& window = form.palette();
    ASSERT_NE(window.color(QPalette::Disabled, QPalette::Text),
              window.color(QPalette::Active, QPalette::Text));
    for (const ParameterInfo& info : Parameters) {
        if (!IsCorner(info.kind))
            continue;
        const QPalette& palette = form.Edits[info.index]->palette();
        EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Text),
                  window.color(QPalette::Disabled, QPalette::Text))
            << info.editName;
    }
}

TEST_F(LayoutTest, FocusMovesThroughTheGroupsInTheirOrder) {
    const std::vector<std::string> groupOrder = {
        "TntGroupBox1", "TntGroupBox2", "TntGroupBox3", "TntGroupBox4", "TntGroupBox5",
        "TntGroupBox6", "TntGroupBox7", "TntGroupBox8", "TntGroupBox9", "GroupBox9",
        "GroupBox12",   "GroupBox10",   "GroupBox11",   "GroupBox13"};
    std::vector<std::string> visited;
    QWidget* start = form.Edits[0];
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->parentWidget() != nullptr) {
            const std::string group = w->parentWidget()->objectName().toStdString();
            if (visited.empty() || visited.back() != group)
                visited.push_back(group);
        }
        w = w->nextInFocusChain();
    } while (w != start);
    std::erase_if(visited, [](const std::string& g) { return g == "Form1"; });
    EXPECT_EQ(visited, groupOrder);
    EXPECT_EQ(form.Edits[0]->nextInFocusChain(), form.Bars[0]);
}

} // namespace
} // namespace pelmora::testing
