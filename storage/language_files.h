// The language files beside the executable: UI.INI holds one section of interface strings
// per language, SYSTEM.INI remembers which language and which port were chosen. None of these
// functions throws, and a folder that cannot be written only means nothing is remembered: the
// tool then runs in English.
#pragma once

#include "storage/ui_strings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora {

std::filesystem::path UiIniPathIn(const std::filesystem::path& folder);
std::filesystem::path SystemIniPathIn(const std::filesystem::path& folder);

// One section "English" with every interface string (Str0, Str1, ...) in order and no Font key;
// false when the file cannot be written.
bool WriteDefaultUiIni(const std::filesystem::path& uiIni);

// The section names in file order; {u"English"} when there is none or the file is unreadable.
std::vector<std::u16string> ListLanguages(const std::filesystem::path& uiIni);

// The stored value that stands for "no language chosen yet".
inline constexpr int AbsentLanguageIndex = 65535;

// The stored index when it names one of itemCount languages, else 0. An absent, unreadable
// or non-numeric value counts as AbsentLanguageIndex and is replaced in the file by 0.
int ReadLanguageIndex(const std::filesystem::path& systemIni, int itemCount);
void SaveLanguageIndex(const std::filesystem::path& systemIni, int index);

// The port chosen last, or "" when none is remembered; saving it leaves the other keys be.
std::u16string ReadLastPort(const std::filesystem::path& systemIni);
void SaveLastPort(const std::filesystem::path& systemIni, const std::u16string& port);

inline constexpr std::size_t FontNameMaxLength = 127;

struct LoadedLanguage {
    UiStringTable UiStrings;
    std::u16string InterfaceFontName;
};

// The strings of the named section, each cut to UiStringMaxLength; absent keys (or an absent
// section or file) give DefaultUiStrings and DefaultInterfaceFont, cut to FontNameMaxLength.
LoadedLanguage LoadUiStrings(const std::filesystem::path& uiIni, const std::u16string& sectionName);

} // namespace pelmora
