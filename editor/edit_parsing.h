// The rules of the numeric edit boxes, free of any widget: how typed text is read, when a
// value is over its limit, and what the key filter does with a typed character.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmora {

// A decimal integer with an optional sign, within the signed 32-bit range; nothing else
// (no blanks, no empty text).
std::optional<std::int32_t> ParseInt32(std::string_view text);

// The corner boxes compare unsigned, so a negative value counts as over any limit.
constexpr bool AboveLimitUnsigned(std::int32_t value, std::int32_t limit) {
    return static_cast<std::uint32_t>(value) > static_cast<std::uint32_t>(limit);
}

constexpr bool AboveLimitSigned(std::int32_t value, std::int32_t limit) {
    return value > limit;
}

enum class KeyAction {
    Pass,      // the box sees the character
    Discard,   // the character is dropped
    SelectAll, // the whole text is selected and the character dropped
};

inline constexpr char32_t NoCharacter = 0;
inline constexpr char32_t BackspaceCharacter = 8;

// The key filter of the numeric boxes: a space selects all, digits and Backspace pass, every
// other character is dropped; keys that produce no character pass untouched.
KeyAction FilterTypedCharacter(char32_t character);

} // namespace pelmora
