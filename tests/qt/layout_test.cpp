// The main window's controls against the layout: names, kinds, places, captions, HelpContext
// numbers, ranges, initial values, colours, hidden parts and the focus order.
#include "qt_fixture.h"

#include "app/layout.h"
#include "storage/ui_strings.h"

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

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <typeindex>

namespace pelmora::testing {
namespace {

// The Qt class that shows each kind of control.
std::type_index ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::GroupBox:
        return typeid(QGroupBox);
    case ControlKind::StaticText:
    case ControlKind::Label:
        return typeid(QLabel);
    case ControlKind::Bevel:
    case ControlKind::Panel:
        return typeid(QFrame);
    case ControlKind::Edit:
        return typeid(QLineEdit);
    case ControlKind::ScrollBar:
        return typeid(QScrollBar);
    case ControlKind::CheckBox:
        return typeid(QCheckBox);
    case ControlKind::RadioButton:
        return typeid(QRadioButton);
    case ControlKind::Button:
        return typeid(QPushButton);
    case ControlKind::ComboBox:
        return typeid(QComboBox);
    case ControlKind::ProgressBar:
        return typeid(QProgressBar);
    case ControlKind::StatusBar:
        return typeid(QWidget);
    case ControlKind::Timer:
        break;
    }
    return typeid(void);
}

// What tells the kinds shown by one class apart: a static text is sunken, a bevel raised.
QFrame::Shadow FrameShadowOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::StaticText:
        return QFrame::Sunken;
    case ControlKind::Bevel:
        return QFrame::Raised;
    default:
        return QFrame::Plain;
    }
}

// Edits and value texts show their parameter's value, not a caption.
bool ShowsAValue(const ControlRow& row) {
    return row.Kind == ControlKind::Edit ||
           std::ranges::any_of(Parameters,
                               [&](const ParameterInfo& p) { return p.valueName == row.Name; });
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

TEST_F(LayoutTest, EveryRowOfTheLayoutIsAWidgetWithItsParentClassPlaceAndCaption) {
    const UiStringTable& english = DefaultUiStrings();
    for (const ControlRow& row : LayoutRows()) {
        SCOPED_TRACE(row.Name);
        QWidget* control = Named(row.Name);
        ASSERT_NE(control, nullptr);
        // The port and language lists are a drop-down subclass that tells its control first.
        const bool list = row.Kind == ControlKind::ComboBox && qobject_cast<QComboBox*>(control);
        EXPECT_TRUE(list || std::type_index(typeid(*control)) == ClassOf(row.Kind));
        if (auto* frame = qobject_cast<QFrame*>(control)) {
            EXPECT_EQ(frame->frameShadow(), FrameShadowOf(row.Kind));
        }
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(),
                  row.Parent.empty() ? "Form1" : row.Parent);
        EXPECT_EQ(control->pos(), QPoint(row.Geometry.Left, row.Geometry.Top));
        if (row.Geometry.Width > 0) {
            EXPECT_EQ(control->size(), QSize(row.Geometry.Width, row.Geometry.Height));
        }
        EXPECT_EQ(control->isVisibleTo(control->parentWidget()), !row.Hidden);
        if (row.Translatable && row.HelpContext > 0) {
            EXPECT_EQ(CaptionOf(control), QString::fromStdU16String(english[row.HelpContext]));
        } else if (!ShowsAValue(row)) {
            EXPECT_EQ(CaptionOf(control), QString::fromStdString(row.Caption));
        }
        EXPECT_EQ(form.Find(row.Name)->HelpContext, row.HelpContext);
    }
}

TEST_F(LayoutTest, ShownControlsLieInsideTheirParentAndApartFromTheirNeighbours) {
    // Controls stacked in a column share their edges: the boxes of the window's right-hand
    // column, whose upper edge stands where a caption would, lie up to 4 pixels under the one
    // above, and so do buttons and check boxes by a pixel or two.
    constexpr int SharedEdge = 4;
    std::map<std::string, std::vector<const ControlRow*>> children;
    for (const ControlRow& row : LayoutRows())
        if (!row.Hidden)
            children[row.Parent.empty() ? "Form1" : row.Parent].push_back(&row);
    for (const auto& [parentName, rows] : children) {
        const QRect inside = parentName == "Form1" ? window.rect() : Named(parentName)->rect();
        for (const ControlRow* row : rows) {
            SCOPED_TRACE(row->Name);
            const QRect place = Named(row->Name)->geometry();
            EXPECT_TRUE(inside.contains(place)) << "in " << parentName;
            // A bevel is a frame drawn round the texts and values of a corner.
            if (row->Kind == ControlKind::Bevel)
                continue;
            for (const ControlRow* other : rows) {
                if (other == row || other->Kind == ControlKind::Bevel)
                    continue;
                const QRect common = place.intersected(Named(other->Name)->geometry());
                EXPECT_FALSE(common.width() > SharedEdge && common.height() > SharedEdge)
                    << "runs into " << other->Name;
            }
        }
    }
}

