// Start-up in a folder and the interface language: the files written, the language chosen,
// the strings and the font that reach the controls, and a change of language.
#include "support/form_fixture.h"

#include "app/caption.h"
#include "app/version_info.h"
#include "support/environment_override.h"

#include <gtest/gtest.h>

#include "storage/text_encoding.h"

#include <set>

namespace pelmora::testing {
namespace {

// The keys of a section of a UI.INI in file order.
std::vector<std::string> KeysOf(const std::string& ini) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < ini.size()) {
        std::size_t end = ini.find('\n', start);
        if (end == std::string::npos)
            end = ini.size();
        const std::string line = ini.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            keys.push_back(line.substr(0, equals));
        start = end + 1;
    }
    return keys;
}

std::string TwoLanguages(const std::string& secondFont = "") {
    std::string ini = "[English]\r\nStr1=TV1\r\n[Deutsch]\r\nStr0=Ausrichtung\r\n"
                      "Str12=Verbinden\r\nStr22=Oben links\r\n";
    if (!secondFont.empty())
        ini += "Font=" + secondFont + "\r\n";
    return ini;
}

class LanguageTest : public ::testing::Test {
  protected:
    TempFolder folder;
    StartedForm fixture;
    std::filesystem::path UiIni() const { return folder.Path() / "UI.INI"; }
    std::filesystem::path SystemIni() const { return folder.Path() / "SYSTEM.INI"; }
};

TEST_F(LanguageTest, StartInAnEmptyFolderWritesBothFilesAndShowsEnglish) {
    const VersionRecord record = MakeVersionRecord(1, 0, 2, 6);
    TForm1& form = fixture.Start(
        folder.Path(), std::string(reinterpret_cast<const char*>(&record), sizeof record));

    const std::string ui = ReadFile(UiIni());
    EXPECT_EQ(ui.find("[English]"), 0u);
    EXPECT_EQ(ui.find('[', 1), std::string::npos) << "one section only";
    std::vector<std::string> expectedKeys;
    for (int i = 0; i < UiStringCount; ++i)
        expectedKeys.push_back("Str" + std::to_string(i));
    EXPECT_EQ(KeysOf(ui), expectedKeys);
    EXPECT_NE(ui.find("Str21=Please wait..............."), std::string::npos);

    const std::string system = ReadFile(SystemIni());
    EXPECT_NE(system.find("[SYSTEM]"), std::string::npos);
    EXPECT_NE(system.find("UI=0"), std::string::npos);

    ASSERT_EQ(form.UIComboBox->Items().size(), 1u);
    EXPECT_EQ(form.UIComboBox->Items()[0], u"English");
    EXPECT_EQ(form.UIComboBox->ItemIndex(), 0);
    EXPECT_EQ(TextOf(form.Window), "PAT  Pelmora Align Tool  V1.026");
    EXPECT_TRUE(fixture.Boxes.Errors.empty());
}

TEST_F(LanguageTest, StartLeavesTheShellIdleAndTheDeviceBoxesEmpty) {
    TForm1& form = fixture.Start(folder.Path());
    EXPECT_EQ(form.StepCounter, StepIdle);
    EXPECT_TRUE(TextOf(form.StModel).empty());
    EXPECT_TRUE(TextOf(form.StRes).empty());
    EXPECT_TRUE(TextOf(form.STBarPanels[0]).empty());
    EXPECT_TRUE(TextOf(form.STBarPanels[1]).empty());
    EXPECT_FALSE(form.ImgOn->Checked());
    EXPECT_FALSE(form.RealTimeMode->Checked());
    EXPECT_EQ(TextOf(form.Window), "PAT  Pelmora Align Tool") << "no version record";
}

TEST_F(LanguageTest, SystemIniChoosesTheSecondLanguage) {
    WriteFile(UiIni(), TwoLanguages());
    WriteFile(SystemIni(), "[SYSTEM]\r\nUI=1\r\n");
    TForm1& form = fixture.Start(folder.Path());

    EXPECT_EQ(form.LanguageIndex, 1);
    EXPECT_EQ(form.UIComboBox->Text(), u"Deutsch");
    EXPECT_EQ(TextOf(form.CNTBTN), "Verbinden");
    EXPECT_EQ(TextOf(form.Find("TntStaticText5")), "Oben links");
    EXPECT_EQ(TextOf(form.ReadBtn), "Read") << "absent keys fall back to English";
    EXPECT_EQ(TextOf(form.Window).rfind("PAT  Ausrichtung", 0), 0u);
}

