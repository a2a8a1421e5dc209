#include "storage/language_files.h"

#include "storage/ini_file.h"

#include <string_view>

namespace pelmora {

namespace {

constexpr std::u16string_view FallbackLanguage = u"English";
constexpr std::u16string_view SystemSection = u"SYSTEM";
constexpr std::u16string_view LanguageIndexKey = u"UI";
constexpr std::u16string_view LastPortKey = u"Port";
constexpr std::u16string_view FontKey = u"Font";

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string StringKey(int index) {
    return u"Str" + Widen(std::to_string(index));
}

} // namespace

std::filesystem::path UiIniPathIn(const std::filesystem::path& folder) {
    return folder / "UI.INI";
}

std::filesystem::path SystemIniPathIn(const std::filesystem::path& folder) {
    return folder / "SYSTEM.INI";
}

bool WriteDefaultUiIni(const std::filesystem::path& uiIni) {
    IniFile ini;
    for (int i = 0; i < UiStringCount; ++i) {
        ini.WriteString(FallbackLanguage, StringKey(i), DefaultUiStrings()[i]);
    }
    return WriteIniFile(uiIni, ini);
}

std::vector<std::u16string> ListLanguages(const std::filesystem::path& uiIni) {
    const auto ini = ReadIniFile(uiIni);
    std::vector<std::u16string> names = ini ? ini->SectionNames() : std::vector<std::u16string>{};
    if (names.empty()) {
        names.emplace_back(FallbackLanguage);
    }
    return names;
}

int ReadLanguageIndex(const std::filesystem::path& systemIni, int itemCount) {
    const auto ini = ReadIniFile(systemIni);
    const int stored = ini ? ini->ReadInteger(SystemSection, LanguageIndexKey, AbsentLanguageIndex)
                           : AbsentLanguageIndex;
    if (stored == AbsentLanguageIndex) {
        SaveLanguageIndex(systemIni, 0);
        return 0;
    }
    return stored < itemCount ? stored : 0;
}

void SaveLanguageIndex(const std::filesystem::path& systemIni, int index) {
    WriteIniString(systemIni, SystemSection, LanguageIndexKey, Widen(std::to_string(index)));
}

std::u16string ReadLastPort(const std::filesystem::path& systemIni) {
    const auto ini = ReadIniFile(systemIni);
    return ini ? ini->ReadString(SystemSection, LastPortKey, u"") : std::u16string();
}

void SaveLastPort(const std::filesystem::path& systemIni, const std::u16string& port) {
    WriteIniString(systemIni, SystemSection, LastPortKey, port);
}

LoadedLanguage LoadUiStrings(const std::filesystem::path& uiIni,
                             const std::u16string& sectionName) {
    LoadedLanguage language{DefaultUiStrings(), std::u16string(DefaultInterfaceFont)};
    const auto ini = ReadIniFile(uiIni);
    if (!ini) {
        return language;
    }
    std::vector<std::u16string> keys;
    for (int i = 0; i < UiStringCount; ++i) {
        keys.push_back(StringKey(i));
    }
    keys.emplace_back(FontKey);
    const std::vector<std::u16string_view> keyViews(keys.begin(), keys.end());
    const auto values = ini->Values(sectionName, keyViews);
    for (int i = 0; i < UiStringCount; ++i) {
        if (values[i]) {
            language.UiStrings[i] = TruncateText(*values[i], UiStringMaxLength);
        }
    }
    if (values.back()) {
        language.InterfaceFontName = TruncateText(*values.back(), FontNameMaxLength);
    }
    return language;
}

} // namespace pelmora
