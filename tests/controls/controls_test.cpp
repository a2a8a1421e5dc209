#include "controls/controls.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ScrollBarTest, ClampsAndNotifiesOnlyOnARealChange) {
    ScrollBar bar("Bar");
    bar.SetRange(0, 1920);
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    bar.SetPosition(2500);
    bar.SetPosition(1920);
    EXPECT_EQ(bar.Position(), 1920);
    bar.SetMax(720); // the position follows the new maximum, with its handling
    EXPECT_EQ(bar.Position(), 720);
    EXPECT_EQ(changes, 2);
}

TEST(ScrollBarTest, ArrowsAndTroughMoveByOne) {
    ScrollBar bar("Bar");
    bar.SetRange(25, 200);
    bar.SetPosition(100);
    bar.UserStep(ScrollBar::Step::PageRight);
    bar.UserStep(ScrollBar::Step::Right);
    EXPECT_EQ(bar.Position(), 102);
    bar.UserStep(ScrollBar::Step::PageLeft);
    EXPECT_EQ(bar.Position(), 101);
    bar.SetEnabled(false);
    bar.UserTrack(150);
    EXPECT_EQ(bar.Position(), 101);
}

TEST(EditBoxTest, TypedKeysPassTheFilterAndReplaceTheSelection) {
    EditBox edit("Edit");
    edit.SetText(u"12");
    edit.OnKeyPress = [](EditBox&, char32_t& key) {
        if (key != 8 && (key < '0' || key > '9'))
            key = 0;
    };
    edit.UserClick();
    edit.UserType('7');
    edit.UserType('x');
    edit.UserType(127); // Ctrl+Backspace
    edit.UserType('3');
    EXPECT_EQ(edit.Text(), u"73");
    edit.UserType(8);
    EXPECT_EQ(edit.Text(), u"7");
    edit.UserInsert(u"9x9"); // a paste or a drop meets the filter character by character
    EXPECT_EQ(edit.Text(), u"799");
    edit.SelectAll();
    edit.UserInsert(u"x"); // nothing passes: the selection stays
    EXPECT_EQ(edit.Text(), u"799");
}

TEST(EditBoxTest, ControlCharactersInsertNothingAndBackspaceAndDeleteStopAtTheEnds) {
    EditBox edit("Edit");
    edit.SetText(u"ab");
    edit.SetSelection(0, 0);
    for (char32_t key : {char32_t(8), char32_t(127), char32_t(27), char32_t(0x10000)})
        edit.UserType(key); // Backspace at the start, Ctrl+Backspace, Escape, beyond 16 bits
    EXPECT_EQ(edit.Text(), u"ab");
    edit.UserType(' ');
    EXPECT_EQ(edit.Text(), u" ab");
    edit.SetSelection(0, 0);
    edit.UserDelete();
    EXPECT_EQ(edit.Text(), u"ab");
    edit.UserDelete();
    edit.UserDelete();
    edit.UserDelete(); // at the end
    EXPECT_EQ(edit.Text(), u"");
    // A character the filter changes is dropped from a paste, as are control characters.
    edit.OnKeyPress = [](EditBox&, char32_t& key) { key = key == 'x' ? 'y' : key; };
    edit.UserInsert(u"x \u007F\tc");
    EXPECT_EQ(edit.Text(), u" c");
}

TEST(EditBoxTest, NotifiesEveryChangeAlsoNestedOnes) {
    EditBox edit("Edit");
    std::vector<std::u16string> seen;
    edit.OnChange = [&] {
        seen.push_back(edit.Text());
        if (edit.Text().size() > 2)
            edit.SetText(u"99");
    };
    edit.SetText(u"123");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"123", u"99"}));
    EXPECT_EQ(edit.Text(), u"99");
}

TEST(CheckBoxTest, RadioButtonsExcludeEachOtherAndOnlyClicksRunHandlers) {
    RadioGroup group;
    CheckBox a(ControlKind::RadioButton, "A"), b(ControlKind::RadioButton, "B");
    group.Add(a);
    group.Add(b);
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    a.SetChecked(true);
    b.UserClick();
    b.UserClick();
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(ProgressBarTest, PositionStaysInsideItsRange) {
    ProgressBar bar("Progress");
    bar.SetRange(2, 24);
    bar.SetPosition(200);
    EXPECT_EQ(bar.Position(), 24);
    bar.SetRange(0, 10);
    EXPECT_EQ(bar.Position(), 10);
}

} // namespace
} // namespace pelmora