TEST_F(LanguageTest, AnIndexBeyondTheListUsesTheFirstLanguageAndLeavesTheFile) {
    WriteFile(UiIni(), TwoLanguages());
    const std::string system = "[SYSTEM]\r\nUI=7\r\n";
    WriteFile(SystemIni(), system);
    TForm1& form = fixture.Start(folder.Path());

    EXPECT_EQ(form.LanguageIndex, 0);
    EXPECT_EQ(form.UIComboBox->Text(), u"English");
    EXPECT_EQ(TextOf(form.CNTBTN), "Connect");
    EXPECT_EQ(ReadFile(SystemIni()), system);
}

TEST_F(LanguageTest, AnAbsentIndexIsWrittenBackAsZero) {
    WriteFile(UiIni(), TwoLanguages());
    WriteFile(SystemIni(), "[SYSTEM]\r\nUI=65535\r\n");
    TForm1& form = fixture.Start(folder.Path());
    EXPECT_EQ(form.LanguageIndex, 0);
    EXPECT_NE(ReadFile(SystemIni()).find("UI=0"), std::string::npos);
}

TEST_F(LanguageTest, UiIniWithoutSectionsOffersEnglishWithTheDefaults) {
    WriteFile(UiIni(), "Str12=stray\r\n");
    TForm1& form = fixture.Start(folder.Path());
    ASSERT_EQ(form.UIComboBox->Items().size(), 1u);
    EXPECT_EQ(form.UIComboBox->Items()[0], u"English");
    EXPECT_EQ(TextOf(form.CNTBTN), "Connect");
    EXPECT_EQ(ReadFile(UiIni()), "Str12=stray\r\n") << "an existing UI.INI is never rewritten";
}

TEST_F(LanguageTest, Utf16TextReachesTheControlsIntact) {
    const std::u16string russian = u"\u041f\u043e\u0434\u043a\u043b\u044e\u0447\u0438\u0442\u044c";
    const std::u16string japanese = u"\u5de6\u4e0a";
    WriteFile(UiIni(), Utf16LeWithBom(u"[English]\r\n[\u0420\u0443\u0441\u0441\u043a\u0438\u0439]"
                                      u"\r\nStr12=" +
                                      russian + u"\r\nStr22=" + japanese + u"\r\n"));
    WriteFile(SystemIni(), "[SYSTEM]\r\nUI=1\r\n");
    TForm1& form = fixture.Start(folder.Path());

    EXPECT_EQ(form.UIComboBox->Text(), u"\u0420\u0443\u0441\u0441\u043a\u0438\u0439");
    EXPECT_EQ(form.CNTBTN->Caption(), russian);
    for (const char* name :
         {"TntStaticText2", "TntStaticText5", "TntStaticText6", "TntStaticText8"})
        EXPECT_EQ(form.Find(name)->Caption(), japanese) << name;
}

TEST_F(LanguageTest, FontKeyReachesOnlyTheSixCaptionedKinds) {
    WriteFile(UiIni(), TwoLanguages("Arial"));
    WriteFile(SystemIni(), "[SYSTEM]\r\nUI=1\r\n");
    TForm1& form = fixture.Start(folder.Path());

    int arial = 0;
    for (const auto& control : form.Components) {
        const bool captioned = control->Translatable && control->HelpContext != 0;
        EXPECT_EQ(control->FontFace(), captioned ? u"Arial" : u"Segoe UI") << control->Name();
        arial += captioned ? 1 : 0;
    }
    EXPECT_GT(arial, 40);
    EXPECT_FALSE(form.Find("RadioButton6")->Translatable) << "profile buttons keep their digits";
    EXPECT_FALSE(form.Find("Label1")->Translatable);
}

TEST_F(LanguageTest, LanguageChangeRebuildsCaptionsAndIsRemembered) {
    WriteFile(UiIni(), TwoLanguages());
    TForm1& form = fixture.Start(folder.Path());
    form.UIComboBox->UserSelect(1);
    EXPECT_EQ(form.LanguageIndex, 1);
    EXPECT_EQ(TextOf(form.CNTBTN), "Verbinden");
    EXPECT_EQ(TextOf(form.Window), "PAT  Ausrichtung");
    EXPECT_NE(ReadFile(SystemIni()).find("UI=1"), std::string::npos);

    std::filesystem::remove(SystemIni());
    form.UIComboBox->UserSelect(1);
    EXPECT_FALSE(std::filesystem::exists(SystemIni())) << "the same language writes nothing";

    form.UIComboBox->UserSelect(0);
    EXPECT_EQ(TextOf(form.CNTBTN), "Connect");
    EXPECT_EQ(TextOf(form.Window), "PAT  Pelmora Align Tool");
    EXPECT_NE(ReadFile(SystemIni()).find("UI=0"), std::string::npos);
}

std::string NameOf(const Control* control) {
    return Utf16ToUtf8(control->AccessibleName());
}

