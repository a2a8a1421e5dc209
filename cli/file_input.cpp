#include "cli/file_input.h"

#include "storage/alignment_file.h"
#include "storage/file_error.h"

#include <algorithm>

namespace pelmora::cli {

std::vector<std::uint8_t> ReadAlignmentInput(const std::filesystem::path& file,
                                             const std::string& port, Output& output) {
    std::vector<std::uint8_t> bytes = ReadPmxFile(file);
    const std::string name = file.string();
    if (bytes.size() < std::size_t(PmxFileSize))
        throw EFileError(name + ": not an alignment file (" + std::to_string(bytes.size()) +
                         " bytes)");
    const PmxImage proper = BuildPmxImage({});
    if (!std::equal(proper.begin(), proper.begin() + PmxHeaderSize, bytes.begin()))
        output.Note(port, name + ": not an alignment file's header; its values are used");
    return bytes;
}

} // namespace pelmora::cli
