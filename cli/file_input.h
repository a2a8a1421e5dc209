// The alignment files the command line is given: checked before their values are used, so
// that a file which is not one is never taken for a set of values.
#pragma once

#include "cli/output.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::cli {

// The file's bytes. Throws EFileError when it cannot be read, or when it is too short to be
// an alignment file ("FILE: not an alignment file (N bytes)", FILE as given). A file of the
// right length with another header is taken, with a note on standard error naming `port`.
std::vector<std::uint8_t> ReadAlignmentInput(const std::filesystem::path& file,
                                             const std::string& port, Output& output);

} // namespace pelmora::cli
