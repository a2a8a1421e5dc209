// The steps of the read and write transfers, held as tables: for each step number the
// parameter that takes the reply's value, the frame sent next and the step that follows.
// A step may branch when the box drives a single output.
#pragma once

#include "protocol/frames.h"

#include <array>

namespace pelmora {

inline constexpr int NoParameter = -1;
inline constexpr int StepIdle = 9999;   // no sequence running: replies change nothing
inline constexpr int StepDiscard = 200; // replies to profile commands and live frames
inline constexpr int ReadFirstStep = 0;
inline constexpr int WriteFirstStep = 100;
inline constexpr int ReadProgressMaximum = 19;
inline constexpr int WriteProgressMaximum = 128;
inline constexpr int ResetProgressMaximum = 127;
inline constexpr int EndPauseMs = 500;
inline constexpr int OutputModeStep = 300; // identification: the output-mode reply
inline constexpr int ModelStep = 301;      // identification: the model reply

enum class StepSend {
    ParameterQuery, // the query frame of `index`
    ParameterSet,   // the set frame of `index`, carrying its value
    MmbOff,
    EndTransfer, // nothing is sent: the transfer ends
};

struct StepFrame {
    StepSend kind = StepSend::EndTransfer;
    int index = NoParameter; // the parameter queried or set
};

struct TransferStep {
    int step = 0;
    int storeIndex = NoParameter; // the parameter the reply's value goes to
    StepFrame send;
    int next = 0;
    StepFrame singleOutputSend; // the same as send and next unless the step branches
    int singleOutputNext = 0;
};

extern const std::array<TransferStep, 22> ReadSteps;
extern const std::array<TransferStep, 24> WriteSteps;

// The row of a read or write step; nullptr for any other number.
const TransferStep* FindTransferStep(int step);

// What a step sends and where it goes, for a box with one output or with four.
struct StepAction {
    StepFrame send;
    int next;
};
StepAction ActionOf(const TransferStep& row, bool singleOutput);

// Whether the reply to the step carries a thousands digit: a corner's value reaches 1999.
bool ReplyHasThousands(const TransferStep& row);

// Patches the buffer that `send` names and returns it; `value` is what a set carries.
// Must not be called for EndTransfer.
const Frame& BuildStepFrame(FrameBuffers& frames, const StepFrame& send, int value);

} // namespace pelmora
