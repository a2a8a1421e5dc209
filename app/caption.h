// The window caption: CaptionPrefix, the product title of the language in use, the version.
#pragma once

#include <string>

namespace pelmora {

// Three characters and two spaces that open the main window's caption.
inline constexpr char16_t CaptionPrefix[] = u"PAT  ";

// The title every message box and the task bar show.
inline constexpr char16_t ApplicationTitle[] = u"Pelmora Align Tool  ";

std::u16string WindowCaption(const std::u16string& title, const std::u16string& versionSuffix);

} // namespace pelmora
