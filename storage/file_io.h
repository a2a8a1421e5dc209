// Reading and safely replacing whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace pelmora {

enum class ReadOutcome { Read, Missing, Failed };

struct FilePrefix {
    ReadOutcome Outcome = ReadOutcome::Failed;
    std::vector<std::uint8_t> Bytes; // at most the requested number of bytes
};

// The first maxBytes bytes of a file (all of it when shorter). Missing: the file or a folder
// on its path does not exist; Failed: it exists but cannot be opened or read.
FilePrefix ReadFilePrefix(const std::filesystem::path& file, std::size_t maxBytes);

enum class ReplaceOutcome { Replaced, CannotCreate, WriteFailed };

// Makes the file hold exactly these bytes without ever leaving it half written: the bytes go
// to a new file beside it, are flushed to the device, and that file is then renamed over the
// old one. On failure the new file is removed and the old one is untouched. A replaced file
// keeps its permission bits; a symbolic link is followed, not replaced.
ReplaceOutcome ReplaceFileContents(const std::filesystem::path& file,
                                   std::span<const std::uint8_t> bytes);

} // namespace pelmora
