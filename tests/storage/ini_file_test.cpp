#include "storage/ini_file.h"
#include "storage_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::TempFolder;

IniFile Parse(std::string_view text) {
    return IniFile::FromBytes(Bytes(text));
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

constexpr std::string_view SyntaxSample = "; comment=1\n"
                                          "Orphan=before any section\n"
                                          "  [ English ]  trailing words\n"
                                          "Str0 = Hello World  \n"
                                          "STR1=\"  quoted  \"\n"
                                          "Str2='single'\n"
                                          "Str3=\n"
                                          "Str4=a=b\n"
                                          "Str5=\"unbalanced\n"
                                          "Str6=\"\"\n"
                                          "\t Str7\t=\ttabbed\t\n"
                                          "line without equals\n"
                                          "[broken\n"
                                          "Str10=still English\n"
                                          "[english]\n"
                                          "Str8=merged\n"
                                          "Str0=first one wins\n"
                                          "[Other]\n"
                                          "Str0=other\n"
                                          ";Str9=commented\n"
                                          "=no key\n";

TEST(IniSyntax, ValuesAreTrimmedUnquotedAndFoundWithoutRegardToCase) {
    const IniFile ini = Parse(SyntaxSample);
    const std::vector<std::pair<std::u16string, std::u16string>> expected = {
        {u"str0", u"Hello World"},
        {u"Str1", u"  quoted  "},
        {u"Str2", u"single"},
        {u"Str3", u""},
        {u"Str4", u"a=b"},
        {u"Str5", u"\"unbalanced"},
        {u"Str6", u""},
        {u"STR7", u"tabbed"},
        {u"Str8", u"merged"},
        {u"Str10", u"still English"},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(ini.Value(u"ENGLISH", key), value) << std::string(key.begin(), key.end());
    }
    EXPECT_EQ(ini.Value(u"Other", u"Str0"), u"other");
    EXPECT_EQ(ini.Value(u"Other", u"Str9"), std::nullopt);
    EXPECT_EQ(ini.Value(u"English", u"Orphan"), std::nullopt);
    EXPECT_EQ(ini.ReadString(u"English", u"Str3", u"default"), u"");
    EXPECT_EQ(ini.ReadString(u"English", u"Absent", u"default"), u"default");
    EXPECT_EQ(ini.ReadString(u"Nowhere", u"Str0", u"default"), u"default");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::u16string>{u"English", u"Other"}));
}

TEST(IniSyntax, EveryLineBreakStyleReadsTheSame) {
    for (const std::string_view text : {"[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "[A]\nk=1\n[B]\nk=2",
                                        "[A]\rk=1\r[B]\rk=2\r", "[A]\r\nk=1\n[B]\rk=2"}) {
        const IniFile ini = Parse(text);
        EXPECT_EQ(ini.Value(u"A", u"k"), u"1");
        EXPECT_EQ(ini.Value(u"B", u"k"), u"2");
    }
}

TEST(IniSyntax, NamesInOtherScriptsCompareWithoutRegardToCase) {
    const IniFile ini =
        Parse("[\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9]\n"
              "\xCE\x9A\xCE\xBB\xCE\xB5\xCE\xB9\xCE\xB4\xCE\xAF=\xC3\x89t\xC3\xA9\n");
    EXPECT_EQ(ini.Value(u"РУССКИЙ", u"κλειδί"), u"Été");
    EXPECT_EQ(ini.Value(u"Русский", u"κλειδι"), std::nullopt);
}

