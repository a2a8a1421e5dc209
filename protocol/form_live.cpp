// Live adjustment and shift mode: every change of a parameter goes to the box at once while
// "Real Time" is ticked, and a shifted top-left corner drags its top-right corner along.
#include "app/handler_guard.h"
#include "app/main_window.h"
#include "protocol/pause.h"

namespace pelmora {

namespace {

constexpr int MmbPauseMs = 10;
constexpr int CornerPauseMs = 60;
constexpr int SettingPauseMs = 10;

// Values set by a running read, write or reset (panel shown) are never echoed to the box.
bool LiveGateOpen(const TForm1& form) {
    return form.ComPort1.Connected() && form.RealTimeMode->isChecked() &&
           form.StatusPanel->isHidden();
}

bool InShiftMode(const TForm1& form, const ParameterInfo& info) {
    return IsCorner(info.kind) && form.ShiftModes[info.output - 1]->isChecked();
}

// The controls that Real Time disables, in the order they are switched.
std::vector<QWidget*> RealTimeLockedControls(const TForm1& form) {
    std::vector<QWidget*> controls;
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
    QScrollBar* topLeft = Bars[CornerIndex(output, ParamKind::TopLeft, axis)];
    QScrollBar* topRight = Bars[CornerIndex(output, ParamKind::TopRight, axis)];
    int& reference = axis == Axis::X ? ShiftReference[output - 1].X : ShiftReference[output - 1].Y;
    const int moved = topLeft->value();
    const int candidate = topRight->value() + (moved - reference);
    if (candidate > topRight->maximum() || candidate < topRight->minimum()) {
        const int back = reference;
        SetPosition(*topLeft, back); // runs the top-left handling again, now with no move
        SetEditText(*Edits[CornerIndex(output, ParamKind::TopLeft, axis)], QString::number(back));
        return false;
    }
    SetPosition(*topRight, candidate);
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
    WriteFrame(Frames.ParameterSet(index, Bars[index]->value()));
    Pauser().Sleep(IsCorner(info.kind) ? CornerPauseMs : SettingPauseMs);
}

void TForm1::ShiftModeClick(int output) {
    const bool on = ShiftModes[output - 1]->isChecked();
    if (on)
        ShiftReference[output - 1] = {
            Bars[CornerIndex(output, ParamKind::TopLeft, Axis::X)]->value(),
            Bars[CornerIndex(output, ParamKind::TopLeft, Axis::Y)]->value()};
    for (Axis axis : {Axis::X, Axis::Y}) {
        const int index = CornerIndex(output, ParamKind::TopRight, axis);
        Bars[index]->setEnabled(!on);
        Edits[index]->setEnabled(!on);
    }
}

void TForm1::RealTimeModeClick() {
    const bool on = RealTimeMode->isChecked();
    for (QWidget* control : RealTimeLockedControls(*this))
        control->setEnabled(!on);
}

} // namespace pelmora
