// Transfers against a box that falls silent, answers late, in pieces or with garbage, and a
// slot changed while a transfer runs.
#include "tests/protocol/transfer_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>

namespace pelmora {
namespace {

using namespace pelmora::testing;
using namespace std::chrono_literals;

class TransferFaults : public FormFixture {
  protected:
    void ConnectWith(emulator::BoxOptions options = {}) {
        ASSERT_TRUE(Connect(std::move(options)));
        Box->ClearFrames();
        Pauses.Pauses.clear();
    }
    // Runs `action` once, from inside the change handling of bar `index`.
    void OnFirstChangeOf(int index, std::function<void()> action) {
        auto done = std::make_shared<bool>(false);
        ScrollBar& bar = *Form->Bars[index];
        bar.OnChange = [done, action = std::move(action), handler = bar.OnChange] {
            handler();
            if (!*done) {
                *done = true;
                action();
            }
        };
    }
    void ExpectInRange(int index) {
        EXPECT_GE(Value(index), Form->Bars[index]->Min()) << index;
        EXPECT_LE(Value(index), Form->Bars[index]->Max()) << index;
    }
};

TEST_F(TransferFaults, SilentBoxIsReportedAfterTwoSecondsAndALateReplyResumes) {
    ConnectWith();
    SeedSlot(*Box, 0, SeedValues);
    // The fifth reply (step 4, TV2's top-left X) is the last the box gives.
    OnFirstChangeOf(4, [this] { Box->SetSilent(true); });
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntil([&] { return BoxFrames().size() == 6; }));
    const auto lastReply = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return !Boxes.Messages.empty(); }, 4s));
    const auto silence = std::chrono::steady_clock::now() - lastReply;
    EXPECT_GE(silence, 1900ms);
    EXPECT_LE(silence, 3000ms);
    EXPECT_EQ(Boxes.Messages, (std::vector<std::u16string>{u"Communication Error !!"}));
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_FALSE(Form->Timer1.Running());
    EXPECT_EQ(Form->StepCounter, 5);

    // The missing answer arrives late: the transfer goes on to its end, panel hidden.
    Box->SetSilent(false);
    Box->Inject("S00YAB0022\r\n");
    ASSERT_TRUE(PumpUntilFrames(22));
    EXPECT_EQ(Value(5), 22);
    EXPECT_EQ(Value(LTIndex), SeedValues[LTIndex]);
    EXPECT_EQ(Form->StepCounter, StepIdle);
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_FALSE(Form->Timer1.Running());
    EXPECT_EQ(Boxes.Messages.size(), 1u);
}

double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The box is unplugged (its pty hung up) while a read waits for its sixth reply: the window
// is disconnected at once with both messages, the values read stay, and Connect works again
// once the box is back.
TEST_F(TransferFaults, AHangUpMidReadDisconnectsAtOnceAndConnectWorksAgain) {
    using Clock = std::chrono::steady_clock;
    std::atomic<Clock::rep> hungUpAt{0};
    emulator::BoxOptions options;
    options.LinkPath = (Dir / "ttyBox").string();
    options.HangupAfter = 2 + 6; // identification's two frames, then six of the read
    options.OnHangup = [&] { hungUpAt = Clock::now().time_since_epoch().count(); };
    StartBox(options);
    SeedSlot(*Box, 0, SeedValues);
    ConnectWith();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntil([&] { return !Form->ComPort1.Connected(); }));
    const auto delay = Clock::now() - Clock::time_point(Clock::duration(hungUpAt.load()));
    EXPECT_LT(delay, 500ms);
    const double cpuBefore = ProcessCpuMilliseconds();
    PumpFor(1000ms);
    EXPECT_LT(ProcessCpuMilliseconds() - cpuBefore, 50.0);

    EXPECT_EQ(Boxes.Messages, (std::vector<std::u16string>{u"Communication Error !!"}));
    EXPECT_EQ(Boxes.Errors, (std::vector<std::u16string>{
                                u"The port was lost. Check the cable, then press Connect."}));
    EXPECT_FALSE(Form->Timer1.Running());
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_EQ(TextOf(Form->CNTBTN), "Connect");
    EXPECT_EQ(Form->CNTBTN->HelpContext, 12);
    EXPECT_EQ(TextOf(Form->StModel), "");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Value(i), SeedValues[i]) << i;

    options.HangupAfter = -1;
    StartBox(options);
    ASSERT_TRUE(Connect());
    EXPECT_EQ(TextOf(Form->CNTBTN), "Close");
    EXPECT_EQ(Boxes.Errors.size(), 1u);
}

