// The editor bindings on the real window, offscreen: scroll bars, edit boxes and labels kept
// in step, the key filter and the ways around it, select-all, shift mode and the enabled state of
// the controls.
#include "support/form_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

namespace pelmora::testing {
namespace {

constexpr int TLX1 = CornerIndex(1, ParamKind::TopLeft, Axis::X);
constexpr int TLY1 = CornerIndex(1, ParamKind::TopLeft, Axis::Y);
constexpr int TRX1 = CornerIndex(1, ParamKind::TopRight, Axis::X);
constexpr int TRY1 = CornerIndex(1, ParamKind::TopRight, Axis::Y);
constexpr int TRX2 = CornerIndex(2, ParamKind::TopRight, Axis::X);

class Bindings : public FormFixture {
  protected:
    QScrollBar& Bar(int index) { return *Form->Bars[index]; }
    QLineEdit& Edit(int index) { return *Form->Edits[index]; }
    QString Label(int index) { return Form->Values[index]->text(); }

    // Types `keys` into the box with the caret at the end of its text.
    void TypeAtEnd(int index, const QString& keys) {
        Edit(index).setFocus();
        Edit(index).end(false);
        QTest::keyClicks(&Edit(index), keys);
    }
    // Replaces the box's text by typing.
    void TypeOver(int index, const QString& keys) {
        Edit(index).setFocus();
        Edit(index).selectAll();
        QTest::keyClicks(&Edit(index), keys);
    }
    void ClickShiftMode(int output) {
        QTest::mouseClick(Form->ShiftModes[output - 1], Qt::LeftButton);
    }
};

TEST_F(Bindings, EachKindShowsItsValueInItsOwnViewsAndOnlyCornersRedraw) {
    int redraws = Form->DiagramRedraws;
    Bar(TLX1).setValue(100);
    EXPECT_EQ(Edit(TLX1).text(), "100");
    EXPECT_EQ(Label(TLX1), "100");
    EXPECT_EQ(Form->DiagramRedraws, ++redraws);
    Bar(TRY1).setValue(7);
    EXPECT_EQ(Edit(TRY1).text(), "7");
    EXPECT_EQ(Label(TRY1), "7");
    EXPECT_EQ(Form->DiagramRedraws, ++redraws);

    Bar(WRHIndex).setValue(150);
    Bar(WPVIndex).setValue(9);
    Bar(LRIndex).setValue(10);
    Bar(LTIndex).setValue(321);
    EXPECT_EQ(Label(WRHIndex), "150");
    EXPECT_EQ(Edit(WPVIndex).text(), "9");
    EXPECT_EQ(Label(LRIndex), "10");
    EXPECT_EQ(Edit(LTIndex).text(), "321");
    EXPECT_EQ(Form->DiagramRedraws, redraws);

    Bar(TLX1).setValue(100); // no change, no reaction
    EXPECT_EQ(Form->DiagramRedraws, redraws);
}

TEST_F(Bindings, TypedCornerValuesAreClampedToTheLimit) {
    Bar(TLX1).setValue(1920);
    TypeAtEnd(TLX1, "0");
    EXPECT_EQ(Edit(TLX1).text(), "1920");
    EXPECT_EQ(Bar(TLX1).value(), 1920);

    TypeOver(TLY1, "5000");
    EXPECT_EQ(Edit(TLY1).text(), "1080");
    EXPECT_EQ(Label(TLY1), "1080");
    EXPECT_EQ(Bar(TLY1).value(), 1080);

    Form->Limits.MaxX = 1280;
    TypeOver(TRX2, "1500");
    EXPECT_EQ(Edit(TRX2).text(), "1280");
    EXPECT_EQ(Bar(TRX2).value(), 1280);
}

TEST_F(Bindings, TextThatIsNotANumberBecomesZeroAndNegativesBecomeTheLimit) {
    Bar(TLX1).setValue(100);
    Edit(TLX1).setFocus();
    Edit(TLX1).selectAll();
    QTest::keyClick(&Edit(TLX1), Qt::Key_Backspace);
    EXPECT_EQ(Edit(TLX1).text(), "0");
    EXPECT_EQ(Label(TLX1), "0");
    EXPECT_EQ(Bar(TLX1).value(), 0);

    // Text set by the program is not filtered by keys.
    Edit(TRY1).setText("-1");
    EXPECT_EQ(Edit(TRY1).text(), "1080");
    EXPECT_EQ(Bar(TRY1).value(), 1080);
    Edit(TLX1).setText("4294967295");
    EXPECT_EQ(Edit(TLX1).text(), "0");
    Edit(TLX1).setText("12ab");
    EXPECT_EQ(Edit(TLX1).text(), "0");
    Edit(WPHIndex).setText("-5");
    EXPECT_EQ(Bar(WPHIndex).value(), 0);
    EXPECT_EQ(Edit(WPHIndex).text(), "0");
}

TEST_F(Bindings, WarpPositionAndLoopTimeClampSigned) {
    TypeOver(WPHIndex, "150");
    EXPECT_EQ(Edit(WPHIndex).text(), "100");
    EXPECT_EQ(Bar(WPHIndex).value(), 100);

    TypeOver(LTIndex, "700");
    EXPECT_EQ(Edit(LTIndex).text(), "600");
    EXPECT_EQ(Bar(LTIndex).value(), 600);

    Edit(LTIndex).setText("");
    EXPECT_EQ(Edit(LTIndex).text(), "0");
    EXPECT_EQ(Bar(LTIndex).value(), 0);
}

TEST_F(Bindings, KeyFilterDropsLettersAndSignsAndSpaceSelectsAll) {
    Bar(TLX1).setValue(250);
    TypeAtEnd(TLX1, "a-+.x\r");
    EXPECT_EQ(Edit(TLX1).text(), "250");
    EXPECT_EQ(Bar(TLX1).value(), 250);

    Bar(LTIndex).setValue(12);
    TypeAtEnd(LTIndex, "-");
    EXPECT_EQ(Edit(LTIndex).text(), "12");

    Edit(TLX1).end(false);
    QTest::keyClick(&Edit(TLX1), Qt::Key_Space);
    EXPECT_EQ(Edit(TLX1).text(), "250");
    EXPECT_EQ(Edit(TLX1).selectedText(), "250");
    QTest::keyClicks(&Edit(TLX1), "7");
    EXPECT_EQ(Edit(TLX1).text(), "7");
    EXPECT_EQ(Bar(TLX1).value(), 7);
}

TEST_F(Bindings, PastesCtrlBackspaceAndDropsDoNotReachTheFilteredBoxes) {
    QApplication::clipboard()->setText("99");
    QMimeData dragged;
    dragged.setText("99");
    for (QLineEdit* edit : Form->Edits) {
        if (edit == nullptr)
            continue;
        SCOPED_TRACE(edit->objectName().toStdString());
        edit->setText("3");
        edit->setFocus();
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
        QDragEnterEvent enter({2, 2}, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDropEvent drop({2, 2}, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
        EXPECT_EQ(edit->text(), "3");
    }
}

TEST_F(Bindings, KeysWithoutACharacterAreLeftAlone) {
    Bar(TLX1).setValue(1234);
    Edit(TLX1).setFocus();
    Edit(TLX1).setCursorPosition(4);
    QTest::keyClick(&Edit(TLX1), Qt::Key_Left);
    EXPECT_EQ(Edit(TLX1).cursorPosition(), 3);
    QTest::keyClick(&Edit(TLX1), Qt::Key_Home);
    QTest::keyClick(&Edit(TLX1), Qt::Key_Delete);
    EXPECT_EQ(Edit(TLX1).text(), "234");
    EXPECT_EQ(Bar(TLX1).value(), 234);
}

TEST_F(Bindings, ClickingOrEnteringABoxSelectsItsWholeText) {
    Bar(TLY1).setValue(345);
    QLineEdit& edit = Edit(TLY1);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() / 2, edit.height() / 2));
        EXPECT_EQ(edit.selectedText(), "345") << "click " << click;
    }
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Edit(TLX1).setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Edit(TLX1).selectedText(), "0");
    Edit(LTIndex).setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(Edit(LTIndex).selectedText(), "0");
}

