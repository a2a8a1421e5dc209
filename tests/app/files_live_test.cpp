// Loading an alignment file while live: each value that changes goes to the virtual box at
// once, in canonical order, and nothing else is sent.
#include "storage/alignment_file.h"
#include "support/form_fixture.h"

#include <fstream>

namespace pelmora::testing {
namespace {

class FilesLiveTest : public FormFixture {};

TEST_F(FilesLiveTest, LoadSendsOneFramePerChangedValueInCanonicalOrder) {
    ASSERT_TRUE(Connect());
    Form->RealTimeMode->UserClick();
    Form->ShiftModes[0]->UserClick(); // unticked by the load before any value is set
    PmxValues values{};
    for (int i = 0; i < ParameterCount; ++i)
        values[i] = Value(i);
    const std::vector<std::pair<int, int>> changes = {
        {0, 300}, {3, 40}, {6, 1500}, {13, 1080}, {WRHIndex, 120}, {LRIndex, 5}, {LTIndex, 300}};
    for (const auto& [index, value] : changes)
        values[index] = value;
    values[14] = 5000; // TRX4 already at its maximum 1920: clamped to it, no change, no frame
    const PmxImage image = BuildPmxImage(values);
    const std::filesystem::path file = Dir / "live.PMX";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), image.size());

    FrameBuffers expected = Form->Frames;
    std::vector<std::string> expectedFrames;
    for (const auto& [index, value] : changes) {
        const Frame& frame = expected.ParameterSet(index, value);
        expectedFrames.emplace_back(frame.begin(), frame.begin() + 10);
    }

    ForgetBoxFrames();
    Pauses.Pauses.clear();
    Dialogs.Open = file;
    Form->TntButton2Click();
    ASSERT_TRUE(PumpUntilFrames(changes.size()));
    PumpFor(std::chrono::milliseconds(50));

    EXPECT_EQ(BoxFrames(), expectedFrames);
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{60, 60, 60, 60, 10, 10, 10}));
    EXPECT_FALSE(Form->ShiftModes[0]->Checked());
    EXPECT_TRUE(Boxes.Errors.empty());
}

// In shift mode each corner's frame follows the switch frame of its corner: on for the top
// right that is moved along, off for the top left.
TEST_F(FilesLiveTest, AShiftedCornerSendsEachCornerAfterItsSwitchFrame) {
    ASSERT_TRUE(Connect());
    Form->RealTimeMode->UserClick();
    Form->Bars[2]->SetPosition(1800);
    Form->ShiftModes[0]->UserClick();
    ForgetBoxFrames();
    Pauses.Pauses.clear();
    Form->Bars[0]->SetPosition(10);
    ASSERT_TRUE(PumpUntilFrames(4));
    FrameBuffers expected = Form->Frames;
    const auto text = [](const Frame& frame) {
        return std::string(frame.begin(), frame.begin() + 10);
    };
    const std::string topRight = text(expected.ParameterSet(2, 1810));
    const std::string topLeft = text(expected.ParameterSet(0, 10));
    EXPECT_EQ(BoxFrames(), (std::vector<std::string>{text(expected.MmbOnFrame), topRight,
                                                     text(expected.MmbOffFrame), topLeft}));
    EXPECT_EQ(Pauses.Pauses, (std::vector<int>{10, 60, 10, 60}));
}

} // namespace
} // namespace pelmora::testing
