// Connecting to the virtual box, identifying it, and closing again.
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using namespace pelmora::testing;
using namespace std::chrono_literals;

emulator::BoxOptions BoxWith(int model, int outputMode) {
    emulator::BoxOptions options;
    options.Identity = {model, outputMode};
    return options;
}

bool IsX(int index) {
    return Parameters[index].axis == Axis::X;
}

class Connection : public FormFixture {
  protected:
    void ExpectCornerLimits(int width, int height) {
        for (int index = 0; index < OutputCount * 4; ++index)
            EXPECT_EQ(Form->Bars[index]->Max(), IsX(index) ? width : height) << index;
        for (int output = 1; output <= OutputCount; ++output)
            EXPECT_EQ(Value(CornerIndex(output, ParamKind::TopRight, Axis::X)), width) << output;
        EXPECT_EQ(Form->Limits.MaxX, width);
        EXPECT_EQ(Form->Limits.MaxY, height);
    }
    void ExpectOutputsEnabled(bool enabled) {
        for (int output = 2; output <= OutputCount; ++output) {
            const int first = CornerIndex(output, ParamKind::TopLeft, Axis::X);
            for (int index = first; index < first + 4; ++index) {
                EXPECT_EQ(Form->Bars[index]->Enabled(), enabled) << index;
                EXPECT_EQ(Form->Edits[index]->Enabled(), enabled) << index;
            }
            EXPECT_EQ(Form->ShiftModes[output - 1]->Enabled(), enabled) << output;
        }
        for (int index = 0; index < 4; ++index)
            EXPECT_TRUE(Form->Bars[index]->Enabled());
        EXPECT_TRUE(Form->ShiftModes[0]->Enabled());
    }
    void ExpectDeviceTexts(const std::string& model, const std::string& resolution) {
        EXPECT_EQ(TextOf(Form->StModel), model);
        EXPECT_EQ(TextOf(Form->STBarPanels[0]), model);
        EXPECT_EQ(TextOf(Form->StRes), resolution);
        EXPECT_EQ(TextOf(Form->STBarPanels[1]), resolution);
    }
};

TEST_F(Connection, AsksForTheOutputModeThenTheModel) {
    ASSERT_TRUE(Connect());
    EXPECT_EQ(BoxFrames(), (std::vector<std::string>{"S00OPMR000", "S00MDNR001"}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{100, 30}));
    EXPECT_EQ(TextOf(Form->CNTBTN), "Close");
    EXPECT_EQ(Form->CNTBTN->HelpContext, 13);
    EXPECT_EQ(Form->StepCounter, StepIdle);
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_FALSE(Form->Timer1.Running());
    ExpectDeviceTexts("P200", "1920 x 1080");
    EXPECT_TRUE(Boxes.Errors.empty());
}

TEST_F(Connection, SingleOutputModelKeepsTheResolutionOfItsCode) {
    Form->Bars[0]->SetPosition(1000); // TV1 top-left X, above the coming limit
    Form->Bars[1]->SetPosition(100);
    Form->Bars[3]->SetPosition(900); // TV1 top-right Y
    ASSERT_TRUE(Connect(BoxWith(105, 0)));
    ExpectCornerLimits(720, 480);
    ExpectOutputsEnabled(false);
    EXPECT_TRUE(Form->SingleOutputMode);
    EXPECT_EQ(Value(0), 720);
    EXPECT_EQ(Value(1), 100);
    EXPECT_EQ(Value(3), 480);
    ExpectDeviceTexts("P105", "720 x 480");
}

TEST_F(Connection, AShiftReferenceAboveTheNewLimitComesDownToIt) {
    Form->Bars[0]->SetPosition(1000); // TV1 top-left X and Y
    Form->Bars[1]->SetPosition(1000);
    Form->Bars[2]->SetPosition(100); // TV1 top-right X
    Form->ShiftModes[0]->UserClick();
    ASSERT_TRUE(Connect(BoxWith(105, 0)));
    EXPECT_EQ(Value(0), 720);
    EXPECT_EQ(TextOf(Form->Edits[0]), "720");
    EXPECT_EQ(TextOf(Form->Edits[1]), "480");
    Form->Bars[0]->SetPosition(719);
    EXPECT_EQ(Value(2), 719); // the top-right X, at the limit, follows by one
}

