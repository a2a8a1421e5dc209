// Read, Write, Reset and the profile commands against the virtual box.
#include "tests/protocol/transfer_support.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using namespace pelmora::testing;
using namespace std::chrono_literals;

constexpr int SlotIndex3 = 2;

std::vector<int> FramePausesThenEnd(int frames) {
    std::vector<int> pauses(frames, 30);
    pauses.push_back(500);
    return pauses;
}

Values FormValues(const TForm1& form) {
    Values values{};
    for (int i = 0; i < ParameterCount; ++i)
        values[i] = form.Bars[i]->Position();
    return values;
}

class Transfer : public FormFixture {
  protected:
    // Connects, then forgets the identification's frames and pauses.
    void ConnectTo(int model = 200, int outputMode = 2) {
        emulator::BoxOptions options;
        options.Identity = {model, outputMode};
        ASSERT_TRUE(Connect(options));
        Box->ClearFrames();
        Pauses.Pauses.clear();
    }
    void SetValues(const Values& values) {
        for (int i = 0; i < ParameterCount; ++i)
            Form->Bars[i]->SetPosition(values[i]);
    }
    void ExpectTransferEnded() {
        EXPECT_TRUE(Form->StatusPanel->Hidden());
        EXPECT_FALSE(Form->Timer1.Running());
        EXPECT_EQ(Form->StepCounter, StepIdle);
        EXPECT_TRUE(Boxes.Messages.empty());
        EXPECT_TRUE(Boxes.Errors.empty());
    }
};

TEST_F(Transfer, ReadFetchesEveryParameterOfTheSelectedSlot) {
    ConnectTo();
    SeedSlot(*Box, SlotIndex3, SeedValues);
    Form->SlotButtons[SlotIndex3]->UserClick();
    Form->ReadBtnClick();
    EXPECT_FALSE(Form->StatusPanel->Hidden());
    EXPECT_TRUE(Form->Timer1.Running());
    ASSERT_TRUE(PumpUntilFrames(22));
    const std::vector<std::string> expected = {
        "S00XCAR000", "S00YCAR000", "S00UCAR000", "S00VCAR000", "S00XCBR000", "S00YCBR000",
        "S00UCBR000", "S00VCBR000", "S00XCCR000", "S00YCCR000", "S00UCCR000", "S00VCCR000",
        "S00XCDR000", "S00YCDR000", "S00UCDR000", "S00VCDR000", "S00HRCR000", "S00VRCR000",
        "S00HPCR000", "S00VPCR000", "S00MLRR000", "S00MLTR000"};
    EXPECT_EQ(BoxFrames(), expected);
    EXPECT_EQ(FormValues(*Form), SeedValues);
    EXPECT_EQ(Form->ProgressBar1->Max(), 19);
    EXPECT_EQ(Form->ProgressBar1->Position(), 19);
    EXPECT_EQ(Pauses.Pauses, FramePausesThenEnd(21));
    ExpectTransferEnded();
}

TEST_F(Transfer, ReadOfASingleOutputBoxLeavesTheOtherOutputsAlone) {
    ConnectTo(105, 2);
    SeedSlot(*Box, 0, SeedValues);
    const Values before = FormValues(*Form);
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(10));
    const std::vector<std::string> expected = {
        "S00XAAR000", "S00YAAR000", "S00UAAR000", "S00VAAR000", "S00HRAR000",
        "S00VRAR000", "S00HPAR000", "S00VPAR000", "S00MLRR000", "S00MLTR000"};
    EXPECT_EQ(BoxFrames(), expected);
    const Values after = FormValues(*Form);
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(after[i], (i < 4 || i >= 16) ? SeedValues[i] : before[i]) << i;
    EXPECT_EQ(Pauses.Pauses, FramePausesThenEnd(9));
    ExpectTransferEnded();
}

TEST_F(Transfer, WriteSendsEveryBarsValue) {
    ConnectTo();
    Form->SlotButtons[SlotIndex3]->UserClick();
    SetValues(SeedValues);
    Form->WriteBtnClick();
    EXPECT_EQ(Form->ProgressBar1->Min(), 100);
    EXPECT_EQ(Form->ProgressBar1->Max(), 128);
    ASSERT_TRUE(PumpUntilFrames(24));
    EXPECT_EQ(BoxFrames(), WriteFrames('C', SeedValues));
    EXPECT_EQ(BoxFrames()[20], "S00MMB+000");
    EXPECT_EQ(Pauses.Pauses, FramePausesThenEnd(23));
    EXPECT_EQ(Form->ProgressBar1->Position(), 128);
    ExpectTransferEnded();
    // What was written reads back the same.
    SetValues({});
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(24 + 22));
    EXPECT_EQ(FormValues(*Form), SeedValues);
}

TEST_F(Transfer, WriteOfASingleOutputBoxSendsTV1Only) {
    ConnectTo(105, 2);
    SetValues(SeedValues);
    Form->WriteBtnClick();
    ASSERT_TRUE(PumpUntilFrames(12));
    EXPECT_EQ(BoxFrames(), WriteFrames('A', SeedValues, true));
    ExpectTransferEnded();
}

