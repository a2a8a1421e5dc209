// Saving and loading alignment files: the 22 bar positions to and from a *.PMX file.
#include "app/form.h"

#include "storage/alignment_file.h"

namespace pelmora {

namespace {

// Unticking runs each ticked box's usual handling, so no top-left value drags its
// top-right value along while the file's values arrive.
void UntickShiftModes(TForm1& form) {
    for (int output = 1; output <= OutputCount; ++output) {
        CheckBox* box = form.ShiftModes[output - 1];
        if (!box->Checked())
            continue;
        box->SetChecked(false);
        form.ShiftModeClick(output);
    }
}

} // namespace

void TForm1::TntButton1Click() {
    const std::optional<std::filesystem::path> file =
        services_.fileDialogs ? services_.fileDialogs->ChooseSave() : std::nullopt;
    if (!file)
        return;
    PmxValues values{};
    for (int index = 0; index < ParameterCount; ++index)
        values[index] = Bars[index]->Position();
    SavePmxFile(*file, BuildPmxImage(values));
}

// Each value the file holds is set in canonical order; the bar clamps it, and its change
// handling (display, diagram, live frame) runs only when the position really changes.
// Values a short file does not hold leave their bars as they are.
void TForm1::TntButton2Click() {
    const std::optional<std::filesystem::path> file =
        services_.fileDialogs ? services_.fileDialogs->ChooseOpen() : std::nullopt;
    if (!file)
        return;
    UntickShiftModes(*this);
    const PmxReadValues values = ParsePmxImage(ReadPmxFile(*file));
    BeginGesture(TntButton2);
    for (int index = 0; index < ParameterCount; ++index) {
        if (values[index])
            Bars[index]->SetPosition(*values[index]);
    }
    EndGesture();
}

} // namespace pelmora
