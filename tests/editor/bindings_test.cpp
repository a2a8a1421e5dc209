// The editor bindings on the real window, offscreen: scroll bars, edit boxes and labels kept
// in step, the key filter, select-all, shift mode and the enabled state of the controls.
#include "support/form_fixture.h"

#include "storage/text_encoding.h"

namespace pelmora::testing {
namespace {

constexpr int TLX1 = CornerIndex(1, ParamKind::TopLeft, Axis::X);
constexpr int TLY1 = CornerIndex(1, ParamKind::TopLeft, Axis::Y);
constexpr int TRX1 = CornerIndex(1, ParamKind::TopRight, Axis::X);
constexpr int TRY1 = CornerIndex(1, ParamKind::TopRight, Axis::Y);
constexpr int TRX2 = CornerIndex(2, ParamKind::TopRight, Axis::X);

class Bindings : public FormFixture {
  protected:
    ScrollBar& Bar(int index) { return *Form->Bars[index]; }
    EditBox& Edit(int index) { return *Form->Edits[index]; }
    std::string Text(int index) { return TextOf(Form->Edits[index]); }
    std::string Label(int index) { return TextOf(Form->Values[index]); }
    std::string Selected(int index) {
        const EditBox& edit = Edit(index);
        return Utf16ToUtf8(edit.Text().substr(edit.SelStart(), edit.SelLength()));
    }