TEST(IniSyntax, EachCapitalRangeFoldsToItsEndsAndNoFurther) {
    // The first and last capital of each range, each against its small letter.
    const std::u16string capitals = u"AZÀÖØÞΑΡΣΫЀЏАЯ";
    const std::u16string smalls = u"azàöøþαρσϋѐџая";
    // Next to the ranges, pairs that are no case pair: @ `, [ {, × ÷, ß ÿ, ΢ ς, а ѐ.
    const std::u16string outside = u"@[×ß\u03A2а";
    const std::u16string partners = u"`{÷ÿςѐ";
    IniFile ini;
    for (const char16_t unit : capitals)
        ASSERT_TRUE(ini.WriteString(std::u16string(1, unit), u"k", u"v"));
    for (std::size_t i = 0; i < capitals.size(); ++i)
        EXPECT_EQ(ini.Value(std::u16string(1, smalls[i]), u"k"), u"v") << i;
    IniFile others;
    for (const char16_t unit : outside)
        ASSERT_TRUE(others.WriteString(std::u16string(1, unit), u"k", u"v"));
    for (std::size_t i = 0; i < outside.size(); ++i)
        EXPECT_EQ(others.Value(std::u16string(1, partners[i]), u"k"), std::nullopt) << i;
}

TEST(IniInteger, ReadsLeadingDigitsAndFallsBackWithoutThem) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"12abc", 12},
        {"007", 7},
        {" 42 ", 42},
        {"\"5\"", 5},
        {"0", 0},
        {"2147483646", INT_MAX - 1},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-3", -1},
        {"", -1},
        {"abc", -1},
        {"+1", -1},
        {"\xD9\xA3", -1}, // a non-ASCII digit
    };
    for (const auto& [value, expected] : cases) {
        const IniFile ini = Parse("[S]\nn=" + value + "\n");
        EXPECT_EQ(ini.ReadInteger(u"S", u"n", -1), expected) << "value '" << value << "'";
    }
    EXPECT_EQ(Parse("[S]\n").ReadInteger(u"S", u"n", 65535), 65535);
}

std::string SectionsOfLengths(const std::vector<std::size_t>& lengths) {
    std::string text;
    char letter = 'a';
    for (const std::size_t length : lengths) {
        text += "[" + std::string(length, letter++) + "]\n";
    }
    return text;
}

std::size_t ListUnits(const std::vector<std::u16string>& names) {
    std::size_t units = 1;
    for (const auto& name : names) {
        units += name.size() + 1;
    }
    return units;
}

TEST(IniSectionNames, FillAtMostTheListCapacityCuttingTheNameAtTheLimit) {
    // 1022 + terminator + final terminator fill the list exactly.
    auto names = Parse(SectionsOfLengths({1022, 5})).SectionNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].size(), 1022u);

    names = Parse(SectionsOfLengths({1023})).SectionNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::u16string(1022, u'a'));

    names = Parse(SectionsOfLengths({1000, 30})).SectionNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], std::u16string(21, u'b'));
    EXPECT_EQ(ListUnits(names), SectionNameListCapacity);

    // One unit of room is only the final terminator's: nothing more is listed; two hold a
    // name cut to one unit.
    names = Parse(SectionsOfLengths({1021, 3})).SectionNames();
    EXPECT_EQ(names.size(), 1u);
    names = Parse(SectionsOfLengths({1020, 3})).SectionNames();
    EXPECT_EQ(names.back(), u"b");

    std::string many;
    for (int i = 0; i < 300; ++i) {
        many += "[L" + std::to_string(100 + i) + "]\n"; // five units with its terminator
    }
    names = Parse(many).SectionNames();
    ASSERT_EQ(names.size(), 205u);
    EXPECT_EQ(names[203], u"L303");
    EXPECT_EQ(names[204], u"L3");
    EXPECT_EQ(ListUnits(names), SectionNameListCapacity);
}

TEST(IniSectionNames, ListEachNameOnceAndSkipEmptyOnes) {
    EXPECT_EQ(Parse("[B]\n[]\n[a]\n[b]\n[ A ]\n").SectionNames(),
              (std::vector<std::u16string>{u"B", u"a"}));
    EXPECT_TRUE(Parse("k=v\n").SectionNames().empty());
}

