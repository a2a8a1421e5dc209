#include "protocol/transfer_steps.h"

#include "editor/parameters.h"

#include <algorithm>
#include <stdexcept>

namespace pelmora {

namespace {

// The query and set frames of a parameter: their letters come from the parameter table.
constexpr StepFrame Query(int index) {
    return {StepSend::ParameterQuery, index};
}
constexpr StepFrame Set(int index) {
    return {StepSend::ParameterSet, index};
}
constexpr StepFrame MmbOff() {
    return {StepSend::MmbOff};
}
constexpr StepFrame End() {
    return {StepSend::EndTransfer};
}

constexpr TransferStep Row(int step, int store, StepFrame send, int next) {
    return {step, store, send, next, send, next};
}
constexpr TransferStep Branch(int step, int store, StepFrame send, int next,
                              StepFrame singleOutputSend, int singleOutputNext) {
    return {step, store, send, next, singleOutputSend, singleOutputNext};
}

} // namespace

const std::array<TransferStep, 22> ReadSteps = {{
    Row(0, 0, Query(1), 1),
    Row(1, 1, Query(2), 2),
    Row(2, 2, Query(3), 3),
    Branch(3, 3, Query(4), 4, Query(WRHIndex), 16),
    Row(4, 4, Query(5), 5),
    Row(5, 5, Query(6), 6),
    Row(6, 6, Query(7), 7),
    Row(7, 7, Query(8), 8),
    Row(8, 8, Query(9), 9),
    Row(9, 9, Query(10), 10),
    Row(10, 10, Query(11), 11),
    Row(11, 11, Query(12), 12),
    Row(12, 12, Query(13), 13),
    Row(13, 13, Query(14), 14),
    Row(14, 14, Query(15), 15),
    Row(15, 15, Query(WRHIndex), 16),
    Row(16, WRHIndex, Query(WRVIndex), 17),
    Row(17, WRVIndex, Query(WPHIndex), 18),
    Row(18, WPHIndex, Query(WPVIndex), 19),
    Row(19, WPVIndex, Query(LRIndex), 20),
    Row(20, LRIndex, Query(LTIndex), 21),
    Row(21, LTIndex, End(), StepIdle),
}};

const std::array<TransferStep, 24> WriteSteps = {{
    Row(100, NoParameter, Set(0), 101),        Row(101, NoParameter, Set(1), 102),
    Row(102, NoParameter, Set(2), 103),        Branch(103, NoParameter, Set(3), 105, Set(3), 123),
    Row(105, NoParameter, Set(4), 107),        Row(107, NoParameter, Set(5), 108),
    Row(108, NoParameter, Set(6), 109),        Row(109, NoParameter, Set(7), 111),
    Row(111, NoParameter, Set(8), 113),        Row(113, NoParameter, Set(9), 114),
    Row(114, NoParameter, Set(10), 115),       Row(115, NoParameter, Set(11), 117),
    Row(117, NoParameter, Set(12), 119),       Row(119, NoParameter, Set(13), 120),
    Row(120, NoParameter, Set(14), 121),       Row(121, NoParameter, Set(15), 123),
    Row(123, NoParameter, Set(WRHIndex), 124), Row(124, NoParameter, Set(WRVIndex), 125),
    Row(125, NoParameter, Set(WPHIndex), 126), Row(126, NoParameter, MmbOff(), 127),
    Row(127, NoParameter, Set(WPVIndex), 128), Row(128, NoParameter, Set(LRIndex), 129),
    Row(129, NoParameter, Set(LTIndex), 130),  Row(130, NoParameter, End(), StepIdle),
}};

const TransferStep* FindTransferStep(int step) {
    const auto matches = [step](const TransferStep& row) { return row.step == step; };
    if (const auto row = std::find_if(ReadSteps.begin(), ReadSteps.end(), matches);
        row != ReadSteps.end())
        return &*row;
    if (const auto row = std::find_if(WriteSteps.begin(), WriteSteps.end(), matches);
        row != WriteSteps.end())
        return &*row;
    return nullptr;
}

StepAction ActionOf(const TransferStep& row, bool singleOutput) {
    if (singleOutput)
        return {row.singleOutputSend, row.singleOutputNext};
    return {row.send, row.next};
}

bool ReplyHasThousands(const TransferStep& row) {
    return row.storeIndex != NoParameter && IsCorner(Parameters[row.storeIndex].kind);
}

const Frame& BuildStepFrame(FrameBuffers& frames, const StepFrame& send, int value) {
    switch (send.kind) {
    case StepSend::ParameterQuery:
        return frames.ParameterQuery(send.index);
    case StepSend::ParameterSet:
        return frames.ParameterSet(send.index, value);
    case StepSend::MmbOff:
        return frames.MmbOffFrame;
    case StepSend::EndTransfer:
        break;
    }
    throw std::logic_error("the end of a transfer sends no frame");
}

} // namespace pelmora
