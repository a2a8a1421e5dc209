// What the command line asks of the system it runs on; one file per system implements it.
#pragma once

#include <filesystem>

namespace pelmora::cli {

// The folder of the running executable (where UI.INI and SYSTEM.INI live).
std::filesystem::path ExecutableDir();

// Whether standard error is a terminal (the progress bar is drawn only there).
bool StandardErrorIsTerminal();

} // namespace pelmora::cli
