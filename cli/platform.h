// What the command line asks of the system it runs on; one file per system implements it.
// Text inside the tool is UTF-8, file names included.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::cli {

// The folder of the running executable (where UI.INI and SYSTEM.INI live).
std::filesystem::path ExecutableDir();

// Makes the console show the UTF-8 the tool writes; nothing to do where it already does.
void PrepareConsole();

// Whether standard error is a terminal that understands the progress line's escape codes
// (the progress bar is drawn only there).
bool StandardErrorIsTerminal();

#ifdef _WIN32
// The program's wide arguments after its name, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
#endif

} // namespace pelmora::cli
