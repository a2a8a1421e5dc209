// Start-up of the main window and the interface language: FormCreate, the language pass over
// the captioned controls, and the language box.
#include "app/caption.h"
#include "app/handler_guard.h"
#include "app/main_window.h"
#include "app/version_info.h"
#include "storage/language_files.h"

#include <typeindex>

namespace pelmora {

namespace {

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// The six kinds whose caption and font follow the language; the test is on the exact class.
HelpContextHolder* TranslatableControl(QWidget* control) {
    static const std::array<std::type_index, 6> kinds = {
        typeid(TTntButton),     typeid(TTntRadioButton), typeid(TTntGroupBox),
        typeid(TTntStaticText), typeid(TTntCheckBox),    typeid(TTntLabel),
    };
    if (std::find(kinds.begin(), kinds.end(), std::type_index(typeid(*control))) == kinds.end())
        return nullptr;
    return dynamic_cast<HelpContextHolder*>(control);
}

void SetFontFace(QWidget* control, const QString& face) {
    QFont font = control->font();
    font.setFamily(face);
    control->setFont(font);
}

} // namespace

void TForm1::FormCreate() {
    for (QLineEdit* edit : Edits)
        if (edit != nullptr && edit != Edits[LTIndex])
            edit->setAlignment(Qt::AlignCenter);
    for (int output = 1; output <= OutputCount; ++output) {
        const int index = CornerIndex(output, ParamKind::TopRight, Axis::X);
        Values[index]->setText(QString::number(DefaultMaxX));
        SetEditText(*Edits[index], QString::number(DefaultMaxX));
    }
    StatusPanel->move(8, 140);
    DefaultUiStrings(); // builds the built-in English table
    VersionSuffix = BuildVersionSuffix(services_.VersionInfo);

    UiIniPath = UiIniPathIn(services_.ExecutableDir);
    SystemIniPath = SystemIniPathIn(services_.ExecutableDir);
    std::error_code error;
    if (!std::filesystem::exists(UiIniPath, error))
        WriteDefaultUiIni(UiIniPath); // a folder that cannot be written leaves English
    LanguageList = ListLanguages(UiIniPath);
    UIComboBox->clear();
    for (const std::u16string& language : LanguageList)
        UIComboBox->addItem(ToQString(language));
    LanguageIndex = ReadLanguageIndex(SystemIniPath, UIComboBox->count());
    UIComboBox->setCurrentIndex(LanguageIndex);
    LoadLanguage();
    ApplyUiStrings();

    for (QLabel* deviceText : {static_cast<QLabel*>(StModel), static_cast<QLabel*>(StRes),
                               STBarPanels[0], STBarPanels[1]})
        deviceText->clear();
    StepCounter = StepIdle;
}

void TForm1::LoadLanguage() {
    LoadedLanguage loaded = LoadUiStrings(UiIniPath, LanguageList.at(LanguageIndex));
    UiStrings = std::move(loaded.UiStrings);
    InterfaceFontName = std::move(loaded.InterfaceFontName);
}

void TForm1::ApplyUiStrings() {
    const QString face = ToQString(InterfaceFontName);
    for (QWidget* control : Components) {
        HelpContextHolder* translatable = TranslatableControl(control);
        if (translatable == nullptr || translatable->HelpContext <= 0 ||
            translatable->HelpContext >= UiStringCount)
            continue;
        SetCaption(control, ToQString(UiStrings[translatable->HelpContext]));
        SetFontFace(control, face);
    }
    setWindowTitle(WindowCaption(ToQString(UiStrings[0]), VersionSuffix));
}

void TForm1::UIComboBoxChange(int index) {
    if (index == LanguageIndex || index < 0 || index >= int(LanguageList.size()))
        return;
    LanguageIndex = index;
    LoadLanguage();
    ApplyUiStrings();
    SaveLanguageIndex(SystemIniPath, LanguageIndex);
}

} // namespace pelmora
