// Turning the bytes of a text file into 16-bit wide text and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

enum class TextEncoding {
    Bytes8,      // one character per byte (the 8-bit range of Unicode)
    Utf8,        // UTF-8 without byte-order mark
    Utf8WithBom, // UTF-8 after EF BB BF
    Utf16Le,     // UTF-16 little-endian after FF FE
};

struct DecodedText {
    std::u16string Text;
    TextEncoding Encoding = TextEncoding::Bytes8;
};

// Any bytes decode. FF FE starts UTF-16LE (an odd final byte is dropped). EF BB BF starts
// UTF-8, where a byte that starts no valid sequence stands for itself as an 8-bit character.
// Without a mark, text that is valid UTF-8 throughout is UTF-8 and anything else is 8-bit.
DecodedText DecodeText(std::span<const std::uint8_t> bytes);

// The bytes of the text in that encoding, with its byte-order mark. Characters that the
// encoding cannot hold become '?' (8-bit) or U+FFFD (a lone surrogate in UTF-8).
std::vector<std::uint8_t> EncodeText(std::u16string_view text, TextEncoding encoding);

// At most maxLength 16-bit units of text, never ending in the first half of a surrogate pair.
std::u16string TruncateText(std::u16string_view text, std::size_t maxLength);

// UTF-8 text as wide text (a byte that starts no valid sequence stands for itself), and back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// A file name given as UTF-8 and a file name as UTF-8, on every system: Windows would take a
// narrow string for the ANSI code page. POSIX names are bytes and pass unchanged.
std::filesystem::path Utf8Path(std::string_view text);
std::string PathUtf8(const std::filesystem::path& path);

} // namespace pelmora
