// Live adjustment against the virtual box: which changes reach the box, as which frames, with
// which pauses, and what a failed write does.
#include "support/form_fixture.h"

#include "storage/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

namespace pelmora::testing {
namespace {

using Frames = std::vector<std::string>;

constexpr int TLX1 = CornerIndex(1, ParamKind::TopLeft, Axis::X);
constexpr int TLY1 = CornerIndex(1, ParamKind::TopLeft, Axis::Y);
constexpr int TRX1 = CornerIndex(1, ParamKind::TopRight, Axis::X);
constexpr int TRY1 = CornerIndex(1, ParamKind::TopRight, Axis::Y);

const std::string MmbOn = "S00MMB+001";
const std::string MmbOff = "S00MMB+000";

class Live : public FormFixture {
  protected:
    ScrollBar& Bar(int index) { return *Form->Bars[index]; }

    // Connected, Real Time ticked, and nothing recorded yet.
    void GoLive() {
        ASSERT_TRUE(Connect());
        Click(Form->RealTimeMode);
        ASSERT_TRUE(Form->RealTimeMode->Checked());
        ForgetTraffic();
    }
    void ForgetTraffic() {
        ForgetBoxFrames();
        Pauses.Pauses.clear();
    }
    template <class C> static void Click(C* control) { control->UserClick(); }

    static void Drag(ScrollBar& bar, std::initializer_list<int> positions) {
        for (int position : positions)
            bar.UserTrack(position);
    }

    // The frames received once the box has seen `count` of them.
    Frames FramesAfter(std::size_t count) {
        EXPECT_TRUE(PumpUntilFrames(count)) << "frames so far: " << Box->Frames().size();
        return Box->Frames();
    }

