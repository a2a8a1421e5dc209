#include "storage/text_encoding.h"

#include <algorithm>
#include <array>
#include <optional>

namespace pelmora {

namespace {

constexpr std::array<std::uint8_t, 2> Utf16LeMark = {0xFF, 0xFE};
constexpr std::array<std::uint8_t, 3> Utf8Mark = {0xEF, 0xBB, 0xBF};
constexpr char16_t ReplacementCharacter = 0xFFFD;

// The well-formed multi-byte UTF-8 sequences: lead byte range, length, second byte range.
struct Utf8Form {
    std::uint8_t LeadFirst, LeadLast;
    std::size_t Length;
    std::uint8_t SecondFirst, SecondLast;
};
constexpr std::array<Utf8Form, 8> Utf8Forms = {{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

struct CodePoint {
    char32_t Value;
    std::size_t Length;
};

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool IsContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// The well-formed sequence at the start of bytes, if there is one.
std::optional<CodePoint> ReadUtf8(std::span<const std::uint8_t> bytes) {
    const std::uint8_t lead = bytes[0];
    if (lead < 0x80) {
        return CodePoint{lead, 1};
    }
    for (const Utf8Form& form : Utf8Forms) {
        if (lead < form.LeadFirst || lead > form.LeadLast) {
            continue;
        }
        if (bytes.size() < form.Length || bytes[1] < form.SecondFirst ||
            bytes[1] > form.SecondLast) {
            return std::nullopt;
        }
        char32_t value = lead & (0x7F >> form.Length);
        for (std::size_t i = 1; i < form.Length; ++i) {
            if (!IsContinuation(bytes[i])) {
                return std::nullopt;
            }
            value = (value << 6) | (bytes[i] & 0x3F);
        }
        return CodePoint{value, form.Length};
    }
    return std::nullopt;
}

struct Utf8Decoding {
    std::u16string Text;
    bool Valid = true;
};

Utf8Decoding DecodeUtf8(std::span<const std::uint8_t> bytes) {
    Utf8Decoding result;
    result.Text.resize(bytes.size());
    std::size_t length = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes[at] < 0x80) {
            result.Text[length++] = bytes[at++];
            continue;
        }
        const auto point = ReadUtf8(bytes.subspan(at));
        if (!point) {
            result.Text[length++] = bytes[at++];
            result.Valid = false;
        } else if (point->Value < 0x10000) {
            result.Text[length++] = static_cast<char16_t>(point->Value);
            at += point->Length;
        } else {
            const char32_t offset = point->Value - 0x10000;
            result.Text[length++] = static_cast<char16_t>(0xD800 + (offset >> 10));
            result.Text[length++] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
            at += point->Length;
        }
    }
    result.Text.resize(length);
    return result;
}

std::u16string DecodeBytes8(std::span<const std::uint8_t> bytes) {
    return std::u16string(bytes.begin(), bytes.end());
}

std::u16string DecodeUtf16Le(std::span<const std::uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return text;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::vector<std::uint8_t>& bytes, char32_t value) {
    if (value < 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    } else if (value < 0x800) {
        bytes.push_back(static_cast<std::uint8_t>(0xC0 | (value >> 6)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        bytes.push_back(static_cast<std::uint8_t>(0xE0 | (value >> 12)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | ((value >> 6) & 0x3F)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | (value & 0x3F)));
    } else {
        bytes.push_back(static_cast<std::uint8_t>(0xF0 | (value >> 18)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | ((value >> 12) & 0x3F)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | ((value >> 6) & 0x3F)));
        bytes.push_back(static_cast<std::uint8_t>(0x80 | (value & 0x3F)));
    }
}

void EncodeUtf8(std::u16string_view text, std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(bytes, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(bytes, ReplacementCharacter);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
}

void EncodeBytes8(std::u16string_view text, std::vector<std::uint8_t>& bytes) {
    for (const char16_t unit : text) {
        bytes.push_back(unit <= 0xFF ? static_cast<std::uint8_t>(unit) : '?');
    }
}

void EncodeUtf16Le(std::u16string_view text, std::vector<std::uint8_t>& bytes) {
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

} // namespace

DecodedText DecodeText(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, Utf16LeMark)) {
        return {DecodeUtf16Le(bytes.subspan(Utf16LeMark.size())), TextEncoding::Utf16Le};
    }
    if (StartsWith(bytes, Utf8Mark)) {
        return {DecodeUtf8(bytes.subspan(Utf8Mark.size())).Text, TextEncoding::Utf8WithBom};
    }
    Utf8Decoding utf8 = DecodeUtf8(bytes);
    if (utf8.Valid) {
        return {std::move(utf8.Text), TextEncoding::Utf8};
    }
    return {DecodeBytes8(bytes), TextEncoding::Bytes8};
}

std::vector<std::uint8_t> EncodeText(std::u16string_view text, TextEncoding encoding) {
    std::vector<std::uint8_t> bytes;
    switch (encoding) {
    case TextEncoding::Bytes8:
        bytes.reserve(text.size());
        EncodeBytes8(text, bytes);
        break;
    case TextEncoding::Utf8WithBom:
        bytes.assign(Utf8Mark.begin(), Utf8Mark.end());
        [[fallthrough]];
    case TextEncoding::Utf8:
        bytes.reserve(bytes.size() + text.size());
        EncodeUtf8(text, bytes);
        break;
    case TextEncoding::Utf16Le:
        bytes.reserve(Utf16LeMark.size() + 2 * text.size());
        bytes.assign(Utf16LeMark.begin(), Utf16LeMark.end());
        EncodeUtf16Le(text, bytes);
        break;
    }
    return bytes;
}

std::u16string TruncateText(std::u16string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) {
        return std::u16string(text);
    }
    std::size_t length = maxLength;
    if (length > 0 && IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length])) {
        --length;
    }
    return std::u16string(text.substr(0, length));
}

std::u16string Utf8ToUtf16(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return DecodeUtf8({bytes, text.size()}).Text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    EncodeUtf8(text, bytes);
    return std::string(bytes.begin(), bytes.end());
}

std::filesystem::path Utf8Path(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(Utf8ToUtf16(text));
#else
    return std::filesystem::path(text);
#endif
}

std::string PathUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
    return Utf16ToUtf8(path.u16string());
#else
    return path.string();
#endif
}

} // namespace pelmora