TEST_F(TransferFaults, EveryReplyRestartsTheWatchdog) {
    emulator::BoxOptions options;
    options.ReplyDelayMs = 100; // a read's 22 replies take over 2 s, 0.1 s apart
    ConnectWith(options);
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22, 10s));
    EXPECT_TRUE(Boxes.Messages.empty());
}

TEST_F(TransferFaults, TheThousandsDigitCountsForCornersOnly) {
    ConnectWith();
    Values values = SeedValues;
    values[WRHIndex] = 1050; // the box answers "1050" for the warp ratio
    SeedSlot(*Box, 0, values);
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22));
    EXPECT_EQ(Value(WRHIndex), 50);
}

TEST_F(TransferFaults, AnotherSlotClickedDuringATransferTakesTheRemainingFrames) {
    ConnectWith();
    Form->Bars[5]->SetPosition(1); // the box answers 0: step 5's store is a change
    // During step 5 (TV2's top-left Y), "Index 7" is clicked.
    OnFirstChangeOf(5, [this] { Form->SlotButtons[6]->UserClick(); });
    Box->ClearFrames();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22));
    const std::vector<std::string> frames = BoxFrames();
    for (int i = 0; i < 22; ++i) {
        const std::string& frame = frames[i];
        const char slot = i < 16 ? frame[4] : frame[5];
        if (i >= 20)
            continue; // loop frames carry no slot
        EXPECT_EQ(slot, i <= 5 ? 'A' : 'G') << frame;
    }
}

TEST_F(TransferFaults, AWriteSendsABarMovedBeforeItsStep) {
    ConnectWith();
    Form->WriteBtnClick();
    // Moved while the transfer runs, before step 123 sends it: no live frame, the new value.
    Form->Bars[WRHIndex]->SetPosition(177);
    ASSERT_TRUE(PumpUntilFrames(24));
    const std::vector<std::string> frames = BoxFrames();
    ASSERT_EQ(frames.size(), 24u);
    EXPECT_EQ(frames[17], "S00HRA+177");
}

TEST_F(TransferFaults, GarbageRepliesAreClampedAndTheTransferEnds) {
    emulator::BoxOptions options;
    options.GarbageReplies = true;
    ConnectWith(options);
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22));
    for (int i = 0; i < ParameterCount; ++i)
        ExpectInRange(i);
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_EQ(Form->StepCounter, StepIdle);
    Form->WriteBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22 + 24));
    EXPECT_TRUE(Form->StatusPanel->Hidden());
}

TEST_F(TransferFaults, RepliesInPiecesRunOneStepEach) {
    emulator::BoxOptions options;
    options.SplitReplies = true;
    StartBox(options);
    SeedSlot(*Box, 0, SeedValues);
    ConnectWith();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22));
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(Value(i), SeedValues[i]) << i;
    EXPECT_TRUE(Form->StatusPanel->Hidden());
}

TEST_F(TransferFaults, TwelveBytesMakeAReplyAndTwentyMakeOnlyOne) {
    ConnectWith();
    Box->SetSilent(true);
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntil([&] { return BoxFrames().size() == 1; }));
    Box->Inject("S00XAA0123\r");
    PumpFor(150ms);
    EXPECT_EQ(Form->StepCounter, 0);
    EXPECT_EQ(Value(0), 0);
    Box->Inject("\n");
    ASSERT_TRUE(PumpUntil([&] { return Form->StepCounter == 1; }));
    EXPECT_EQ(Value(0), 123);
    Box->Inject("S00YAA0045\r\nS00YAA07");
    ASSERT_TRUE(PumpUntil([&] { return Form->StepCounter == 2; }));
    PumpFor(150ms);
    EXPECT_EQ(Form->StepCounter, 2);
    EXPECT_EQ(Value(1), 45);
    EXPECT_EQ(BoxFrames().size(), 3u);
}

TEST_F(TransferFaults, AReplyAfterTheTransferChangesNothing) {
    ConnectWith();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22));
    std::array<int, ParameterCount> before{};
    for (int i = 0; i < ParameterCount; ++i)
        before[i] = Value(i);
    Box->Inject("S00XAA1234\r\n");
    PumpFor(150ms);
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(Value(i), before[i]) << i;
    EXPECT_EQ(BoxFrames().size(), 22u);
    EXPECT_EQ(Form->StepCounter, StepIdle);
}

} // namespace
} // namespace pelmora
