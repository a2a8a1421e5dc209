// Live adjustment and shift mode: every change of a parameter goes to the box at once while
// "Real Time" is ticked, and a shifted top-left corner drags its top-right corner along.
#include "app/form.h"

#include "protocol/pause.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <string>

namespace pelmora {

namespace {

constexpr int MmbPauseMs = 10;
constexpr int CornerPauseMs = 60;
constexpr int SettingPauseMs = 10;

// Values set by a running read, write or reset (panel shown) are never echoed to the box.
bool LiveGateOpen(const TForm1& form) {
    return form.ComPort1.Connected() && form.RealTimeMode->Checked() &&
           !form.StatusPanel->Visible();
}

bool InShiftMode(const TForm1& form, const ParameterInfo& info) {
    return IsCorner(info.kind) && form.ShiftModes[info.output - 1]->Checked();
}

// The controls that Real Time disables, in the order they are switched.
std::vector<Control*> RealTimeLockedControls(const TForm1& form) {
    std::vector<Control*> controls;
    const int outputs = form.SingleOutputMode ? 1 : OutputCount;
    for (int output = 1; output <= outputs; ++output)
        for (ParamKind kind : {ParamKind::TopLeft, ParamKind::TopRight})
            for (Axis axis : {Axis::X, Axis::Y})
                controls.push_back(form.Edits[CornerIndex(output, kind, axis)]);
    controls.insert(controls.end(), {form.Edits[WPHIndex], form.Edits[WPVIndex], form.ResetBtn,
                                     form.ReadBtn, form.WriteBtn});
    return controls;
}

} // namespace

bool TForm1::ShiftStep(int output, Axis axis) {
    ScrollBar* topLeft = Bars[CornerIndex(output, ParamKind::TopLeft, axis)];
    ScrollBar* topRight = Bars[CornerIndex(output, ParamKind::TopRight, axis)];
    int& reference = axis == Axis::X ? ShiftReference[output - 1].X : ShiftReference[output - 1].Y;
    const int moved = topLeft->Position();
    const int candidate = topRight->Position() + (moved - reference);
    if (candidate > topRight->Max() || candidate < topRight->Min()) {
        // A reference above the bar's lowered maximum cannot be gone back to: it comes down
        // to the value the bar was clamped to, which the edit box then shows.
        reference = std::clamp(reference, topLeft->Min(), topLeft->Max());
        const int back = reference;
        topLeft->SetPosition(back); // runs the top-left handling again, now with no move
        Edits[CornerIndex(output, ParamKind::TopLeft, axis)]->SetText(
            Utf8ToUtf16(std::to_string(back)));
        return false;
    }
    topRight->SetPosition(candidate);
    reference = moved;
    return true;
}

void TForm1::LiveStep(int index) {
    if (!LiveGateOpen(*this))
        return;
    const ParameterInfo& info = Parameters[index];
    if (InShiftMode(*this, info)) {
        WriteFrame(info.kind == ParamKind::TopLeft ? Frames.MmbOffFrame : Frames.MmbOnFrame);
        Pauser().Sleep(MmbPauseMs);
    }
    StepCounter = StepDiscard;
    WriteFrame(Frames.ParameterSet(index, Bars[index]->Position()));
    Pauser().Sleep(IsCorner(info.kind) ? CornerPauseMs : SettingPauseMs);
}

void TForm1::ShiftModeClick(int output) {
    const bool on = ShiftModes[output - 1]->Checked();
    if (on)
        ShiftReference[output - 1] = {
            Bars[CornerIndex(output, ParamKind::TopLeft, Axis::X)]->Position(),
            Bars[CornerIndex(output, ParamKind::TopLeft, Axis::Y)]->Position()};
    for (Axis axis : {Axis::X, Axis::Y}) {
        const int index = CornerIndex(output, ParamKind::TopRight, axis);
        Bars[index]->SetEnabled(!on);
        Edits[index]->SetEnabled(!on);
    }
}

void TForm1::RealTimeModeClick() {
    const bool on = RealTimeMode->Checked();
    for (Control* control : RealTimeLockedControls(*this))
        control->SetEnabled(!on);
}

} // namespace pelmora
