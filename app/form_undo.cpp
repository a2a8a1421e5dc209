// Undo and redo: the values before and after each gesture of the user. Going back sets the
// bars as a loaded file does, so the views, the diagram and (live) the box follow.
#include "app/form.h"

namespace pelmora {

ParameterValues TForm1::CurrentValues() const {
    ParameterValues values{};
    for (int index = 0; index < ParameterCount; ++index)
        values[index] = Bars[index]->Position();
    return values;
}

void TForm1::BeginGesture(const void* source) {
    EndGesture();
    gesture_ = Gesture{source, CurrentValues(), true};
}

void TForm1::ControlGesture(const void* source) {
    if (gesture_ && (gesture_->Held || gesture_->Source == source))
        return;
    EndGesture();
    gesture_ = Gesture{source, CurrentValues(), false};
}

void TForm1::EndGesture() {
    if (!gesture_)
        return;
    const ParameterValues before = gesture_->Before;
    gesture_.reset();
    History.Record(before, CurrentValues());
}

void TForm1::WireGestures() {
    for (int index = 0; index < ParameterCount; ++index) {
        ScrollBar* bar = Bars[index];
        bar->BeforeUserEdit = [this, bar] { ControlGesture(bar); };
        if (EditBox* edit = Edits[index]) {
            edit->BeforeUserEdit = [this, edit] { ControlGesture(edit); };
            edit->OnLeave = [this, edit] {
                if (gesture_ && gesture_->Source == edit)
                    EndGesture();
            };
        }
    }
}

// Values set by a running transfer are the box's, and a drag holds its own gesture.
bool TForm1::HistoryLocked() const {
    return StatusPanel->Visible() || drag_.has_value();
}

// In canonical order: a top-left corner before its top-right one, so that a shifted
// corner's own value is set last.
void TForm1::ApplyValues(const ParameterValues& values) {
    for (int index = 0; index < ParameterCount; ++index)
        Bars[index]->SetPosition(values[index]);
}

void TForm1::Undo() {
    if (HistoryLocked())
        return;
    EndGesture();
    if (const auto values = History.Undo())
        ApplyValues(*values);
}

void TForm1::Redo() {
    if (HistoryLocked())
        return;
    EndGesture();
    if (const auto values = History.Redo())
        ApplyValues(*values);
}

} // namespace pelmora