TEST_F(Bindings, TheWindowComingBackLeavesTheCaretWhereItWas) {
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    TypeOver(LTIndex, "12");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    QTest::keyClicks(&Edit(LTIndex), "3");
    EXPECT_EQ(Edit(LTIndex).text(), "123");
}

TEST_F(Bindings, ShiftModeMovesTheTopRightCornerAlong) {
    Bar(TLX1).setValue(100);
    Bar(TRX1).setValue(1800);
    ClickShiftMode(1);
    EXPECT_FALSE(Bar(TRX1).isEnabled());
    EXPECT_FALSE(Edit(TRX1).isEnabled());
    EXPECT_FALSE(Bar(TRY1).isEnabled());
    EXPECT_FALSE(Edit(TRY1).isEnabled());

    Bar(TLX1).setValue(130);
    EXPECT_EQ(Bar(TRX1).value(), 1830);
    EXPECT_EQ(Edit(TRX1).text(), "1830");
    EXPECT_EQ(Form->ShiftReference[0].X, 130);
    TypeOver(TLX1, "60");
    EXPECT_EQ(Bar(TLX1).value(), 60);
    EXPECT_EQ(Bar(TRX1).value(), 1760);

    ClickShiftMode(1);
    EXPECT_TRUE(Bar(TRX1).isEnabled());
    EXPECT_TRUE(Edit(TRY1).isEnabled());
}

