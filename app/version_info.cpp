#include "app/version_info.h"

#include <cstring>

// Bounds of the section that holds the embedded record; null when no record was linked in.
extern "C" {
extern const char __start_pelmora_version[] __attribute__((weak));
extern const char __stop_pelmora_version[] __attribute__((weak));
}

namespace pelmora {

namespace {

constexpr std::size_t HeaderSize = offsetof(VersionRecord, Fixed);

std::optional<VersionFixedPart> QueryFixedPart(std::string_view record) {
    if (record.size() < HeaderSize || record.substr(0, VersionRecordKey.size()) != VersionRecordKey)
        return std::nullopt;
    std::uint32_t fixedSize = 0;
    std::memcpy(&fixedSize, record.data() + offsetof(VersionRecord, FixedSize), sizeof fixedSize);
    if (fixedSize < sizeof(VersionFixedPart) || record.size() - HeaderSize < fixedSize)
        return std::nullopt;
    VersionFixedPart fixed{};
    std::memcpy(&fixed, record.data() + HeaderSize, sizeof fixed);
    if (fixed.Signature != VersionFixedSignature)
        return std::nullopt;
    return fixed;
}

} // namespace

std::optional<std::string_view> EmbeddedVersionRecord() {
    if (__start_pelmora_version == nullptr || __stop_pelmora_version == nullptr)
        return std::nullopt;
    return std::string_view(__start_pelmora_version,
                            std::size_t(__stop_pelmora_version - __start_pelmora_version));
}

QString BuildVersionSuffix(std::optional<std::string_view> record) {
    if (!record)
        return QString();
    QString suffix = QStringLiteral("  V");
    const std::optional<VersionFixedPart> fixed = QueryFixedPart(*record);
    if (!fixed)
        return suffix;
    const auto high = [](std::uint32_t word) { return QString::number(word >> 16); };
    const auto low = [](std::uint32_t word) { return QString::number(word & 0xFFFF); };
    return suffix + high(fixed->FileVersionMS) + '.' + low(fixed->FileVersionMS) +
           high(fixed->FileVersionLS) + low(fixed->FileVersionLS);
}

} // namespace pelmora