TEST_F(LayoutTest, FocusFollowsTheGroupsInTheirOrderAndEachGroupInCreationOrder) {
    std::vector<std::string> expected;
    for (const char* group : TabOrderGroups)
        for (const ControlRow& row : LayoutRows())
            if (row.Parent == group && (Named(row.Name)->focusPolicy() & Qt::TabFocus) != 0)
                expected.push_back(row.Name);
    ASSERT_GT(expected.size(), 40u);
    std::vector<std::string> chain;
    QWidget* w = Named(expected.front());
    do {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->parentWidget() != &window)
            chain.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != Named(expected.front()));
    EXPECT_EQ(chain, expected);
}

// The letters of the corners' values (X, Y in each column) and the warp groups' (H, V), as
// they read in columns from the left.
TEST_F(LayoutTest, TheLettersBesideTheValuesReadXYXYAndHV) {
    const auto letters = [this](const std::string& group) {
        std::vector<QLabel*> labels;
        for (const ControlRow& row : LayoutRows())
            if (row.Parent == group && row.Kind == ControlKind::Label)
                labels.push_back(Named<QLabel>(row.Name));
        std::ranges::sort(labels, [](const QLabel* a, const QLabel* b) {
            return std::pair(a->x(), a->y()) < std::pair(b->x(), b->y());
        });
        QString text;
        for (const QLabel* label : labels)
            text += label->text();
        return text;
    };
    for (int output = 1; output <= OutputCount; ++output)
        EXPECT_EQ(letters(OutputGroupName(output)), "XYXY") << output;
    for (const ControlRow& row : LayoutRows())
        if (row.HelpContext == WarpRatioText || row.HelpContext == WarpPositionText) {
            EXPECT_EQ(letters(row.Name), "HV") << row.Name;
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
    for (std::size_t i = 0; i < StatusBarPanels.size(); ++i) {
        auto* part = Shown<QLabel>(form.STBarPanels[i]);
        EXPECT_EQ(part->objectName().toStdString(), StatusBarPanels[i].Name);
        EXPECT_EQ(part->parentWidget(), bar);
        EXPECT_EQ(part->width(), StatusBarPanels[i].Width);
        EXPECT_EQ(part->alignment() == Qt::AlignCenter, StatusBarPanels[i].Centred);
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
        for (const ControlRow& row : LayoutRows()) {
            if (row.Kind != ControlKind::StaticText || row.Parent != group->Name())
                continue;
            SCOPED_TRACE(row.Name);
            const QPoint beforeTheLetters(Named(row.Name)->x() + 4, FrameTop);
            EXPECT_EQ(image.pixelColor(beforeTheLetters), window.palette().color(QPalette::Window));
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

TEST_F(LayoutTest, AChosenFileTakesTheDefaultExtensionAndIsOfferedNextTime) {
    const std::filesystem::path folder = home.Path() / "v1.2";
    std::filesystem::create_directory(folder);
    const QString in = QString::fromStdU16String(folder.u16string()) + '/';
    QtFileDialogs dialogs;
    dialogs.SetParent(&window);
    QString chosen = in + "setting";
    dialogs.Run = [&](QFileDialog&) { return std::optional(chosen); };
    EXPECT_EQ(dialogs.ChooseSave(), folder / "setting.PMX");
    EXPECT_EQ(dialogs.SaveDlg().selectedFiles().value(0), in + "setting.PMX");
    chosen = in + "other";
    EXPECT_EQ(dialogs.ChooseOpen(), folder / "other") << "opening adds no extension";
    EXPECT_EQ(dialogs.OpenDlg().selectedFiles().value(0), in + "other");
    dialogs.Run = [](QFileDialog&) { return std::optional<QString>(); };
    EXPECT_EQ(dialogs.ChooseSave(), std::nullopt);
    EXPECT_EQ(dialogs.SaveDlg().selectedFiles().value(0), in + "setting.PMX");
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

} // namespace
} // namespace pelmora::testing