TEST_F(Transfer, ResetRestoresTheDefaultsAndWritesThem) {
    ConnectTo(105, 0); // limits 720 x 480: the reset's top-right X is 720
    SetValues(SeedValues);
    Form->ResetBtnClick();
    Values defaults{};
    for (int i = 0; i < ParameterCount; ++i)
        defaults[i] = ResetValue(i, 720);
    EXPECT_EQ(FormValues(*Form), defaults);
    EXPECT_EQ(Form->ProgressBar1->Max(), 127);
    ASSERT_TRUE(PumpUntilFrames(12));
    EXPECT_EQ(BoxFrames(), WriteFrames('A', defaults, true));
    ExpectTransferEnded();
}

TEST_F(Transfer, ResetOfAFourOutputBoxWritesAllDefaults) {
    ConnectTo();
    SetValues(SeedValues);
    Form->ResetBtnClick();
    Values defaults{};
    for (int i = 0; i < ParameterCount; ++i)
        defaults[i] = Parameters[i].startValue;
    EXPECT_EQ(FormValues(*Form), defaults);
    ASSERT_TRUE(PumpUntilFrames(24));
    EXPECT_EQ(BoxFrames(), WriteFrames('A', defaults));
    ExpectTransferEnded();
}

TEST_F(Transfer, ResetWithThePortClosedOnlyResetsTheEditor) {
    SetValues(SeedValues);
    Form->ResetBtnClick();
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(Value(i), Parameters[i].startValue) << i;
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_TRUE(Pauses.Pauses.empty());
}

TEST_F(Transfer, ProfileCommandsAddressTheSelectedProfile) {
    ConnectTo();
    Form->ProfileButtons[4]->UserClick();
    Form->TntButton6Click();
    EXPECT_EQ(Form->StepCounter, StepDiscard);
    ASSERT_TRUE(PumpUntilFrames(1));
    Form->TntButton5Click();
    ASSERT_TRUE(PumpUntilFrames(2));
    EXPECT_EQ(BoxFrames(), (std::vector<std::string>{"S00PFX+004", "S00PFL+004"}));
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_FALSE(Form->Timer1.Running());
    EXPECT_TRUE(Pauses.Pauses.empty());
    // The discarded replies change no value.
    const Values before = FormValues(*Form);
    PumpFor(50ms);
    EXPECT_EQ(FormValues(*Form), before);
    EXPECT_EQ(Form->StepCounter, StepDiscard);
}

TEST_F(Transfer, EveryCommandDiscardsBytesWaitingBeforeIt) {
    ConnectTo();
    Box->SetSilent(true);
    const std::function<void()> clicks[] = {
        [&] { Form->ReadBtnClick(); }, [&] { Form->WriteBtnClick(); },
        [&] { Form->ResetBtnClick(); }, [&] { Form->TntButton5Click(); },
        [&] { Form->TntButton6Click(); }};
    for (const auto& click : clicks) {
        Box->Inject("S00XAA0777\r"); // one byte short of a reply, so it waits in the queue
        ASSERT_TRUE(PumpUntil([&] { return Form->ComPort1.InputCount() == 11; }));
        click();
        EXPECT_EQ(Form->ComPort1.InputCount(), 0);
    }
}

TEST_F(Transfer, WithThePortClosedNothingIsSentAndNothingSaid) {
    StartBox();
    const Values before = FormValues(*Form);
    Form->ReadBtnClick();
    Form->WriteBtnClick();
    Form->TntButton5Click();
    Form->TntButton6Click();
    PumpFor(50ms);
    EXPECT_TRUE(BoxFrames().empty());
    EXPECT_TRUE(Form->StatusPanel->Hidden());
    EXPECT_FALSE(Form->Timer1.Running());
    EXPECT_EQ(Form->StepCounter, StepIdle);
    EXPECT_EQ(FormValues(*Form), before);
    EXPECT_TRUE(Boxes.Errors.empty());
    EXPECT_TRUE(Boxes.Messages.empty());
    EXPECT_TRUE(Pauses.Pauses.empty());
}

TEST_F(Transfer, ReadAndWriteWithRealPauses) {
    ConnectTo();
    Pauses.Real = true;
    SeedSlot(*Box, 0, SeedValues);
    const auto readStart = std::chrono::steady_clock::now();
    Form->ReadBtnClick();
    ASSERT_TRUE(PumpUntilFrames(22, 10s));
    const auto readTime = std::chrono::steady_clock::now() - readStart;
    EXPECT_EQ(FormValues(*Form), SeedValues);
    EXPECT_GE(readTime, 21 * 30ms + 500ms);

    Box->ClearFrames();
    Values changed = SeedValues;
    changed[LTIndex] = 5;
    changed[0] = 1;
    SetValues(changed);
    const auto writeStart = std::chrono::steady_clock::now();
    Form->WriteBtnClick();
    ASSERT_TRUE(PumpUntilFrames(24, 10s));
    EXPECT_GE(std::chrono::steady_clock::now() - writeStart, 23 * 30ms + 500ms);
    EXPECT_EQ(BoxFrames(), WriteFrames('A', changed));
    ExpectTransferEnded();
}

} // namespace
} // namespace pelmora
