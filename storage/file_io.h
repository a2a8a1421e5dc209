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
// on its path does not exist; Failed: it cannot be opened or read, or it is no regular file
// (a pipe or device is refused at once instead of waiting for a writer or for data).
FilePrefix ReadFilePrefix(const std::filesystem::path& file, std::size_t maxBytes);

enum class ReplaceOutcome { Replaced, CannotCreate, WriteFailed };

// Makes the file hold exactly these bytes without ever leaving it half written: the bytes go
// to a new file beside it, are flushed to the device, and that file is then renamed over the
// old one. On failure the new file is removed and the old one is untouched. On POSIX systems a
// replaced file keeps its owner and permission bits and a new one gets 0666 less the umask; a
// symbolic link is followed, not replaced.
//
// CannotCreate, with nothing changed, for anything that is no regular file and for a file
// its owner may not write (no owner write bit, whoever runs the tool; on Windows the
// read-only attribute) or the running user may not write. A writable file in a folder that takes no
// new files is overwritten in place, after room for the new bytes has been reserved.
ReplaceOutcome ReplaceFileContents(const std::filesystem::path& file,
                                   std::span<const std::uint8_t> bytes);

} // namespace pelmora