    // The frames sent before a change known to be sent (loop range 0 -> 1): once its frame has
    // arrived, everything written before it has arrived too.
    Frames FramesUpToMarker() {
        Bar(LRIndex).SetPosition(Bar(LRIndex).Position() + 1);
        const auto isMarker = [](const std::string& frame) { return frame.starts_with("S00MLR+"); };
        if (!PumpUntil([&] { return std::ranges::any_of(Box->Frames(), isMarker); })) {
            ADD_FAILURE() << "the marker never arrived";
            return Box->Frames();
        }
        Frames frames = Box->Frames();
        EXPECT_EQ(std::ranges::count_if(frames, isMarker), 1);
        EXPECT_TRUE(isMarker(frames.back())) << "the marker is the last frame";
        frames.erase(std::ranges::find_if(frames, isMarker), frames.end());
        return frames;
    }
};

TEST_F(Live, TickingRealTimeSendsNothingAndTheNextDragGoesToTheSelectedSlot) {
    ASSERT_TRUE(Connect());
    Click(Form->SlotButtons[2]); // "Index 3"
    ForgetTraffic();
    Click(Form->RealTimeMode);
    Drag(Bar(TLX1), {100});
    EXPECT_EQ(FramesAfter(1), Frames{"S00XCA0100"});
    EXPECT_EQ(Pauses.Pauses, std::vector<int>{60});
    EXPECT_EQ(Form->StepCounter, StepDiscard);
}

TEST_F(Live, EveryKindSendsItsSetFrameWithItsPause) {
    GoLive();
    Bar(TRY1).SetPosition(5);
    Bar(TLY1).SetPosition(1080);
    Bar(WRVIndex).SetPosition(25);
    Bar(WPHIndex).SetPosition(0);
    Bar(LRIndex).SetPosition(10);
    Bar(LTIndex).SetPosition(600);
    EXPECT_EQ(FramesAfter(6), (Frames{"S00VAA0005", "S00YAA1080", "S00VRA+025", "S00HPA+000",
                                      "S00MLR+00:", "S00MLT+600"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{60, 60, 10, 10, 10, 10}));
}

TEST_F(Live, AChangeToTheSameValueSendsNothing) {
    GoLive();
    Bar(TLX1).SetPosition(100);
    Bar(TLX1).SetPosition(100);
    Bar(TLX1).SetPosition(-5); // clamps to 0: a change
    Bar(TLX1).SetPosition(0);
    EXPECT_EQ(FramesUpToMarker(), (Frames{"S00XAA0100", "S00XAA0000"}));
}

TEST_F(Live, DraggingTheWarpRatioSendsWarpFramesAndNeverRedraws) {
    GoLive();
    const int redraws = Form->DiagramRedraws;
    Drag(Bar(WRHIndex), {101, 102, 103});
    EXPECT_EQ(FramesAfter(3), (Frames{"S00HRA+101", "S00HRA+102", "S00HRA+103"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{10, 10, 10}));
    EXPECT_EQ(Form->DiagramRedraws, redraws);
    EXPECT_EQ(TextOf(Form->Values[WRHIndex]), "103");
}

TEST_F(Live, NothingIsSentWhileTheGateIsClosed) {
    ASSERT_TRUE(Connect());
    ForgetTraffic();
    Bar(TLX1).SetPosition(11); // Real Time off
    Click(Form->RealTimeMode);
    Form->StatusPanel->Show(); // a sequence running
    Bar(TLX1).SetPosition(12);
    Form->StatusPanel->Hide();
    EXPECT_EQ(FramesUpToMarker(), Frames{});
    EXPECT_EQ(Pauses.Pauses, std::vector<int>{10}); // the marker's only

    Form->ComPort1.Close();
    Bar(TLX1).SetPosition(13);
    EXPECT_TRUE(Boxes.Errors.empty());
}

TEST_F(Live, TypingIntoLoopTimeSendsOneFramePerKeystroke) {
    GoLive();
    ASSERT_TRUE(Form->Edits[LTIndex]->Enabled());
    Form->Edits[LTIndex]->UserClick();
    for (char digit : std::string("120"))
        Form->Edits[LTIndex]->UserType(digit);
    EXPECT_EQ(FramesAfter(3), (Frames{"S00MLT+001", "S00MLT+012", "S00MLT+120"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{10, 10, 10}));
}

TEST_F(Live, AShiftedMoveSendsTopRightThenTopLeftEachAnnounced) {
    GoLive();
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1800);
    Click(Form->ShiftModes[0]);
    ForgetTraffic();

    Bar(TLX1).SetPosition(130);
    EXPECT_EQ(FramesAfter(4), (Frames{MmbOn, "S00UAA1830", MmbOff, "S00XAA0130"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{10, 60, 10, 60}));
    EXPECT_EQ(Bar(TRX1).Position(), 1830);
    EXPECT_EQ(Form->ShiftReference[0].X, 130);
}

TEST_F(Live, ARefusedShiftSendsOnlyTheTopLeftReference) {
    GoLive();
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1900);
    Click(Form->ShiftModes[0]);
    ForgetTraffic();

    Bar(TLX1).SetPosition(130);
    EXPECT_EQ(FramesUpToMarker(), (Frames{MmbOff, "S00XAA0100"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{10, 60, 10}));
    EXPECT_EQ(Bar(TLX1).Position(), 100);
    EXPECT_EQ(Bar(TRX1).Position(), 1900);
}

TEST_F(Live, TickingRealTimeDuringAReadEchoesNothing) {
    StartBox().WithState([](emulator::BoxState& state) {
        state.Memory.Slots[0].Corners[0] = 123;
        state.Memory.Slots[0].Warp[0] = 77;
        state.Memory.LoopTime = 321;
    });
    ASSERT_TRUE(Connect());
    ForgetTraffic();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntil([&] { return Box->Frames().size() >= 3; }));
    Form->RealTimeMode->SetChecked(true);
    Form->RealTimeModeClick();
    ASSERT_TRUE(PumpUntilPanelHidden());
    ASSERT_EQ(Bar(TLX1).Position(), 123);
    ASSERT_EQ(Bar(LTIndex).Position(), 321);
    const Frames frames = FramesUpToMarker();
    EXPECT_EQ(frames.size(), std::size_t(ParameterCount));
    for (const std::string& frame : frames)
        EXPECT_EQ(frame[6], 'R') << frame; // queries only
}

TEST_F(Live, ConnectOrCloseWhileLiveUnticksRealTimeFirst) {
    GoLive();
    Click(Form->CNTBTN);
    EXPECT_FALSE(Form->ComPort1.Connected());
    EXPECT_FALSE(Form->RealTimeMode->Checked());
    EXPECT_TRUE(Form->Edits[TLX1]->Enabled());
    EXPECT_TRUE(Form->Edits[WPVIndex]->Enabled());
    EXPECT_TRUE(Form->ReadBtn->Enabled());
    EXPECT_TRUE(Form->ResetBtn->Enabled());

    ASSERT_TRUE(Connect());
    EXPECT_FALSE(Form->RealTimeMode->Checked());
    ForgetTraffic();
    Bar(TLX1).SetPosition(42);
    Click(Form->RealTimeMode);
    Bar(TLX1).SetPosition(43);
    EXPECT_EQ(FramesAfter(1), Frames{"S00XAA0043"});
}

TEST_F(Live, ResetWithShiftModeKeepsTheReferenceWhenTheShiftIsRefused) {
    Bar(TLX1).SetPosition(300);
    Bar(TRX1).SetPosition(200);
    Click(Form->ShiftModes[0]);
    Form->ResetBtnClick();
    EXPECT_EQ(Bar(TLX1).Position(), 300);
    EXPECT_EQ(TextOf(Form->Edits[TLX1]), "300");
    EXPECT_EQ(Bar(TRX1).Position(), 1920);
    EXPECT_EQ(Bar(TRY1).Position(), 0);
}

// Pauses that can act at the moment of a pause, inside the running handler.
class HookPause final : public Pause {
  public:
    void Sleep(int milliseconds) override {
        Pauses.push_back(milliseconds);
        if (OnPause)
            OnPause();
    }
    std::vector<int> Pauses;
    std::function<void()> OnPause;
};

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST_F(Live, AFailedWriteEndsTheChangeAndIsShownOnce) {
    HookPause pause;
    FormServices services = For(Dir);
    services.pause = &pause;
    Loop.reset();
    Form = std::make_unique<TForm1>(std::move(services));
    Loop = std::make_unique<HeadlessLoop>(*Form);
    StartBox();
    Form->ComPort1.SetPort(Box->DevicePath());
    Form->ComPort1.Open();
    Bar(TLX1).SetPosition(100);
    Bar(TRX1).SetPosition(1800);
    Click(Form->ShiftModes[0]);
    Click(Form->RealTimeMode);
    pause.Pauses.clear();
    // The box goes away right after the first frame of the move (MMB on) has reached it.
    pause.OnPause = [&] {
        pause.OnPause = nullptr;
        ASSERT_TRUE(Box->WaitForFrames(1, std::chrono::seconds(5)));
        Box->Hangup();
        ASSERT_TRUE(WaitFor([&] { return Box->HungUp(); }));
    };

    Form->RunGuarded([&] { Bar(TLX1).UserStep(ScrollBar::Step::Right); });
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_EQ(Boxes.Errors[0],
              u"WriteFile function failed (Error: " + Utf8ToUtf16(std::to_string(EIO)) + u")");
    EXPECT_EQ(Box->Frames(), Frames{MmbOn});
    EXPECT_EQ(pause.Pauses, std::vector<int>{10}); // nothing after the failed write
    const int step = Bar(TLX1).Position() - 100;   // the values stay changed locally
    EXPECT_EQ(std::abs(step), 1);
    EXPECT_EQ(Bar(TRX1).Position(), 1800 + step);

    Form->RunGuarded([&] { Bar(WRHIndex).UserStep(ScrollBar::Step::Right); }); // the tool goes on
    EXPECT_EQ(Boxes.Errors.size(), 2u);
    EXPECT_NE(Bar(WRHIndex).Position(), 100);
    EXPECT_EQ(TextOf(Form->Values[WRHIndex]), std::to_string(Bar(WRHIndex).Position()));
    Loop.reset(); // the loop refers to the form
    Form.reset();
}

} // namespace
} // namespace pelmora::testing
