// The main window's controls against the layout: names, kinds, places, captions, HelpContext
// numbers, ranges, initial values, colours, hidden parts and the focus order.
#include "qt_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
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

using Tt = QLabel; // a static text: a label in a sunken frame

std::vector<Expected> TopLevel() {
    return {
        {"TntGroupBox1", typeid(QGroupBox), "", {4, 1, 318, 108}, "TV1", 1},
        {"TntGroupBox2", typeid(QGroupBox), "", {326, 1, 318, 108}, "TV2", 2},
        {"TntGroupBox3", typeid(QGroupBox), "", {4, 107, 318, 108}, "TV3", 3},
        {"TntGroupBox4", typeid(QGroupBox), "", {326, 107, 318, 108}, "TV4", 4},
        {"TntGroupBox5", typeid(QGroupBox), "", {4, 215, 318, 40}, "Warp Ratio", 5},
        {"TntGroupBox6", typeid(QGroupBox), "", {326, 215, 318, 40}, "Warp Position", 6},
        {"TntGroupBox8", typeid(QGroupBox), "", {4, 254, 158, 40}, "Loop Range", 24},
        {"TntGroupBox9", typeid(QGroupBox), "", {4, 293, 158, 40}, "Loop Time", 25},
        {"GroupBox9", typeid(QGroupBox), "", {164, 254, 481, 79}, "", -1},
        {"GroupBox11", typeid(QGroupBox), "", {647, 1, 111, 34}, "", -1},
        {"GroupBox10", typeid(QGroupBox), "", {647, 31, 111, 60}, "", -1},
        {"GroupBox13", typeid(QGroupBox), "", {647, 88, 111, 41}, "", -1},
        {"GroupBox12", typeid(QGroupBox), "", {647, 126, 111, 62}, "", -1},
        {"TntGroupBox7", typeid(QGroupBox), "", {647, 186, 111, 103}, "Profile", 17},
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
        {"TV" + d + "ShiftMode", typeid(QCheckBox), group, {6, 88, 136, 17}, "Shift mode", 34},
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
        {"ReadBtn", typeid(QPushButton), "GroupBox9", {377, 8, 95, 22}, "Read", 15},
        {"WriteBtn", typeid(QPushButton), "GroupBox9", {377, 29, 95, 22}, "Write", 14},
        {"ResetBtn", typeid(QPushButton), "GroupBox9", {377, 50, 95, 22}, "Reset", 16},
        {"UIComboBox", typeid(QComboBox), "GroupBox11", {7, 10, 99, 21}, "", -1},
        {"ComComboBox1", typeid(QComboBox), "GroupBox10", {7, 9, 100, 21}, "", -1},
        {"CNTBTN", typeid(QPushButton), "GroupBox10", {6, 31, 100, 24}, "Connect", 12},
        {"ImgOn", typeid(QCheckBox), "GroupBox13", {7, 6, 100, 17}, "Diagram", 26},
        {"RealTimeMode", typeid(QCheckBox), "GroupBox13", {7, 21, 98, 17}, "Real Time", 20},
        {"TntButton1", typeid(QPushButton), "GroupBox12", {6, 8, 100, 24}, "Save Setting", 27},
        {"TntButton2", typeid(QPushButton), "GroupBox12", {6, 33, 100, 24}, "Load Setting", 28},
        {"TntButton5", typeid(QPushButton), "TntGroupBox7", {5, 49, 100, 24}, "Load", 18},
        {"TntButton6", typeid(QPushButton), "TntGroupBox7", {5, 73, 100, 24}, "Save", 19},
        {"RadioButton6", typeid(QRadioButton), "TntGroupBox7", {8, 16, 30, 17}, "1", -1},
        {"RadioButton7", typeid(QRadioButton), "TntGroupBox7", {42, 16, 30, 17}, "2", -1},
        {"RadioButton8", typeid(QRadioButton), "TntGroupBox7", {72, 16, 30, 17}, "3", -1},
        {"RadioButton9", typeid(QRadioButton), "TntGroupBox7", {8, 32, 30, 17}, "4", -1},
        {"RadioButton10", typeid(QRadioButton), "TntGroupBox7", {42, 32, 30, 17}, "5", -1},
        {"Msglabel",
         typeid(QLabel),
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
        all.push_back({s.name, typeid(QRadioButton), "GroupBox9",
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

class LayoutTest : public QtFormFixture {
  protected:
    template <class T = QWidget> T* Named(const std::string& name) {
        return window.findChild<T*>(QString::fromStdString(name));
    }
    template <class T = QWidget> T* Shown(const pelmora::Control* control) {
        return Named<T>(control->Name());
    }
};

TEST_F(LayoutTest, EveryControlStandsWhereTheLayoutPutsItWithItsCaptionAndHelpContext) {
    for (const Expected& e : AllExpected()) {
        SCOPED_TRACE(e.name);
        QWidget* control = Named(e.name);
        ASSERT_NE(control, nullptr);
        const bool list = e.kind == typeid(QComboBox) && qobject_cast<QComboBox*>(control);
        EXPECT_TRUE(list || std::type_index(typeid(*control)) == e.kind);
        const QWidget* parent = control->parentWidget();
        EXPECT_EQ(parent->objectName().toStdString(), e.parent.empty() ? "Form1" : e.parent);
        EXPECT_EQ(control->pos(), e.geometry.topLeft());
        if (e.geometry.width() != Natural) {
            EXPECT_EQ(control->size(), e.geometry.size());
        }
        EXPECT_EQ(CaptionOf(control), e.caption);
        EXPECT_EQ(form.Find(e.name)->HelpContext, std::max(e.helpContext, 0));
    }
}

TEST_F(LayoutTest, ControlNamesAreUniqueAndEachHasItsWidget) {
    std::set<std::string> names;
    for (const auto& control : form.Components) {
        EXPECT_TRUE(names.insert(control->Name()).second) << control->Name();
        ASSERT_NE(Shown(control.get()), nullptr) << control->Name();
        EXPECT_EQ(Shown(control.get())->objectName().toStdString(), control->Name());
    }
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(form.ShiftModes[n]->Name(), "TV" + std::to_string(n + 1) + "ShiftMode");
    for (int tag = 0; tag < 5; ++tag)
        EXPECT_EQ(form.ProfileButtons[tag]->Name(), "RadioButton" + std::to_string(6 + tag));
}

TEST_F(LayoutTest, SlotButtonsFormTheGridWithIndexNineAboveIndexTen) {
    for (int tag = 0; tag < 10; ++tag) {
        EXPECT_EQ(form.SlotButtons[tag]->Name(), ExpectedSlots[tag].name);
        EXPECT_EQ(TextOf(form.SlotButtons[tag]), "Index " + std::to_string(tag + 1));
    }
    QWidget* nine = Shown(form.SlotButtons[8]);
    QWidget* ten = Shown(form.SlotButtons[9]);
    EXPECT_EQ(nine->objectName(), "TntRadioButton10");
    EXPECT_EQ(ten->objectName(), "TntRadioButton9");
    EXPECT_EQ(nine->x(), ten->x());
    EXPECT_LT(nine->y(), ten->y());
    EXPECT_TRUE(Shown<QRadioButton>(form.SlotButtons[0])->isChecked());
    EXPECT_TRUE(Shown<QRadioButton>(form.ProfileButtons[0])->isChecked());
    for (int tag = 1; tag < 10; ++tag)
        EXPECT_FALSE(Shown<QRadioButton>(form.SlotButtons[tag])->isChecked());
}

TEST_F(LayoutTest, BarsEditsAndValueTextsFollowTheParameterTable) {
    for (const ParameterInfo& info : Parameters) {
        SCOPED_TRACE(std::string(info.barName));
        auto* bar = Shown<QScrollBar>(form.Bars[info.index]);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->objectName().toStdString(), info.barName);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), info.minimum);
        EXPECT_EQ(bar->maximum(), info.maximum);
        EXPECT_EQ(bar->value(), info.startValue);
        EXPECT_EQ(form.Edits[info.index] != nullptr, !info.editName.empty());
        EXPECT_EQ(form.Values[info.index] != nullptr, !info.valueName.empty());
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
        if (form.Edits[info.index] != nullptr) {
            auto* edit = Shown<QLineEdit>(form.Edits[info.index]);
            EXPECT_EQ(edit->objectName().toStdString(), info.editName);
            EXPECT_EQ(edit->text(), QString::number(info.startValue));
            const Qt::Alignment horizontal = edit->alignment() & Qt::AlignHorizontal_Mask;
            EXPECT_EQ(horizontal, info.index == LTIndex ? Qt::AlignLeft : Qt::AlignHCenter);
        }
        if (form.Values[info.index] != nullptr) {
            auto* value = Shown<QLabel>(form.Values[info.index]);
            EXPECT_EQ(value->objectName().toStdString(), info.valueName);
            EXPECT_EQ(value->text(), QString::number(info.startValue));
        }
    }
}

TEST_F(LayoutTest, EveryBarMovesByOneForATroughClickAPageKeyAndAWheelNotch) {
    for (const ParameterInfo& info : Parameters) {
        SCOPED_TRACE(std::string(info.barName));
        auto* bar = Shown<QScrollBar>(form.Bars[info.index]);
        const int middle = (info.minimum + info.maximum) / 2;
        form.Bars[info.index]->SetPosition(middle);
        int changes = 0;
        form.Bars[info.index]->OnChange = [&changes] { ++changes; };

        const QPointF trough(bar->width() - 24, bar->height() / 2); // right of the thumb
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, trough, bar->mapToGlobal(trough), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &click);
        }
        EXPECT_EQ(form.Bars[info.index]->Position(), middle + 1) << "trough click";
        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(bar, &pageUp);
        EXPECT_EQ(form.Bars[info.index]->Position(), middle) << "PageUp";
        QWheelEvent notch(trough, bar->mapToGlobal(trough), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &notch);
        EXPECT_EQ(form.Bars[info.index]->Position(), middle + 1) << "a wheel notch down";
        EXPECT_EQ(bar->value(), middle + 1);
        EXPECT_EQ(changes, 3);
    }
}