TEST_F(LanguageTest, ValueControlsAreNamedAfterTheirCaptionsInTheLanguageInUse) {
    WriteFile(UiIni(), TwoLanguages());
    TForm1& form = fixture.Start(folder.Path());
    const int tr2x = CornerIndex(2, ParamKind::TopRight, Axis::X);
    EXPECT_EQ(NameOf(form.Bars[tr2x]), "TV2 Top Right X");
    EXPECT_EQ(NameOf(form.Edits[CornerIndex(1, ParamKind::TopLeft, Axis::Y)]), "TV1 Top Left Y");
    EXPECT_EQ(NameOf(form.Bars[WRVIndex]), "Warp Ratio V");
    EXPECT_EQ(NameOf(form.Values[WRVIndex]), "Warp Ratio V");
    EXPECT_EQ(NameOf(form.Edits[WPHIndex]), "Warp Position H");
    EXPECT_EQ(NameOf(form.Bars[LRIndex]), "Loop Range");
    EXPECT_EQ(NameOf(form.Edits[LTIndex]), "Loop Time");
    std::set<std::string> bars, edits;
    for (int index = 0; index < ParameterCount; ++index) {
        bars.insert(NameOf(form.Bars[index]));
        if (form.Edits[index] != nullptr)
            edits.insert(NameOf(form.Edits[index]));
    }
    EXPECT_EQ(bars.size(), 22u);
    EXPECT_EQ(edits.size(), 19u);
    EXPECT_FALSE(NameOf(form.ComComboBox1).empty() || NameOf(form.UIComboBox).empty() ||
                 NameOf(form.ProgressBar1).empty());

    form.UIComboBox->UserSelect(1);
    EXPECT_EQ(NameOf(form.Edits[CornerIndex(3, ParamKind::TopLeft, Axis::X)]), "TV3 Oben links X");
}

TEST_F(LanguageTest, PlainLabelsAndProfileButtonsKeepTheirCaptionsInEveryLanguage) {
    WriteFile(UiIni(), "[English]\r\n[Other]\r\nStr1=A\r\nStr34=Verschieben\r\n");
    TForm1& form = fixture.Start(folder.Path());
    form.UIComboBox->UserSelect(1);
    EXPECT_EQ(TextOf(form.OutputGroups[0]), "A");
    EXPECT_EQ(TextOf(form.ShiftModes[2]), "Verschieben");
    EXPECT_EQ(TextOf(form.Find("Label1")), "X");
    EXPECT_EQ(TextOf(form.Find("Label21")), "V");
    EXPECT_EQ(TextOf(form.ProfileButtons[4]), "5");
    EXPECT_EQ(TextOf(form.Values[WRHIndex]), "100");
}

TEST_F(LanguageTest, AFolderThatCannotBeWrittenStartsInEnglishSilently) {
    WriteFile(folder.Path() / "file", "not a folder");
    const std::filesystem::path unwritable = folder.Path() / "file" / "tool";
    TForm1& form = fixture.Start(unwritable);

    EXPECT_TRUE(fixture.Boxes.Errors.empty());
    EXPECT_TRUE(fixture.Boxes.Messages.empty());
    EXPECT_EQ(form.UIComboBox->Items().size(), 1u);
    EXPECT_EQ(form.UIComboBox->Items()[0], u"English");
    EXPECT_EQ(TextOf(form.CNTBTN), "Connect");
    EXPECT_EQ(form.StepCounter, StepIdle) << "start-up ran to its end";
    form.UIComboBox->UserSelect(0);
    EXPECT_TRUE(fixture.Boxes.Errors.empty());
}

// An installed tool: its folder cannot be written (a path below a file, which not even root
// can make), the package ships UI.INI, and the user's choice lives in the configuration folder.
class InstalledLanguageTest : public LanguageTest {
  protected:
    InstalledLanguageTest() {
        WriteFile(folder.Path() / "file", "");
        std::filesystem::create_directories(packageDir);
        WriteFile(packageDir / "UI.INI", TwoLanguages());
    }
    TForm1& StartInstalled() {
        FormServices services = fixture.For(folder.Path() / "file" / "bin");
        services.PackageDataDir = packageDir;
        services.UserConfigDir = configDir;
        fixture.Form = std::make_unique<TForm1>(services);
        return *fixture.Form;
    }
    const std::filesystem::path packageDir = folder.Path() / "share";
    const std::filesystem::path configDir = folder.Path() / "config" / "pelmora-align";
};

TEST_F(InstalledLanguageTest, TheLanguageChoiceSurvivesARestartInTheConfigFolder) {
    StartInstalled().UIComboBox->UserSelect(1);
    EXPECT_NE(ReadFile(configDir / "SYSTEM.INI").find("UI=1"), std::string::npos);

    TForm1& restarted = StartInstalled();
    EXPECT_EQ(restarted.UIComboBox->Text(), u"Deutsch");
    EXPECT_EQ(TextOf(restarted.CNTBTN), "Verbinden");
    EXPECT_FALSE(std::filesystem::exists(configDir / "UI.INI")) << "no default UI.INI written";
    EXPECT_EQ(ReadFile(packageDir / "UI.INI"), TwoLanguages());
}