    void Type(int index, const std::string& keys) {
        for (char key : keys)
            Edit(index).UserType(key);
    }
    // Types `keys` into the box with the caret at the end of its text.
    void TypeAtEnd(int index, const std::string& keys) {
        Edit(index).SetSelection(int(Edit(index).Text().size()), 0);
        Type(index, keys);
    }
    // Replaces the box's text by typing.
    void TypeOver(int index, const std::string& keys) {
        Edit(index).UserClick();
        Type(index, keys);
    }
    void ClickShiftMode(int output) { Form->ShiftModes[output - 1]->UserClick(); }
};

TEST_F(Bindings, EachKindShowsItsValueInItsOwnViewsAndOnlyCornersRedraw) {
    int redraws = Form->DiagramRedraws;
    Bar(TLX1).SetPosition(100);
    EXPECT_EQ(Text(TLX1), "100");
    EXPECT_EQ(Label(TLX1), "100");
    EXPECT_EQ(Form->DiagramRedraws, ++redraws);
    Bar(TRY1).SetPosition(7);
    EXPECT_EQ(Text(TRY1), "7");
    EXPECT_EQ(Label(TRY1), "7");
    EXPECT_EQ(Form->DiagramRedraws, ++redraws);

    Bar(WRHIndex).SetPosition(150);
    Bar(WPVIndex).SetPosition(9);
    Bar(LRIndex).SetPosition(10);
    Bar(LTIndex).SetPosition(321);
    EXPECT_EQ(Label(WRHIndex), "150");
    EXPECT_EQ(Text(WPVIndex), "9");
    EXPECT_EQ(Label(LRIndex), "10");
    EXPECT_EQ(Text(LTIndex), "321");
    EXPECT_EQ(Form->DiagramRedraws, redraws);

    Bar(TLX1).SetPosition(100); // no change, no reaction
    EXPECT_EQ(Form->DiagramRedraws, redraws);
}

TEST_F(Bindings, TypedCornerValuesAreClampedToTheLimit) {
    Bar(TLX1).SetPosition(1920);
    TypeAtEnd(TLX1, "0");
    EXPECT_EQ(Text(TLX1), "1920");
    EXPECT_EQ(Bar(TLX1).Position(), 1920);

    TypeOver(TLY1, "5000");
    EXPECT_EQ(Text(TLY1), "1080");
    EXPECT_EQ(Label(TLY1), "1080");
    EXPECT_EQ(Bar(TLY1).Position(), 1080);

    Form->Limits.MaxX = 1280;
    TypeOver(TRX2, "1500");
    EXPECT_EQ(Text(TRX2), "1280");
    EXPECT_EQ(Bar(TRX2).Position(), 1280);
}

TEST_F(Bindings, TextThatIsNotANumberBecomesZeroAndNegativesBecomeTheLimit) {
    Bar(TLX1).SetPosition(100);
    Edit(TLX1).UserClick();
    Type(TLX1, "\b");
    EXPECT_EQ(Text(TLX1), "0");
    EXPECT_EQ(Label(TLX1), "0");
    EXPECT_EQ(Bar(TLX1).Position(), 0);

    // Text set by the program is not filtered by keys.
    Edit(TRY1).SetText(u"-1");
    EXPECT_EQ(Text(TRY1), "1080");
    EXPECT_EQ(Bar(TRY1).Position(), 1080);
    Edit(TLX1).SetText(u"4294967295");
    EXPECT_EQ(Text(TLX1), "0");
    Edit(TLX1).SetText(u"12ab");
    EXPECT_EQ(Text(TLX1), "0");
    Edit(WPHIndex).SetText(u"-5");
    EXPECT_EQ(Bar(WPHIndex).Position(), 0);
    EXPECT_EQ(Text(WPHIndex), "0");
}

TEST_F(Bindings, WarpPositionAndLoopTimeClampSigned) {
    TypeOver(WPHIndex, "150");
    EXPECT_EQ(Text(WPHIndex), "100");
    EXPECT_EQ(Bar(WPHIndex).Position(), 100);

    TypeOver(LTIndex, "700");
    EXPECT_EQ(Text(LTIndex), "600");
    EXPECT_EQ(Bar(LTIndex).Position(), 600);

    Edit(LTIndex).SetText(u"");
    EXPECT_EQ(Text(LTIndex), "0");
    EXPECT_EQ(Bar(LTIndex).Position(), 0);
}

TEST_F(Bindings, KeyFilterDropsLettersAndSignsAndSpaceSelectsAll) {
    Bar(TLX1).SetPosition(250);
    TypeAtEnd(TLX1, "a-+.x\r");
    EXPECT_EQ(Text(TLX1), "250");
    EXPECT_EQ(Bar(TLX1).Position(), 250);

    Bar(LTIndex).SetPosition(12);
    TypeAtEnd(LTIndex, "-");
    EXPECT_EQ(Text(LTIndex), "12");

    TypeAtEnd(TLX1, " ");
    EXPECT_EQ(Text(TLX1), "250");
    EXPECT_EQ(Selected(TLX1), "250");
    Type(TLX1, "7");
    EXPECT_EQ(Text(TLX1), "7");
    EXPECT_EQ(Bar(TLX1).Position(), 7);
}

// A paste or a drop keeps the digits of its text, as if they were typed, then clamps.
TEST_F(Bindings, PastedTextKeepsItsDigitsAndIsClampedLikeTypedText) {
    struct Case {
        int index;
        std::u16string pasted;
        bool atEnd; // else over the whole text
        std::string text;
    };
    for (const Case& c : {Case{TLX1, u"1234", false, "1234"}, Case{TLX1, u"12a3", false, "123"},
                          Case{TLX1, u"5000", false, "1920"}, Case{TLX1, u" 5", true, "1920"},
                          Case{TLX1, u"x -", false, "1920"}, Case{TRY1, u"1 0\b0", false, "100"},
                          Case{LTIndex, u"9999", false, "600"}}) {
        SCOPED_TRACE(Utf16ToUtf8(c.pasted));
        Bar(c.index).SetPosition(c.index == LTIndex ? 0 : 1920);
        Edit(c.index).SetSelection(c.atEnd ? int(Edit(c.index).Text().size()) : 0,
                                   c.atEnd ? 0 : int(Edit(c.index).Text().size()));
        Edit(c.index).UserInsert(c.pasted);
        EXPECT_EQ(Text(c.index), c.text);
        EXPECT_EQ(std::to_string(Bar(c.index).Position()), c.text);
    }
    for (EditBox* edit : Form->Edits) // every filtered box
        if (edit != nullptr) {
            edit->SetText(u"3");
            edit->SetSelection(1, 0);
            edit->UserInsert(u"-7");
            edit->UserType(127); // Ctrl+Backspace
            EXPECT_EQ(edit->Text(), u"37") << edit->Name();
        }
}

TEST_F(Bindings, DeleteIsNoTypedCharacterAndPassesTheFilter) {
    Bar(TLX1).SetPosition(1234);
    Edit(TLX1).SetSelection(0, 0);
    Edit(TLX1).UserDelete();
    EXPECT_EQ(Text(TLX1), "234");
    EXPECT_EQ(Bar(TLX1).Position(), 234);
}

TEST_F(Bindings, ClickingOrEnteringABoxSelectsItsWholeText) {
    Bar(TLY1).SetPosition(345);
    for (int click = 0; click < 2; ++click) {
        Edit(TLY1).SetSelection(1, 0);
        Edit(TLY1).UserClick();
        EXPECT_EQ(Selected(TLY1), "345") << "click " << click;
    }
    Edit(LTIndex).UserEnter();
    EXPECT_EQ(Selected(LTIndex), "0");
}

TEST_F(Bindings, ShiftModeMovesTheTopRightCornerAlong) {
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1800);
    ClickShiftMode(1);
    EXPECT_FALSE(Bar(TRX1).Enabled());
    EXPECT_FALSE(Edit(TRX1).Enabled());
    EXPECT_FALSE(Bar(TRY1).Enabled());
    EXPECT_FALSE(Edit(TRY1).Enabled());

    Bar(TLX1).SetPosition(130);
    EXPECT_EQ(Bar(TRX1).Position(), 1830);
    EXPECT_EQ(Text(TRX1), "1830");
    EXPECT_EQ(Form->ShiftReference[0].X, 130);
    TypeOver(TLX1, "60");
    EXPECT_EQ(Bar(TLX1).Position(), 60);
    EXPECT_EQ(Bar(TRX1).Position(), 1760);

