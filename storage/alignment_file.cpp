#include "storage/alignment_file.h"

#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace pelmora {

namespace {

constexpr std::array<std::uint8_t, PmxHeaderSize> PmxHeader = {
    'K', 'R', 'D', 'P', 'M', 'X', 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
};
constexpr std::size_t ValueSize = 4;

std::string FullName(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(file, error);
    return PathUtf8(error ? file : full);
}

void StoreLittleEndian(std::int32_t value, std::uint8_t* out) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < ValueSize; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t LoadLittleEndian(std::span<const std::uint8_t, ValueSize> in) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < ValueSize; ++i) {
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

} // namespace

PmxImage BuildPmxImage(const PmxValues& values) {
    PmxImage image{};
    std::copy(PmxHeader.begin(), PmxHeader.end(), image.begin());
    for (std::size_t i = 0; i < values.size(); ++i) {
        StoreLittleEndian(values[i], image.data() + PmxHeaderSize + i * ValueSize);
    }
    return image;
}

PmxReadValues ParsePmxImage(std::span<const std::uint8_t> bytes) {
    PmxReadValues values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t offset = PmxHeaderSize + i * ValueSize;
        if (bytes.size() < offset + ValueSize) {
            break;
        }
        values[i] = LoadLittleEndian(bytes.subspan(offset).first<ValueSize>());
    }
    return values;
}

void SavePmxFile(const std::filesystem::path& file, const PmxImage& image) {
    switch (ReplaceFileContents(file, image)) {
    case ReplaceOutcome::Replaced:
        return;
    case ReplaceOutcome::CannotCreate:
        throw EFileError("Cannot create file " + FullName(file));
    case ReplaceOutcome::WriteFailed:
        throw EFileError("Stream write error");
    }
}

std::vector<std::uint8_t> ReadPmxFile(const std::filesystem::path& file) {
    FilePrefix prefix = ReadFilePrefix(file, PmxFileSize);
    if (prefix.Outcome != ReadOutcome::Read) {
        throw EFileError("Cannot open file " + FullName(file));
    }
    return std::move(prefix.Bytes);
}

} // namespace pelmora