TEST_F(Bindings, AShiftThatWouldLeaveTheRangeIsRefused) {
    Bar(TLX1).setValue(100);
    Bar(TRX1).setValue(1900);
    ClickShiftMode(1);
    const int redraws = Form->DiagramRedraws;
    Bar(TLX1).setValue(130);
    EXPECT_EQ(Bar(TLX1).value(), 100);
    EXPECT_EQ(Edit(TLX1).text(), "100");
    EXPECT_EQ(Label(TLX1), "100");
    EXPECT_EQ(Bar(TRX1).value(), 1900);
    EXPECT_EQ(Form->ShiftReference[0].X, 100);
    EXPECT_EQ(Form->DiagramRedraws, redraws + 1); // only the run for the reference value

    Bar(TLY1).setValue(5); // Y is shifted on its own: TR Y 0 -> 5
    EXPECT_EQ(Bar(TRY1).value(), 5);
    Bar(TLY1).setValue(0);
    EXPECT_EQ(Bar(TRY1).value(), 0);
}

TEST_F(Bindings, TickingShiftModeAgainTakesAFreshReference) {
    Bar(TLX1).setValue(100);
    Bar(TRX1).setValue(1000);
    ClickShiftMode(1);
    Bar(TLX1).setValue(120);
    EXPECT_EQ(Bar(TRX1).value(), 1020);
    ClickShiftMode(1);
    Bar(TLX1).setValue(200);
    EXPECT_EQ(Bar(TRX1).value(), 1020);
    ClickShiftMode(1);
    EXPECT_EQ(Form->ShiftReference[0].X, 200);
    Bar(TLX1).setValue(210);
    EXPECT_EQ(Bar(TRX1).value(), 1030);
}

TEST_F(Bindings, RealTimeLocksTheEditBoxesAndTransferButtonsOnly) {
    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    ASSERT_TRUE(Form->RealTimeMode->isChecked());
    for (const ParameterInfo& info : Parameters) {
        EXPECT_TRUE(Bar(info.index).isEnabled()) << info.barName;
        if (Form->Edits[info.index] != nullptr) {
            EXPECT_EQ(Edit(info.index).isEnabled(), info.index == LTIndex) << info.editName;
        }
    }
    EXPECT_FALSE(Form->ReadBtn->isEnabled());
    EXPECT_FALSE(Form->WriteBtn->isEnabled());
    EXPECT_FALSE(Form->ResetBtn->isEnabled());
    EXPECT_TRUE(Form->ShiftModes[0]->isEnabled());
    EXPECT_TRUE(Form->TntButton1->isEnabled());

    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    EXPECT_TRUE(Edit(TLX1).isEnabled());
    EXPECT_TRUE(Edit(WPVIndex).isEnabled());
    EXPECT_TRUE(Form->ReadBtn->isEnabled());
}

TEST_F(Bindings, RealTimeLeavesTheOtherOutputsAloneInSingleOutputMode) {
    Form->SingleOutputMode = true;
    Edit(TRX2).setEnabled(false);
    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    EXPECT_FALSE(Edit(TRX2).isEnabled());
    EXPECT_TRUE(Edit(TRX1).isEnabled());
}

TEST_F(Bindings, TheSwitchThatRanLastDecidesTheTopRightBoxes) {
    ClickShiftMode(1);
    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    EXPECT_TRUE(Edit(TRX1).isEnabled()); // Real Time off ran last
    EXPECT_FALSE(Bar(TRX1).isEnabled()); // Real Time never touches bars

    QTest::mouseClick(Form->RealTimeMode, Qt::LeftButton);
    ClickShiftMode(1);
    EXPECT_TRUE(Edit(TRX1).isEnabled()); // shift mode off ran last
    EXPECT_FALSE(Edit(TLX1).isEnabled());
}

} // namespace
} // namespace pelmora::testing