TEST_F(InstalledLanguageTest, TheUsersOwnUiIniComesBeforeThePackages) {
    std::filesystem::create_directories(configDir);
    WriteFile(configDir / "UI.INI", "[Mine]\r\nStr12=Go\r\n");
    TForm1& form = StartInstalled();
    ASSERT_EQ(form.UIComboBox->Items().size(), 1u);
    EXPECT_EQ(TextOf(form.CNTBTN), "Go");
}

TEST_F(InstalledLanguageTest, AWritableFolderWithoutAPackageUiIniIsAPortableCopy) {
    FormServices services = fixture.For(folder.Path());
    services.PackageDataDir = folder.Path() / "elsewhere";
    services.UserConfigDir = configDir;
    fixture.Form = std::make_unique<TForm1>(services);
    EXPECT_TRUE(std::filesystem::exists(UiIni()));
    EXPECT_TRUE(std::filesystem::exists(SystemIni()));
    EXPECT_FALSE(std::filesystem::exists(configDir));
}

TEST_F(InstalledLanguageTest, APackageUiIniApartMarksAnInstalledToolEvenInAWritableFolder) {
    FormServices services = fixture.For(folder.Path()); // root may write /usr/bin
    services.PackageDataDir = packageDir;
    services.UserConfigDir = configDir;
    fixture.Form = std::make_unique<TForm1>(services);
    EXPECT_FALSE(std::filesystem::exists(UiIni()));
    EXPECT_TRUE(std::filesystem::exists(configDir / "SYSTEM.INI"));
    EXPECT_EQ(fixture.Form->LanguageList.size(), 2u);

    services.UserConfigDir.clear(); // without a settings folder it keeps them beside itself
    fixture.Form = std::make_unique<TForm1>(services);
    EXPECT_TRUE(std::filesystem::exists(SystemIni()));
}

// A copy that cannot write beside itself writes no UI.INI anywhere, even when its package
// has none: it shows English.
TEST_F(InstalledLanguageTest, AnUnwritableCopyWithoutAnyUiIniWritesNoneAndShowsEnglish) {
    std::filesystem::remove(packageDir / "UI.INI");
    TForm1& form = StartInstalled();
    EXPECT_FALSE(std::filesystem::exists(packageDir / "UI.INI"));
    EXPECT_FALSE(std::filesystem::exists(configDir / "UI.INI"));
    EXPECT_TRUE(std::filesystem::exists(configDir / "SYSTEM.INI"));
    EXPECT_EQ(TextOf(form.CNTBTN), "Connect");
}

// The package folder is the executable's own (as on Windows), or there is none and the
// working folder happens to hold a UI.INI: either is a portable copy.
TEST_F(InstalledLanguageTest, APackageFolderThatIsTheExecutablesOrNoneIsAPortableCopy) {
    FormServices services = fixture.For(packageDir);
    services.PackageDataDir = packageDir / ".";
    services.UserConfigDir = configDir;
    fixture.Form = std::make_unique<TForm1>(services);
    EXPECT_TRUE(std::filesystem::exists(packageDir / "SYSTEM.INI"));

    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(packageDir);
    services = fixture.For(folder.Path());
    services.UserConfigDir = configDir;
    fixture.Form = std::make_unique<TForm1>(services);
    std::filesystem::current_path(working);
    EXPECT_TRUE(std::filesystem::exists(SystemIni()));
    EXPECT_FALSE(std::filesystem::exists(configDir));
}

TEST(InstalledFoldersTest, FollowTheSystemsConventions) {
    EnvironmentOverride environment;
    FormServices services;
    services.ExecutableDir = "/usr/bin";
    environment.Set("HOME", "/home/ann");
    environment.Set("XDG_CONFIG_HOME", nullptr);
    AddInstalledFolders(services);
    EXPECT_EQ(services.PackageDataDir, "/usr/share/pelmora-align");
    EXPECT_EQ(services.UserConfigDir, "/home/ann/.config/pelmora-align");

    environment.Set("XDG_CONFIG_HOME", "/cfg");
    AddInstalledFolders(services);
    EXPECT_EQ(services.UserConfigDir, "/cfg/pelmora-align");
    environment.Set("XDG_CONFIG_HOME", "relative"); // ignored, as a relative one must be
    AddInstalledFolders(services);
    EXPECT_EQ(services.UserConfigDir, "/home/ann/.config/pelmora-align");

    environment.Set("HOME", "relative");
    environment.Set("XDG_CONFIG_HOME", nullptr);
    FormServices homeless;
    AddInstalledFolders(homeless);
    EXPECT_TRUE(homeless.UserConfigDir.empty());
}

} // namespace
} // namespace pelmora::testing