TEST_F(LayoutTest, CornerValueMirrorsAreNeverShownAndLieBeyondTheClientArea) {
    window.show();
    for (const ParameterInfo& info : Parameters) {
        if (!IsCorner(info.kind))
            continue;
        QWidget* mirror = Shown(form.Values[info.index]);
        EXPECT_EQ(mirror->parentWidget(), &window);
        EXPECT_FALSE(mirror->isVisible());
        EXPECT_FALSE(window.rect().intersects(mirror->geometry())) << info.valueName.data();
    }
    window.hide();
}

TEST_F(LayoutTest, StatusPanelAndStatusBarAreHiddenWithTheirParts) {
    window.show();
    auto* panel = Shown<QFrame>(form.StatusPanel);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->frameShape(), QFrame::Box);
    EXPECT_EQ(Shown<QProgressBar>(form.ProgressBar1)->maximum(), 100);
    QWidget* bar = Shown(form.STBar);
    EXPECT_FALSE(bar->isVisible());
    const std::array<int, 3> widths = {100, 120, 50};
    for (int i = 0; i < 3; ++i) {
        auto* part = Shown<QLabel>(form.STBarPanels[i]);
        EXPECT_EQ(part->parentWidget(), bar);
        EXPECT_EQ(part->width(), widths[i]);
        EXPECT_EQ(part->alignment() == Qt::AlignCenter, i < 2);
        EXPECT_TRUE(part->text().isEmpty());
    }
    EXPECT_TRUE(Shown(form.StModel)->isVisible());
    window.hide();
}

