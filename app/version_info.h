// The version record that the build embeds in the executable, and the caption's version
// suffix built from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// Layout of the record (native byte order): a key naming the root block, the size of the
// fixed part that follows, then the fixed part.
inline constexpr std::string_view VersionRecordKey{"PelmoraVersion\0\0", 16};
inline constexpr std::uint32_t VersionFixedSignature = 0x50564558; // "XEVP"

struct VersionFixedPart {
    std::uint32_t Signature;
    std::uint32_t FileVersionMS; // major << 16 | minor
    std::uint32_t FileVersionLS; // release << 16 | build
};

struct VersionRecord {
    char Key[16];
    std::uint32_t FixedSize; // 0: the record has no fixed part
    VersionFixedPart Fixed;
};

// A complete record for the four numbers of a file version.
constexpr VersionRecord MakeVersionRecord(int major, int minor, int release, int build) {
    VersionRecord record{};
    for (std::size_t i = 0; i < VersionRecordKey.size(); ++i)
        record.Key[i] = VersionRecordKey[i];
    record.FixedSize = sizeof(VersionFixedPart);
    record.Fixed.Signature = VersionFixedSignature;
    record.Fixed.FileVersionMS = std::uint32_t(major) << 16 | std::uint32_t(minor & 0xFFFF);
    record.Fixed.FileVersionLS = std::uint32_t(release) << 16 | std::uint32_t(build & 0xFFFF);
    return record;
}

// The record linked into the running executable, if the build put one there.
std::optional<std::string_view> EmbeddedVersionRecord();

// "" without a record; "  V" when the record has no readable fixed part; otherwise "  V"
// followed by major, ".", minor, release and build (1.0.2.6 gives "  V1.026").
std::u16string BuildVersionSuffix(std::optional<std::string_view> record);

} // namespace pelmora
