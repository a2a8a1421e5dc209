// Editing in the diagram and undo: a corner dragged or nudged moves as its bars would, live
// frames follow at their pace, and each gesture is one step back.
#include "support/form_fixture.h"

#include <cstdlib>

namespace pelmora::testing {
namespace {

const DiagramMapping Tabled(DiagramPicture.Width, DiagramPicture.Height);

constexpr int TLX1 = CornerIndex(1, ParamKind::TopLeft, Axis::X);
constexpr int TLY1 = CornerIndex(1, ParamKind::TopLeft, Axis::Y);
constexpr int TRX1 = CornerIndex(1, ParamKind::TopRight, Axis::X);
constexpr int TRX2 = CornerIndex(2, ParamKind::TopRight, Axis::X);
constexpr int TRY2 = CornerIndex(2, ParamKind::TopRight, Axis::Y);

class DiagramEditingTest : public FormFixture {
  protected:
    // Presses at logical `from`, moves through `path` and lets go at its last point; the
    // moves are applied once, as a face does after the queued ones.
    void Drag(Point from, const std::vector<Point>& path) {
        Form->DiagramPointerPress(Tabled.ToPixel(from));
        for (const Point& to : path)
            Form->DiagramPointerMove(Tabled.ToPixel(to));
        Form->DiagramApplyMove();
        Form->DiagramPointerRelease(Tabled.ToPixel(path.back()));
    }
    void Set(int index, int value) { Form->Bars[index]->SetPosition(value); }
    std::string SetFrame(int index, int value) {
        const Frame frame = Form->Frames.ParameterSet(index, value);
        return std::string(frame.begin(), frame.begin() + 10);
    }
    // Within half a pixel of the picture (4.2 units), where the pointer can stand.
    void ExpectNear(int index, int value) {
        EXPECT_LE(std::abs(Value(index) - value), 2) << Parameters[index].barName;
    }
};

TEST_F(DiagramEditingTest, ADragMovesTheCornersBarsAndViewsAndIsOneStepBack) {
    Set(TRX2, 1600);
    Drag({1600, 0}, {{1550, 20}, {1500, 50}});
    ExpectNear(TRX2, 1500);
    ExpectNear(TRY2, 50);
    EXPECT_EQ(TextOf(Form->Edits[TRY2]), std::to_string(Value(TRY2)));
    EXPECT_EQ(Form->SelectedHandle, (DiagramHandle{2, ParamKind::TopRight}));
    EXPECT_EQ(Form->History.UndoCount(), 1u);

    Form->Undo();
    EXPECT_EQ(Value(TRX2), 1600);
    EXPECT_EQ(Value(TRY2), 0);
    Form->Redo();
    ExpectNear(TRX2, 1500);
    ExpectNear(TRY2, 50);
}

TEST_F(DiagramEditingTest, DragsClampShiftAndKeepToTv1InSingleOutputMode) {
    Form->SingleOutputMode = true; // TV2..TV4 have no handles: TV1's top-left is hit
    Drag({0, 0}, {{-500, 5000}});
    EXPECT_EQ(Value(TLX1), 0);
    EXPECT_EQ(Value(TLY1), DefaultMaxY);

    Set(TLY1, 0);
    Set(TRX1, 1800);
    Form->ShiftModes[0]->UserClick();
    Drag({0, 0}, {{30, 0}});
    ExpectNear(TLX1, 30);
    EXPECT_EQ(Value(TRX1), 1800 + Value(TLX1)) << "the top edge moves as a whole";
    Drag({Value(TRX1), 0}, {{1000, 0}});
    EXPECT_EQ(Value(TRX1), 1800 + Value(TLX1)) << "a shifted top-right corner stays";
}

TEST_F(DiagramEditingTest, KeysSelectAndNudgeTheCornerAndNameIt) {
    using Key = TForm1::DiagramKey;
    Form->ImgOn->UserClick();
    EXPECT_TRUE(Form->DiagramKeyPress(Key::NextHandle, false));
    EXPECT_TRUE(Form->DiagramKeyPress(Key::Right, false));
    EXPECT_TRUE(Form->DiagramKeyPress(Key::Down, true));
    EXPECT_EQ(Value(TLX1), 1);
    EXPECT_EQ(Value(TLY1), 10);
    EXPECT_EQ(Diagram.Last.Status, u"TV1 Top Left: 1, 10");
    Form->DiagramKeyPress(Key::PreviousHandle, false);
    EXPECT_EQ(Form->SelectedHandle, (DiagramHandle{4, ParamKind::TopRight}));
    Form->Undo();
    EXPECT_EQ(Value(TLY1), 0) << "each key press is a step";
    EXPECT_EQ(Value(TLX1), 1);
}

TEST_F(DiagramEditingTest, LiveDragSendsOnlyTheLatestPositionAndUndoSendsTheOldOne) {
    ASSERT_TRUE(Connect());
    Form->RealTimeMode->UserClick();
    const std::size_t before = Box->Frames().size();
    Set(TRX2, 1600);
    ASSERT_TRUE(PumpUntilFrames(before + 1));
    ForgetBoxFrames();
    Pauses.Pauses.clear();
    Drag({1600, 0}, {{1590, 0}, {1580, 10}, {1500, 50}});
    const std::vector<std::string> drag = {SetFrame(TRX2, Value(TRX2)),
                                           SetFrame(TRY2, Value(TRY2))};
    ASSERT_TRUE(PumpUntilFrames(2));
    EXPECT_EQ(BoxFrames(), drag) << "the moves queued behind the first are skipped";
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{60, 60}));

