#include "editor/edit_parsing.h"

#include <charconv>

namespace pelmora {

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    const bool plus = text.starts_with('+');
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-'))
        return std::nullopt;
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

KeyAction FilterTypedCharacter(char32_t character) {
    if (character == NoCharacter)
        return KeyAction::Pass;
    if (character == U' ')
        return KeyAction::SelectAll;
    if ((character >= U'0' && character <= U'9') || character == BackspaceCharacter)
        return KeyAction::Pass;
    return KeyAction::Discard;
}

} // namespace pelmora