TEST_F(LayoutTest, WindowIsAFixedClientAreaInTheLayoutFont) {
    EXPECT_EQ(window.size(), QSize(762, 337));
    EXPECT_EQ(window.minimumSize(), QSize(762, 337));
    EXPECT_EQ(window.maximumSize(), QSize(762, 337));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.font().family(), "Segoe UI");
    EXPECT_EQ(window.font().pixelSize(), 11);
    for (const auto& control : form.Components) {
        const bool deviceBox = control->Name() == "StModel" || control->Name() == "StRes";
        EXPECT_EQ(Shown(control.get())->font().pixelSize(), deviceBox ? 12 : 11) << control->Name();
    }
    for (const char* name : {"StModel", "WRHVal", "TntStaticText2"}) {
        auto* text = Named<QLabel>(name);
        EXPECT_EQ(text->frameShadow(), QFrame::Sunken);
        EXPECT_NE(text->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(text->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
}

TEST_F(LayoutTest, TheFramesBehindTheCornerTextsDoNotRunThroughThem) {
    constexpr int FrameTop = 21; // the top edge of the frames around the corners
    window.show();
    for (const pelmora::Control* group : form.OutputGroups) {
        const QImage image = Shown(group)->grab().toImage();
        for (int output = 1; output <= OutputCount; ++output)
            for (const char* name :
                 {"TntStaticText2", "TntStaticText3", "TntStaticText5", "TntStaticText4",
                  "TntStaticText6", "TntStaticText1", "TntStaticText8", "TntStaticText7"}) {
                QWidget* text = Named(name);
                if (text->parentWidget() != Shown(group))
                    continue;
                SCOPED_TRACE(name);
                const QPoint beforeTheLetters(text->x() + 4, FrameTop);
                EXPECT_EQ(image.pixelColor(beforeTheLetters),
                          window.palette().color(QPalette::Window));
            }
    }
    window.hide();
}

TEST_F(LayoutTest, TimerAndFileDialogsAreSetUp) {
    EXPECT_EQ(form.Timer1.Interval, 2000);
    EXPECT_FALSE(form.Timer1.Running());
    QtFileDialogs dialogs;
    dialogs.SetParent(&window);
    EXPECT_EQ(dialogs.OpenDlg().acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialogs.SaveDlg().acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialogs.SaveDlg().defaultSuffix(), "PMX");
    EXPECT_TRUE(dialogs.SaveDlg().testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialogs.OpenDlg().selectedFiles().value(0).section('/', -1), "PMX");
    for (QFileDialog* dialog : {&dialogs.OpenDlg(), &dialogs.SaveDlg()}) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Pelmora Align Tool File (*.PMX)"});
        EXPECT_EQ(dialog->parentWidget(), &window);
    }
    EXPECT_EQ(&dialogs.OpenDlg(), &dialogs.OpenDlg()) << "built once";
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
    window.show();
    for (int n = 0; n < 4; ++n) {
        QWidget* group = Shown(form.OutputGroups[n]);
        SCOPED_TRACE(group->objectName().toStdString());
        EXPECT_GT(PixelsOfHue(group, colours[n], 0, 13), 0) << "caption drawn in colour";
        EXPECT_EQ(PixelsOfHue(group, colours[n], 14, group->height()), 0)
            << "nothing else in colour";
    }
    EXPECT_EQ(PixelsOfHue(Named("TntGroupBox5"), colours[0], 0, 13), 0);
    window.hide();
}

TEST_F(LayoutTest, ControlsInsideTheColouredGroupsStillLookDisabledWhenDisabled) {
    const QPalette& face = window.palette();
    ASSERT_NE(face.color(QPalette::Disabled, QPalette::Text),
              face.color(QPalette::Active, QPalette::Text));
    for (const ParameterInfo& info : Parameters) {
        if (!IsCorner(info.kind))
            continue;
        const QPalette& palette = Shown(form.Edits[info.index])->palette();
        EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Text),
                  face.color(QPalette::Disabled, QPalette::Text))
            << info.editName;
    }
}

TEST_F(LayoutTest, FocusMovesThroughTheGroupsInTheirOrder) {
    const std::vector<std::string> groupOrder = {
        "TntGroupBox1", "TntGroupBox2", "TntGroupBox3", "TntGroupBox4", "TntGroupBox5",
        "TntGroupBox6", "TntGroupBox7", "TntGroupBox8", "TntGroupBox9", "GroupBox9",
        "GroupBox12",   "GroupBox10",   "GroupBox11",   "GroupBox13"};
    std::vector<std::string> visited;
    QWidget* start = Shown(form.Edits[0]);
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
    EXPECT_EQ(start->nextInFocusChain(), Shown(form.Bars[0]));
}

} // namespace
} // namespace pelmora::testing