TEST(IniWrite, ChangesOnlyTheLineOfAnExistingKey) {
    const std::string before = "; keep me\r\n[Other]\r\nUI=9\r\n\r\n[system]\r\n  ui = 5 ; x\r\n"
                               "z=1\r\n";
    IniFile ini = Parse(before);
    ASSERT_TRUE(ini.WriteString(u"SYSTEM", u"UI", u"3"));
    EXPECT_EQ(AsText(ini.ToBytes()),
              "; keep me\r\n[Other]\r\nUI=9\r\n\r\n[system]\r\n  ui =3\r\nz=1\r\n");
}

TEST(IniWrite, AddsKeysAndSectionsInTheFilesOwnLineBreaks) {
    IniFile ini = Parse("[A]\nx=1\n\n[B]\ny=2");
    ASSERT_TRUE(ini.WriteString(u"a", u"new", u"v"));
    ASSERT_TRUE(ini.WriteString(u"C", u"k", u"w"));
    EXPECT_EQ(AsText(ini.ToBytes()), "[A]\nx=1\nnew=v\n\n[B]\ny=2\n[C]\nk=w\n");

    IniFile fresh;
    ASSERT_TRUE(fresh.WriteString(u"SYSTEM", u"UI", u"0"));
    EXPECT_EQ(AsText(fresh.ToBytes()), "[SYSTEM]\r\nUI=0\r\n");
}

TEST(IniWrite, ValuesReadBackExactlyAsWritten) {
    IniFile ini;
    for (const std::u16string value :
         {u"", u" a ", u"\"q\"", u"'q'", u"'", u"x=y", u";not a comment", u"\tt", u"Ελλάδα"}) {
        ASSERT_TRUE(ini.WriteString(u"S", u"k", value));
        const IniFile reread = IniFile::FromBytes(ini.ToBytes());
        EXPECT_EQ(reread.Value(u"S", u"k"), value);
    }
}

TEST(IniWrite, RefusesNamesAndValuesThatWouldNotReadBack) {
    const std::vector<std::array<std::u16string, 3>> refused = {
        {u"", u"k", u"v"},   {u" S", u"k", u"v"},   {u"S]", u"k", u"v"},   {u"S\n", u"k", u"v"},
        {u"S", u"", u"v"},   {u"S", u"k ", u"v"},   {u"S", u"k=", u"v"},   {u"S", u";k", u"v"},
        {u"S", u"[k", u"v"}, {u"S", u"k", u"a\rb"}, {u"S", u"k", u"a\nb"},
    };
    IniFile ini = Parse("[S]\nk=old\n");
    for (const auto& [section, key, value] : refused) {
        EXPECT_FALSE(ini.WriteString(section, key, value));
    }
    EXPECT_EQ(AsText(ini.ToBytes()), "[S]\nk=old\n");
}

std::vector<std::uint8_t> Utf16File(std::u16string_view text) {
    return EncodeText(text, TextEncoding::Utf16Le);
}

TEST(IniEncoding, KeepsUtf16AndUtf8AndMovesTo16BitTextOnlyWhenNeeded) {
    IniFile utf16 = IniFile::FromBytes(Utf16File(u"[Ру]\r\nk=да\r\n"));
    ASSERT_TRUE(utf16.WriteString(u"Ру", u"n", u"нет"));
    EXPECT_EQ(utf16.ToBytes(), Utf16File(u"[Ру]\r\nk=да\r\nn=нет\r\n"));

    IniFile utf8 = Parse("[S]\nk=\xC3\xA9\n");
    ASSERT_TRUE(utf8.WriteString(u"S", u"n", u"中"));
    EXPECT_EQ(AsText(utf8.ToBytes()), "[S]\nk=\xC3\xA9\nn=\xE4\xB8\xAD\n");

    // 0xE9 alone is no UTF-8: the file is 8-bit text, which cannot hold the new character.
    IniFile bytes8 = Parse("[S]\nk=caf\xE9\n");
    EXPECT_EQ(bytes8.Encoding(), TextEncoding::Bytes8);
    ASSERT_TRUE(bytes8.WriteString(u"S", u"k2", u"\u00FC"));
    EXPECT_EQ(AsText(bytes8.ToBytes()), "[S]\nk=caf\xE9\nk2=\xFC\n");
    ASSERT_TRUE(bytes8.WriteString(u"S", u"n", u"中"));
    EXPECT_EQ(bytes8.ToBytes(), Utf16File(u"[S]\nk=café\nk2=ü\nn=中\n"));
}

