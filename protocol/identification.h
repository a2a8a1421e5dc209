// The two identification steps of the reply sequencer, run after the port has been opened.
#pragma once

namespace pelmora {

class TForm1;

inline constexpr int OutputModeStep = 300;
inline constexpr int ModelStep = 301;

// Reply to the output-mode query: sets the corner limits from the code, asks for the model.
void RunOutputModeStep(TForm1& form, int code);
// Reply to the model query: applies the model and shows it with the resolution.
void RunModelStep(TForm1& form, int model);

} // namespace pelmora
