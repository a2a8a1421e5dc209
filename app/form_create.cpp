// Start-up of the main window and the interface language: FormCreate, the language pass over
// the captioned controls, and the language box.
#include "app/caption.h"
#include "app/control_names.h"
#include "app/form.h"
#include "app/version_info.h"
#include "storage/language_files.h"
#include "storage/text_encoding.h"

#include <fstream>

namespace pelmora {
namespace {

// True when a file can be made in the folder; the probe is removed again.
bool FolderIsWritable(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / ".pelmora-write-probe";
    std::error_code error;
    const bool made = std::ofstream(probe).is_open();
    std::filesystem::remove(probe, error);
    return made;
}

struct SettingsFiles {
    std::filesystem::path UiIni;
    std::filesystem::path SystemIni;
    bool Portable; // beside the executable: a missing UI.INI is written there
};

// An installed tool has a UI.INI in a package data folder of its own, or cannot write beside
// its executable; everything else is a portable copy.
bool IsInstalled(const FormServices& services) {
    std::error_code error;
    const bool packageFolderApart =
        !services.PackageDataDir.empty() &&
        std::filesystem::exists(UiIniPathIn(services.PackageDataDir), error) &&
        !std::filesystem::equivalent(services.PackageDataDir, services.ExecutableDir, error);
    return packageFolderApart || !FolderIsWritable(services.ExecutableDir);
}

SettingsFiles LocateSettings(const FormServices& services) {
    if (services.UserConfigDir.empty() || !IsInstalled(services))
        return {UiIniPathIn(services.ExecutableDir), SystemIniPathIn(services.ExecutableDir), true};
    std::error_code error;
    std::filesystem::create_directories(services.UserConfigDir, error);
    const std::filesystem::path userUiIni = UiIniPathIn(services.UserConfigDir);
    const bool userHasOne = std::filesystem::exists(userUiIni, error);
    return {userHasOne || services.PackageDataDir.empty() ? userUiIni
                                                          : UiIniPathIn(services.PackageDataDir),
            SystemIniPathIn(services.UserConfigDir), false};
}

} // namespace

void TForm1::FormCreate() {
    for (EditBox* edit : Edits)
        if (edit != nullptr && edit != Edits[LTIndex])
            edit->SetCentred(true);
    const std::u16string maxX = Utf8ToUtf16(std::to_string(DefaultMaxX));
    for (int output = 1; output <= OutputCount; ++output) {
        const int index = CornerIndex(output, ParamKind::TopRight, Axis::X);
        Values[index]->SetCaption(maxX);
        Edits[index]->SetText(maxX);
    }
    DefaultUiStrings(); // builds the built-in English table
    VersionSuffix = BuildVersionSuffix(services_.VersionInfo);

    const SettingsFiles settings = LocateSettings(services_);
    UiIniPath = settings.UiIni;
    SystemIniPath = settings.SystemIni;
    std::error_code error;
    if (settings.Portable && !std::filesystem::exists(UiIniPath, error))
        WriteDefaultUiIni(UiIniPath); // a folder that cannot be written leaves English
    LanguageList = ListLanguages(UiIniPath);
    UIComboBox->SetItems(LanguageList);
    LanguageIndex = ReadLanguageIndex(SystemIniPath, int(LanguageList.size()));
    UIComboBox->SetItemIndex(LanguageIndex);
    LoadLanguage();
    ApplyUiStrings();
    ChooseRememberedPort();

    for (Control* deviceText : {StModel, StRes, STBarPanels[0], STBarPanels[1]})
        deviceText->SetCaption(u"");
    StepCounter = StepIdle;
}

void TForm1::LoadLanguage() {
    LoadedLanguage loaded = LoadUiStrings(UiIniPath, LanguageList.at(LanguageIndex));
    UiStrings = std::move(loaded.UiStrings);
    InterfaceFontName = std::move(loaded.InterfaceFontName);
}

// The six captioned kinds take the text whose index is their HelpContext, and the font.
void TForm1::ApplyUiStrings() {
    for (const std::unique_ptr<Control>& control : Components) {
        if (!control->Translatable || control->HelpContext <= 0 ||
            control->HelpContext >= UiStringCount)
            continue;
        control->SetCaption(UiStrings[control->HelpContext]);
        control->SetFontFace(InterfaceFontName);
    }
    Window.SetCaption(WindowCaption(UiStrings[0], VersionSuffix));
    ApplyAccessibleNames();
}

void TForm1::ApplyAccessibleNames() {
    for (const ParameterInfo& info : Parameters) {
        const std::u16string name = ParameterName(info, UiStrings);
        for (Control* control : {static_cast<Control*>(Bars[info.index]),
                                 static_cast<Control*>(Edits[info.index]), Values[info.index]})
            if (control != nullptr)
                control->SetAccessibleName(name);
    }
    ComComboBox1->SetAccessibleName(PortChooserName);
    UIComboBox->SetAccessibleName(LanguageChooserName);
    ProgressBar1->SetAccessibleName(ProgressBarName);
}

void TForm1::UIComboBoxChange() {
    const int index = UIComboBox->ItemIndex();
    if (index == LanguageIndex || index < 0 || index >= int(LanguageList.size()))
        return;
    LanguageIndex = index;
    LoadLanguage();
    ApplyUiStrings();
    RefreshPortList(); // its last entry speaks the language
    SaveLanguageIndex(SystemIniPath, LanguageIndex);
}

} // namespace pelmora
