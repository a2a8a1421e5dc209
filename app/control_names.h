// What a screen reader and the diagram's status line call the controls: the output groups',
// corners' and settings' captions in the language in use, with the axis the control edits.
#pragma once

#include "editor/parameters.h"
#include "storage/ui_strings.h"

#include <string>

namespace pelmora {

// "TV2 Top Right"
std::u16string CornerName(int output, ParamKind corner, const UiStringTable& strings);

// "TV1 Top Left X", "Warp Ratio H", "Loop Time": the name of the parameter's bar, edit box
// and value label.
std::u16string ParameterName(const ParameterInfo& info, const UiStringTable& strings);

// The controls no caption names.
inline constexpr char16_t PortChooserName[] = u"Serial port";
inline constexpr char16_t LanguageChooserName[] = u"Language";
inline constexpr char16_t ProgressBarName[] = u"Transfer progress";

} // namespace pelmora
