// Names for the new file that replaces an old one: beside it, and short, so that a file whose
// own name is as long as the system allows can still be replaced.
#pragma once

#include <filesystem>

namespace pelmora {

// How many fresh names a replace tries before it gives up.
inline constexpr int TempNameAttempts = 100;

// A random name in the folder of `file`.
std::filesystem::path RandomTempPathBeside(const std::filesystem::path& file);

} // namespace pelmora
