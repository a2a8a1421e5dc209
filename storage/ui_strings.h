// The interface string table: 37 wide strings indexed by the HelpContext numbers of the
// captioned controls, and the built-in English table that fills every entry a language
// leaves out.
#pragma once

#include <array>
#include <string>

namespace pelmora {

inline constexpr int UiStringCount = 37;
inline constexpr int UiStringMaxLength = 63;

using UiStringTable = std::array<std::u16string, UiStringCount>;

// The English texts, built once on first use; entry i is the value of key "Str<i>".
const UiStringTable& DefaultUiStrings();

} // namespace pelmora