    ForgetBoxFrames();
    Form->Undo();
    ASSERT_TRUE(PumpUntilFrames(2));
    EXPECT_EQ(BoxFrames(), (std::vector<std::string>{SetFrame(TRX2, 1600), SetFrame(TRY2, 0)}));
}

TEST_F(DiagramEditingTest, EachGestureIsOneStepAndTransfersAreNeverUndone) {
    EditBox& edit = *Form->Edits[TLX1];
    edit.UserClick();
    for (char32_t key : {U'4', U'2'})
        edit.UserType(key);
    edit.UserLeave();
    for (int i = 0; i < 3; ++i)
        Form->Bars[WRHIndex]->UserStep(ScrollBar::Step::Right);
    Form->ResetBtnClick();
    EXPECT_EQ(Form->History.UndoCount(), 3u);
    Form->Undo();
    EXPECT_EQ(Value(TLX1), 42);
    EXPECT_EQ(Value(WRHIndex), 103);
    Form->Undo();
    EXPECT_EQ(Value(WRHIndex), 100);
    Form->Undo();
    EXPECT_EQ(Value(TLX1), 0);

    Form->StatusPanel->Show();
    Form->Redo();
    EXPECT_EQ(Value(TLX1), 0) << "not while a transfer runs";
    Form->StatusPanel->Hide();

    for (int i = 0; i < 150; ++i) // alternating bars: each run of steps is a gesture
        Form->Bars[i % 2 == 0 ? LTIndex : TLX1]->UserStep(ScrollBar::Step::Right);
    for (int i = 0; i < 150; ++i)
        Form->Undo();
    EXPECT_EQ(Form->History.RedoCount(), 150u);
    EXPECT_EQ(Value(LTIndex), 0);
    EXPECT_EQ(Value(TLX1), 0);
}

TEST_F(DiagramEditingTest, ADeleteInAnEditBoxIsAStepOfItsOwn) {
    EditBox& edit = *Form->Edits[WPHIndex];
    edit.SetSelection(0, 0);
    edit.UserDelete(); // "50" becomes "0"
    edit.UserLeave();
    EXPECT_EQ(Value(WPHIndex), 0);
    Form->Undo();
    EXPECT_EQ(Value(WPHIndex), 50);
}

TEST(UndoHistoryTest, KeepsTheLatestStepsUpToItsDepthAndNoEmptyOnes) {
    UndoHistory history;
    ParameterValues values{};
    for (std::size_t step = 0; step <= UndoHistory::Depth; ++step) {
        ParameterValues next = values;
        ++next[0];
        history.Record(values, next);
        values = next;
    }
    history.Record(values, values);
    EXPECT_EQ(history.UndoCount(), UndoHistory::Depth);
    EXPECT_EQ(history.Undo()->at(0), int(UndoHistory::Depth));
}

} // namespace
} // namespace pelmora::testing
