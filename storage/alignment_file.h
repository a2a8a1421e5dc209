// Alignment files (*.PMX): a 16-byte header, then the 22 alignment values as signed 32-bit
// little-endian integers, 104 bytes in all.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace pelmora {

inline constexpr int PmxFileSize = 104;
inline constexpr int PmxHeaderSize = 16;
inline constexpr int PmxValueCount = 22;

using PmxImage = std::array<std::uint8_t, PmxFileSize>;
using PmxValues = std::array<std::int32_t, PmxValueCount>;
// Per value: what the file holds, or nullopt when the file ends before its last byte.
using PmxReadValues = std::array<std::optional<std::int32_t>, PmxValueCount>;

// "KRDPMX", two zero bytes, 32-bit 1, 32-bit 0, then the values in order.
PmxImage BuildPmxImage(const PmxValues& values);

// The values of any bytes: the header is not examined, bytes past the image are ignored,
// and a value the bytes do not hold completely is nullopt.
PmxReadValues ParsePmxImage(std::span<const std::uint8_t> bytes);

// Replaces the file safely. Throws EFileError "Cannot create file <full name>" when it
// cannot be created, "Stream write error" when not every byte reached it; the file that was
// there before is then unchanged.
void SavePmxFile(const std::filesystem::path& file, const PmxImage& image);

// At most the first PmxFileSize bytes of the file. Throws EFileError
// "Cannot open file <full name>" when it cannot be opened or read.
std::vector<std::uint8_t> ReadPmxFile(const std::filesystem::path& file);

} // namespace pelmora