    ClickShiftMode(1);
    EXPECT_TRUE(Bar(TRX1).Enabled());
    EXPECT_TRUE(Edit(TRY1).Enabled());
}

TEST_F(Bindings, AShiftThatWouldLeaveTheRangeIsRefused) {
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1900);
    ClickShiftMode(1);
    const int redraws = Form->DiagramRedraws;
    Bar(TLX1).SetPosition(130);
    EXPECT_EQ(Bar(TLX1).Position(), 100);
    EXPECT_EQ(Text(TLX1), "100");
    EXPECT_EQ(Label(TLX1), "100");
    EXPECT_EQ(Bar(TRX1).Position(), 1900);
    EXPECT_EQ(Form->ShiftReference[0].X, 100);
    EXPECT_EQ(Form->DiagramRedraws, redraws + 1); // only the run for the reference value
    Bar(TLX1).SetPosition(120);                   // exactly to the top right's maximum
    EXPECT_EQ(Bar(TRX1).Position(), 1920);

    Bar(TLY1).SetPosition(5); // Y is shifted on its own: TR Y 0 -> 5
    EXPECT_EQ(Bar(TRY1).Position(), 5);
    Bar(TLY1).SetPosition(0);
    EXPECT_EQ(Bar(TRY1).Position(), 0);
}

// A maximum lowered below the shift's reference takes the top left there; the refused move
// back shows the value the bar was clamped to.
TEST_F(Bindings, ARefusedShiftBelowALoweredMaximumStaysAtThatMaximum) {
    Bar(TLX1).SetPosition(1900);
    Bar(TRX1).SetPosition(500);
    ClickShiftMode(1);
    Bar(TLX1).SetMax(1280);
    EXPECT_EQ(Bar(TLX1).Position(), 1280);
    EXPECT_EQ(Text(TLX1), "1280");
    EXPECT_EQ(Bar(TRX1).Position(), 500);
}

TEST_F(Bindings, TickingShiftModeAgainTakesAFreshReference) {
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1000);
    ClickShiftMode(1);
    Bar(TLX1).SetPosition(120);
    EXPECT_EQ(Bar(TRX1).Position(), 1020);
    ClickShiftMode(1);
    Bar(TLX1).SetPosition(200);
    EXPECT_EQ(Bar(TRX1).Position(), 1020);
    ClickShiftMode(1);
    EXPECT_EQ(Form->ShiftReference[0].X, 200);
    Bar(TLX1).SetPosition(210);
    EXPECT_EQ(Bar(TRX1).Position(), 1030);
}

TEST_F(Bindings, RealTimeLocksTheEditBoxesAndTransferButtonsOnly) {
    Form->RealTimeMode->UserClick();
    ASSERT_TRUE(Form->RealTimeMode->Checked());
    for (const ParameterInfo& info : Parameters) {
        EXPECT_TRUE(Bar(info.index).Enabled()) << info.barName;
        if (Form->Edits[info.index] != nullptr) {
            EXPECT_EQ(Edit(info.index).Enabled(), info.index == LTIndex) << info.editName;
        }
    }
    EXPECT_FALSE(Form->ReadBtn->Enabled());
    EXPECT_FALSE(Form->WriteBtn->Enabled());
    EXPECT_FALSE(Form->ResetBtn->Enabled());
    EXPECT_TRUE(Form->ShiftModes[0]->Enabled());
    EXPECT_TRUE(Form->TntButton1->Enabled());

    Form->RealTimeMode->UserClick();
    EXPECT_TRUE(Edit(TLX1).Enabled());
    EXPECT_TRUE(Edit(WPVIndex).Enabled());
    EXPECT_TRUE(Form->ReadBtn->Enabled());
}

TEST_F(Bindings, RealTimeLeavesTheOtherOutputsAloneInSingleOutputMode) {
    Form->SingleOutputMode = true;
    Edit(TRX2).SetEnabled(false);
    Form->RealTimeMode->UserClick();
    Form->RealTimeMode->UserClick();
    EXPECT_FALSE(Edit(TRX2).Enabled());
    EXPECT_TRUE(Edit(TRX1).Enabled());
}

TEST_F(Bindings, TheSwitchThatRanLastDecidesTheTopRightBoxes) {
    ClickShiftMode(1);
    Form->RealTimeMode->UserClick();
    Form->RealTimeMode->UserClick();
    EXPECT_TRUE(Edit(TRX1).Enabled()); // Real Time off ran last
    EXPECT_FALSE(Bar(TRX1).Enabled()); // Real Time never touches bars

    Form->RealTimeMode->UserClick();
    ClickShiftMode(1);
    EXPECT_TRUE(Edit(TRX1).Enabled()); // shift mode off ran last
    EXPECT_FALSE(Edit(TLX1).Enabled());
}

} // namespace
} // namespace pelmora::testing