TEST(IniRobustness, OddLengthUtf16AndNulBytesAreReadSensibly) {
    std::vector<std::uint8_t> odd = Utf16File(u"[A]\r\nk=v");
    odd.push_back('X');
    IniFile ini = IniFile::FromBytes(odd);
    EXPECT_EQ(ini.Value(u"A", u"k"), u"v");
    ASSERT_TRUE(ini.WriteString(u"A", u"k", u"w"));
    EXPECT_EQ(ini.ToBytes(), Utf16File(u"[A]\r\nk=w"));

    const char raw[] = "[A]\nk=v\0w\n\0\0\n[B]\nz=1";
    const std::string withNuls(raw, sizeof raw - 1);
    ini = Parse(withNuls);
    EXPECT_EQ(ini.Value(u"A", u"k"), std::u16string(u"v\0w", 3));
    EXPECT_EQ(ini.Value(u"B", u"z"), u"1");
    EXPECT_EQ(AsText(ini.ToBytes()), withNuls);
}

TEST(IniRobustness, AFileAsLargeAsTheSizeLimitIsReadAndKeptWhenTheFileIsRewritten) {
    TempFolder folder;
    const fs::path file = folder / "big.ini";
    const std::string big(MaxIniFileSize - std::string_view("[A]\r\nbig=\r\nafter=1").size(), 'x');
    const std::string text = "[A]\r\nbig=" + big + "\r\nafter=1";
    ASSERT_EQ(text.size(), MaxIniFileSize);
    test::WriteAll(file, Bytes(text));

    const auto ini = ReadIniFile(file);
    ASSERT_TRUE(ini.has_value());
    EXPECT_EQ(ini->Value(u"A", u"big")->size(), big.size());
    EXPECT_EQ(ini->Value(u"A", u"after"), u"1");

    ASSERT_TRUE(WriteIniString(file, u"A", u"added", u"2"));
    EXPECT_EQ(AsText(test::ReadAll(file)), text + "\r\nadded=2\r\n");
}

TEST(IniFiles, MissingFilesAreEmptyAndUnreadableOnesAreNeverOverwritten) {
    TempFolder folder;
    const fs::path file = folder / "new.ini";
    ASSERT_TRUE(ReadIniFile(file).has_value());
    EXPECT_TRUE(ReadIniFile(file)->SectionNames().empty());
    ASSERT_TRUE(WriteIniString(file, u"S", u"k", u"v"));
    EXPECT_EQ(AsText(test::ReadAll(file)), "[S]\r\nk=v\r\n");
    EXPECT_FALSE(WriteIniString(folder / "no" / "x.ini", u"S", u"k", u"v"));

    fs::create_directory(folder / "dir.ini");
    EXPECT_FALSE(ReadIniFile(folder / "dir.ini").has_value());
    EXPECT_FALSE(WriteIniString(folder / "dir.ini", u"S", u"k", u"v"));
    EXPECT_TRUE(fs::is_directory(folder / "dir.ini"));

    const fs::path huge = folder / "huge.ini";
    test::WriteAll(huge, Bytes("[S]\nk=v\n"));
    fs::resize_file(huge, MaxIniFileSize + 1);
    EXPECT_FALSE(ReadIniFile(huge).has_value());
    EXPECT_FALSE(WriteIniString(huge, u"S", u"k", u"w"));
    EXPECT_EQ(fs::file_size(huge), MaxIniFileSize + 1);
}

} // namespace
} // namespace pelmora
