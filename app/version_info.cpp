#include "app/version_info.h"

#include "storage/text_encoding.h"

#include <cstring>

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

std::u16string BuildVersionSuffix(std::optional<std::string_view> record) {
    if (!record)
        return u"";
    const std::u16string suffix = u"  V";
    const std::optional<VersionFixedPart> fixed = QueryFixedPart(*record);
    if (!fixed)
        return suffix;
    const auto number = [](std::uint32_t value) { return Utf8ToUtf16(std::to_string(value)); };
    return suffix + number(fixed->FileVersionMS >> 16) + u'.' +
           number(fixed->FileVersionMS & 0xFFFF) + number(fixed->FileVersionLS >> 16) +
           number(fixed->FileVersionLS & 0xFFFF);
}

} // namespace pelmora