// A top-left Y clamped from 600 to 480 shifts its top-right Y by the same -120; one whose
// shift is refused takes the clamped value as its reference, so the next step moves again.
TEST_F(Connection, AClampedTopLeftCornerInShiftModeShiftsLikeAnyOtherMove) {
    struct Case {
        int model, topLeft, topRight, endTopRight;
    };
    for (const Case c : {Case{105, 600, 300, 180}, Case{200, 600, 300, 180},
                         Case{105, 1000, 50, 50}, Case{200, 1000, 50, 50}}) {
        SCOPED_TRACE(c.model * 10000 + c.topLeft);
        if (Form->ComPort1.Connected())
            Form->CNTBTN->UserClick();
        if (Form->ShiftModes[0]->Checked())
            Form->ShiftModes[0]->UserClick();
        Form->Bars[1]->SetPosition(c.topLeft); // TV1 top-left Y
        Form->Bars[3]->SetPosition(c.topRight);
        Form->ShiftModes[0]->UserClick();
        StartBox(BoxWith(c.model, 0));
        ASSERT_TRUE(Connect());
        EXPECT_EQ(Value(1), 480);
        EXPECT_EQ(Value(3), c.endTopRight);
        EXPECT_EQ(Form->ShiftReference[0].Y, 480);
        EXPECT_EQ(TextOf(Form->Edits[1]), "480");
        EXPECT_EQ(TextOf(Form->Values[1]), "480");
        Form->Bars[1]->SetPosition(479);
        EXPECT_EQ(Value(3), c.endTopRight - 1);
    }
}

TEST_F(Connection, BytesWaitingBeforeOpeningAreNotTakenForTheFirstReply) {
    StartBox(BoxWith(105, 6)).Inject("S00OPM0000\r\n");
    Pauses.Real = true; // the settle pause lets the stale answer arrive before the purge
    ASSERT_TRUE(Connect());
    ExpectDeviceTexts("P105", "1208 x 1024");
}

TEST_F(Connection, ResolutionEntrySixIs1208Wide) {
    ASSERT_TRUE(Connect(BoxWith(105, 6)));
    ExpectCornerLimits(1208, 1024);
    ExpectDeviceTexts("P105", "1208 x 1024");
}

TEST_F(Connection, EveryOtherModelIsFullHdWhateverItsCode) {
    ASSERT_TRUE(Connect(BoxWith(200, 0)));
    ExpectCornerLimits(1920, 1080);
    ExpectOutputsEnabled(true);
    EXPECT_FALSE(Form->SingleOutputMode);
    ExpectDeviceTexts("P200", "1920 x 1080");
}

TEST_F(Connection, UnknownCodesGiveTheDefaultRow) {
    for (const int code : {11, 999}) {
        SCOPED_TRACE(code);
        StartBox(BoxWith(105, code));
        ASSERT_TRUE(Connect());
        ExpectCornerLimits(1920, 1080);
        ExpectDeviceTexts("P105", "1920 x 1080");
        Form->CNTBTNClick();
        ASSERT_FALSE(Form->ComPort1.Connected());
    }
}

TEST_F(Connection, ClosingUndoesTheIdentification) {
    ASSERT_TRUE(Connect(BoxWith(105, 0)));
    Form->CNTBTNClick();
    EXPECT_FALSE(Form->ComPort1.Connected());
    EXPECT_EQ(TextOf(Form->CNTBTN), "Connect");
    EXPECT_EQ(Form->CNTBTN->HelpContext, 12);
    ExpectCornerLimits(1920, 1080);
    ExpectOutputsEnabled(true);
    EXPECT_FALSE(Form->SingleOutputMode);
    ExpectDeviceTexts("", "");
    PumpFor(50ms);
    EXPECT_EQ(BoxFrames().size(), 2u); // closing sends nothing
}

TEST_F(Connection, ClosingDuringATransferHidesThePanelAndLeavesTheWatchdogRunning) {
    ASSERT_TRUE(Connect());
    Box->SetSilent(true);
    Form->ReadBtnClick();
    ASSERT_FALSE(Form->StatusPanel->Hidden());
    Form->CNTBTNClick();
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_TRUE(Form->Timer1.Running());
    EXPECT_EQ(Form->StepCounter, ReadFirstStep);
}

TEST_F(Connection, APortThatCannotBeOpenedIsReportedAndNothingIsSent) {
    StartBox();
    const std::string missing = (Dir / "no-such-port").string();
    ChoosePort(*Form, missing);
    Form->StepCounter = StepDiscard;
    Form->CNTBTNClick();
    EXPECT_FALSE(Form->ComPort1.Connected());
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_FALSE(Boxes.Errors[0].empty());
    EXPECT_EQ(TextOf(Form->CNTBTN), "Connect");
    EXPECT_EQ(Form->CNTBTN->HelpContext, 12);
    EXPECT_EQ(Form->StepCounter, StepDiscard);
    PumpFor(50ms);
    EXPECT_TRUE(BoxFrames().empty());
}

TEST_F(Connection, RealTimeIsTurnedOffThroughItsHandlerWhenOpeningAndWhenClosing) {
    StartBox();
    Form->RealTimeMode->UserClick(); // ticked through its handler: the read button locks
    ASSERT_FALSE(Form->ReadBtn->Enabled());
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(Form->RealTimeMode->Checked());
    EXPECT_TRUE(Form->ReadBtn->Enabled());
    Form->RealTimeMode->UserClick();
    Form->CNTBTNClick();
    EXPECT_FALSE(Form->ComPort1.Connected());
    EXPECT_FALSE(Form->RealTimeMode->Checked());
    EXPECT_TRUE(Form->ReadBtn->Enabled());
}

} // namespace
} // namespace pelmora
