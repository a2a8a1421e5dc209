#include "storage/ini_file.h"
#include "storage/language_files.h"
#include "storage_test_posix.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadAll;
using test::TempFolder;

std::string FileText(const fs::path& file) {
    const auto bytes = ReadAll(file);
    return std::string(bytes.begin(), bytes.end());
}

TEST(UiStrings, DefaultTableHoldsTheEnglishTextsWithinTheLengthLimit) {
    const UiStringTable& table = DefaultUiStrings();
    for (const auto& text : table) {
        EXPECT_FALSE(text.empty());
        EXPECT_LE(text.size(), static_cast<std::size_t>(UiStringMaxLength));
    }
    EXPECT_EQ(table[0], u"Pelmora Align Tool");
    EXPECT_EQ(table[21], u"Please wait" + std::u16string(15, u'.'));
    EXPECT_EQ(table[33], u"Index 10");
    EXPECT_EQ(table[35], u"Communication Error !!");
}

TEST(DefaultUiIni, IsOneEnglishSectionOfAllStringsInOrderWithoutFont) {
    TempFolder folder;
    const fs::path uiIni = UiIniPathIn(folder.Path());
    EXPECT_EQ(uiIni, folder / "UI.INI");
    ASSERT_TRUE(WriteDefaultUiIni(uiIni));

    const std::string text = FileText(uiIni);
    EXPECT_EQ(text.rfind("[English]\r\nStr0=Pelmora Align Tool\r\nStr1=TV1\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nStr21=Please wait...............\r\nStr22=Top Left\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        text.ends_with("\r\nStr35=Communication Error !!\r\nStr36=The port was lost. "
                       "Check the cable, then press Connect.\r\nStr37=Network port...\r\nStr38="
                       "Network port: rfc2217://HOST:PORT or tcp://HOST:PORT\r\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + UiStringCount);

    EXPECT_EQ(ListLanguages(uiIni), std::vector<std::u16string>{u"English"});
    EXPECT_FALSE(ReadIniFile(uiIni)->Value(u"English", u"Font").has_value());
    const LoadedLanguage english = LoadUiStrings(uiIni, u"English");
    EXPECT_EQ(english.UiStrings, DefaultUiStrings());
    EXPECT_EQ(english.InterfaceFontName, u"Segoe UI");
}

TEST(ListLanguages, GivesSectionsInFileOrderOrEnglishWhenThereAreNone) {
    TempFolder folder;
    const fs::path uiIni = folder / "UI.INI";
    EXPECT_EQ(ListLanguages(uiIni), std::vector<std::u16string>{u"English"});
    test::WriteAll(uiIni, Bytes("Str0=no section\r\n"));
    EXPECT_EQ(ListLanguages(uiIni), std::vector<std::u16string>{u"English"});
    test::WriteAll(uiIni, Bytes("[Deutsch]\r\nStr0=x\r\n[English]\r\n[Fran\xC3\xA7"
                                "ais]\r\n"));
    EXPECT_EQ(ListLanguages(uiIni),
              (std::vector<std::u16string>{u"Deutsch", u"English", u"Français"}));
    fs::remove(uiIni);
    fs::create_directory(uiIni);
    EXPECT_EQ(ListLanguages(uiIni), std::vector<std::u16string>{u"English"});
}

TEST(LanguageIndex, IsUsedWhenItNamesALanguageAndReplacedOnlyWhenAbsent) {
    struct Case {
        const char* Before; // nullptr: no SYSTEM.INI
        int ItemCount;
        int Index;
        const char* After;
    };
    const std::vector<Case> cases = {
        {"[SYSTEM]\r\nUI=1\r\n", 2, 1, "[SYSTEM]\r\nUI=1\r\n"},
        {"[system]\nui=1\n", 2, 1, "[system]\nui=1\n"},
        {"[SYSTEM]\r\nUI=7\r\n", 2, 0, "[SYSTEM]\r\nUI=7\r\n"},
        {"[SYSTEM]\r\nUI=1\r\n", 1, 0, "[SYSTEM]\r\nUI=1\r\n"},
        {"[SYSTEM]\r\nUI=2147483647\r\n", 2, 0, "[SYSTEM]\r\nUI=2147483647\r\n"},
        {"[SYSTEM]\r\nUI=65535\r\n", 2, 0, "[SYSTEM]\r\nUI=0\r\n"},
        {"[SYSTEM]\r\nUI=-3\r\n", 2, 0, "[SYSTEM]\r\nUI=0\r\n"},
        {"[SYSTEM]\r\nUI=\r\n", 2, 0, "[SYSTEM]\r\nUI=0\r\n"},
        {"[Other]\nUI=1\n", 2, 0, "[Other]\nUI=1\n[SYSTEM]\nUI=0\n"},
        {nullptr, 2, 0, "[SYSTEM]\r\nUI=0\r\n"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        TempFolder folder;
        const fs::path systemIni = SystemIniPathIn(folder.Path());
        if (cases[i].Before != nullptr) {
            test::WriteAll(systemIni, Bytes(cases[i].Before));
        }
        EXPECT_EQ(ReadLanguageIndex(systemIni, cases[i].ItemCount), cases[i].Index) << i;
        EXPECT_EQ(FileText(systemIni), cases[i].After) << i;
    }
}

TEST(LanguageIndex, SavingKeepsTheRestOfTheFile) {
    TempFolder folder;
    const fs::path systemIni = folder / "SYSTEM.INI";
    test::WriteAll(systemIni, Bytes("; settings\n[Other]\nx=1\n[SYSTEM]\nUI=0\n"));
    SaveLanguageIndex(systemIni, 12);
    EXPECT_EQ(FileText(systemIni), "; settings\n[Other]\nx=1\n[SYSTEM]\nUI=12\n");
    EXPECT_EQ(ReadLanguageIndex(systemIni, 13), 12);
}

TEST(LoadUiStrings, TakesTheSectionsTextsAndDefaultsForTheRest) {
    TempFolder folder;
    const fs::path uiIni = folder / "UI.INI";
    test::WriteAll(uiIni, Bytes("[English]\r\nStr0=Ignored here\r\n"
                                "[Test]\r\nstr12=Verbinden\r\nStr13=\r\nFONT=Arial\r\n"));
    const LoadedLanguage test = LoadUiStrings(uiIni, u"TEST");
    UiStringTable expected = DefaultUiStrings();
    expected[12] = u"Verbinden";
    expected[13] = u"";
    EXPECT_EQ(test.UiStrings, expected);
    EXPECT_EQ(test.InterfaceFontName, u"Arial");

    const LoadedLanguage absent = LoadUiStrings(uiIni, u"Klingon");
    EXPECT_EQ(absent.UiStrings, DefaultUiStrings());
    EXPECT_EQ(absent.InterfaceFontName, u"Segoe UI");
}

TEST(LoadUiStrings, CutsOverlongTextsToTheirLimits) {
    TempFolder folder;
    const fs::path uiIni = folder / "UI.INI";
    const std::string longText(300, 'w');
    test::WriteAll(uiIni, Bytes("[L]\nStr1=" + longText + "\nStr2=" + std::string(62, 'e') +
                                "\xF0\x9F\x98\x80\nFont=" + longText + "\n"));
    const LoadedLanguage language = LoadUiStrings(uiIni, u"L");
    EXPECT_EQ(language.UiStrings[1], std::u16string(UiStringMaxLength, u'w'));
    EXPECT_EQ(language.UiStrings[2], std::u16string(62, u'e')); // no half of a pair is kept
    EXPECT_EQ(language.InterfaceFontName, std::u16string(FontNameMaxLength, u'w'));
}

TEST(LoadUiStrings, ReadsTranslationsFromUtf16Files) {
    TempFolder folder;
    const fs::path uiIni = folder / "UI.INI";
    test::WriteAll(uiIni, EncodeText(u"[English]\r\n[日本語]\r\nStr12=接続\r\nFont=メイリオ\r\n",
                                     TextEncoding::Utf16Le));
    EXPECT_EQ(ListLanguages(uiIni), (std::vector<std::u16string>{u"English", u"日本語"}));
    const LoadedLanguage japanese = LoadUiStrings(uiIni, u"日本語");
    EXPECT_EQ(japanese.UiStrings[12], u"接続");
    EXPECT_EQ(japanese.InterfaceFontName, u"メイリオ");
}

// Exit codes of the child process below, one per expectation.
enum ReadOnlyOutcome {
    AllAsInEnglish = 0,
    DefaultFileWritten,
    NotEnglish,
    WrongIndex,
    SystemIniCreated,
    SystemIniChanged,
    NotDefaults,
};

TEST(LanguageFiles, AReadOnlyFolderMeansEnglishAndNothingRemembered) {
    TempFolder empty;
    TempFolder withAbsentIndex;
    const fs::path keptSystemIni = withAbsentIndex / "SYSTEM.INI";
    const auto keptBytes = Bytes("[SYSTEM]\r\nUI=65535\r\n");
    test::WriteAll(keptSystemIni, keptBytes);
    test::ReadOnlyFolder readOnlyEmpty(empty.Path());
    test::ReadOnlyFolder readOnlyWithIndex(withAbsentIndex.Path());

    const int outcome = test::RunUnprivileged([&] {
        const fs::path uiIni = UiIniPathIn(empty.Path());
        const fs::path systemIni = SystemIniPathIn(empty.Path());
        if (WriteDefaultUiIni(uiIni) || fs::exists(uiIni)) {
            return DefaultFileWritten;
        }
        if (ListLanguages(uiIni) != std::vector<std::u16string>{u"English"}) {
            return NotEnglish;
        }
        if (ReadLanguageIndex(systemIni, 1) != 0) {
            return WrongIndex;
        }
        SaveLanguageIndex(systemIni, 3);
        if (fs::exists(systemIni)) {
            return SystemIniCreated;
        }
        if (ReadLanguageIndex(keptSystemIni, 1) != 0 || ReadAll(keptSystemIni) != keptBytes) {
            return SystemIniChanged;
        }
        if (LoadUiStrings(uiIni, u"English").UiStrings != DefaultUiStrings()) {
            return NotDefaults;
        }
        return AllAsInEnglish;
    });
    EXPECT_EQ(outcome, AllAsInEnglish);
}

TEST(LanguageFiles, PipesInPlaceOfTheFilesMeanEnglishAtOnce) {
    TempFolder folder;
    const fs::path uiIni = UiIniPathIn(folder.Path());
    const fs::path systemIni = SystemIniPathIn(folder.Path());
    ASSERT_EQ(::mkfifo(uiIni.c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(systemIni.c_str(), 0666), 0);
    EXPECT_EQ(ListLanguages(uiIni), std::vector<std::u16string>{u"English"});
    EXPECT_EQ(LoadUiStrings(uiIni, u"English").UiStrings, DefaultUiStrings());
    EXPECT_EQ(ReadLanguageIndex(systemIni, 1), 0);
    SaveLanguageIndex(systemIni, 0);
    EXPECT_TRUE(fs::is_fifo(uiIni));
    EXPECT_TRUE(fs::is_fifo(systemIni));
}

TEST(LanguageIndex, AWriteProtectedSystemIniIsNotRewritten) {
    TempFolder folder;
    const fs::path systemIni = SystemIniPathIn(folder.Path());
    const auto old = Bytes("[SYSTEM]\r\nUI=1\r\n");
    test::WriteAll(systemIni, old);
    fs::permissions(systemIni, fs::perms::owner_read | fs::perms::group_read);
    SaveLanguageIndex(systemIni, 0);
    EXPECT_EQ(ReadAll(systemIni), old);
}

} // namespace
} // namespace pelmora
