// The read and write step tables walked as the sequencer walks them, without a window: the
// frames each chain sends, in order, and the steps it passes through.
#include "editor/parameters.h"
#include "protocol/transfer_steps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

struct Walk {
    std::vector<int> steps;
    std::vector<int> stored;
    std::vector<std::string> frames;
};

// A value that shows in a set which parameter it came from.
int ValueFor(int index) {
    if (index < 16)
        return 1000 + index;
    if (index == LRIndex)
        return 7;
    if (index == LTIndex)
        return 321;
    return 100 + index;
}

// Follows the chain from `first` to its end.
Walk WalkChain(FrameBuffers& frames, int first, bool singleOutput) {
    Walk walk;
    int step = first;
    while (const TransferStep* row = FindTransferStep(step)) {
        walk.steps.push_back(step);
        if (row->storeIndex != NoParameter)
            walk.stored.push_back(row->storeIndex);
        const StepAction action = ActionOf(*row, singleOutput);
        if (action.send.kind != StepSend::EndTransfer)
            walk.frames.push_back(
                FrameText(BuildStepFrame(frames, action.send, ValueFor(action.send.index))));
        step = action.next;
        if (walk.steps.size() > 40)
            break;
    }
    EXPECT_EQ(step, StepIdle);
    return walk;
}

std::vector<int> Range(int from, int to) {
    std::vector<int> values;
    for (int v = from; v <= to; ++v)
        values.push_back(v);
    return values;
}

TEST(ReadSteps, FourOutputsQueryEveryParameterOfTheSlotInOrder) {
    FrameBuffers frames;
    frames.SelectSlot(2);
    frames.FirstCornerQuery();
    const Walk walk = WalkChain(frames, ReadFirstStep, false);
    EXPECT_EQ(walk.steps, Range(0, 21));
    EXPECT_EQ(walk.stored, Range(0, 21)); // step n stores parameter n
    const std::vector<std::string> expected = {
        "S00YCAR000", "S00UCAR000", "S00VCAR000", "S00XCBR000", "S00YCBR000", "S00UCBR000",
        "S00VCBR000", "S00XCCR000", "S00YCCR000", "S00UCCR000", "S00VCCR000", "S00XCDR000",
        "S00YCDR000", "S00UCDR000", "S00VCDR000", "S00HRCR000", "S00VRCR000", "S00HPCR000",
        "S00VPCR000", "S00MLRR000", "S00MLTR000"};
    EXPECT_EQ(walk.frames, expected);
}

TEST(ReadSteps, SingleOutputJumpsFromTheLastCornerOfTV1ToTheWarp) {
    FrameBuffers frames;
    const Walk walk = WalkChain(frames, ReadFirstStep, true);
    EXPECT_EQ(walk.steps, (std::vector<int>{0, 1, 2, 3, 16, 17, 18, 19, 20, 21}));
    EXPECT_EQ(walk.frames.size(), 9u);
    EXPECT_EQ(walk.frames[3], "S00HRAR000");
}

TEST(ReadSteps, WarpQueriesCarryTheLastWarpValueSent) {
    FrameBuffers frames;
    frames.WarpSet('V', 'P', 150);
    const TransferStep* row = FindTransferStep(15);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(FrameText(BuildStepFrame(frames, row->send, 0)), "S00HRAR150");
}

TEST(WriteSteps, FourOutputsSetEveryParameterWithTheMmbSwitchBeforeTheLastWarp) {
    FrameBuffers frames;
    frames.SelectSlot(9);
    const Walk walk = WalkChain(frames, WriteFirstStep, false);
    const std::vector<int> steps = {100, 101, 102, 103, 105, 107, 108, 109, 111, 113, 114, 115,
                                    117, 119, 120, 121, 123, 124, 125, 126, 127, 128, 129, 130};
    EXPECT_EQ(walk.steps, steps);
    EXPECT_TRUE(walk.stored.empty());
    const std::vector<std::string> expected = {
        "S00XJA1000", "S00YJA1001", "S00UJA1002", "S00VJA1003", "S00XJB1004", "S00YJB1005",
        "S00UJB1006", "S00VJB1007", "S00XJC1008", "S00YJC1009", "S00UJC1010", "S00VJC1011",
        "S00XJD1012", "S00YJD1013", "S00UJD1014", "S00VJD1015", "S00HRJ+116", "S00VRJ+117",
        "S00HPJ+118", "S00MMB+000", "S00VPJ+119", "S00MLR+007", "S00MLT+321"};
    EXPECT_EQ(walk.frames, expected);
}

TEST(WriteSteps, SingleOutputJumpsFromTV1ToTheWarp) {
    FrameBuffers frames;
    const Walk walk = WalkChain(frames, WriteFirstStep, true);
    EXPECT_EQ(walk.steps,
              (std::vector<int>{100, 101, 102, 103, 123, 124, 125, 126, 127, 128, 129, 130}));
    EXPECT_EQ(walk.frames.size(), 11u); // plus the MMB-on frame the button sends
    EXPECT_EQ(walk.frames[4], "S00HRA+116");
}

TEST(TransferSteps, GapsAndOtherNumbersAreNoSteps) {
    for (const int step : {-1, 22, 99, 104, 106, 110, 112, 116, 118, 122, 131, 200, 300, 9999})
        EXPECT_EQ(FindTransferStep(step), nullptr) << step;
}

} // namespace
} // namespace pelmora
