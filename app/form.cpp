// Construction of the main window from the layout table, then the wiring of every control
// to its handler.
#include "app/form.h"

#include "app/layout.h"
#include "editor/edit_parsing.h"
#include "protocol/pause.h"
#include "serial/enum_com_ports.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <stdexcept>

namespace pelmora {

namespace {

std::unique_ptr<Control> CreateControl(const ControlRow& row) {
    switch (row.Kind) {
    case ControlKind::ScrollBar:
        return std::make_unique<ScrollBar>(row.Name);
    case ControlKind::Edit:
        return std::make_unique<EditBox>(row.Name);
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return std::make_unique<CheckBox>(row.Kind, row.Name);
    case ControlKind::Button:
        return std::make_unique<Button>(row.Name);
    case ControlKind::ComboBox:
        return std::make_unique<ComboBox>(row.Name);
    case ControlKind::ProgressBar:
        return std::make_unique<ProgressBar>(row.Name);
    case ControlKind::GroupBox:
    case ControlKind::StaticText:
    case ControlKind::Bevel:
    case ControlKind::Label:
    case ControlKind::Panel:
    case ControlKind::StatusBar:
    case ControlKind::Timer:
        break;
    }
    return std::make_unique<Control>(row.Kind, row.Name);
}

std::unique_ptr<Control> BuildControl(const ControlRow& row) {
    std::unique_ptr<Control> control = CreateControl(row);
    if (auto* edit = dynamic_cast<EditBox*>(control.get()))
        edit->SetText(Utf8ToUtf16(row.Caption));
    else
        control->SetCaption(Utf8ToUtf16(row.Caption));
    control->HelpContext = row.HelpContext;
    control->Translatable = row.Translatable;
    control->SetFontFace(DefaultInterfaceFont);
    if (auto* box = dynamic_cast<CheckBox*>(control.get()))
        box->Tag = row.Tag;
    if (row.Hidden)
        control->Hide();
    return control;
}

// Buttons and check boxes whose click runs a handler without arguments.
template <class C> struct ClickBinding {
    const char* name;
    C* TForm1::*control;
    void (TForm1::*handler)();
};

constexpr std::array<ClickBinding<Button>, 8> ButtonBindings = {{
    {"ReadBtn", &TForm1::ReadBtn, &TForm1::ReadBtnClick},
    {"WriteBtn", &TForm1::WriteBtn, &TForm1::WriteBtnClick},
    {"ResetBtn", &TForm1::ResetBtn, &TForm1::ResetBtnClick},
    {"CNTBTN", &TForm1::CNTBTN, &TForm1::CNTBTNClick},
    {"TntButton1", &TForm1::TntButton1, &TForm1::TntButton1Click},
    {"TntButton2", &TForm1::TntButton2, &TForm1::TntButton2Click},
    {"TntButton5", &TForm1::TntButton5, &TForm1::TntButton5Click},
    {"TntButton6", &TForm1::TntButton6, &TForm1::TntButton6Click},
}};

constexpr std::array<ClickBinding<CheckBox>, 2> CheckBoxBindings = {{
    {"ImgOn", &TForm1::ImgOn, &TForm1::ImgOnClick},
    {"RealTimeMode", &TForm1::RealTimeMode, &TForm1::RealTimeModeClick},
}};

} // namespace

std::u16string ErrorBoxText(const std::u16string& message) {
    if (!message.empty() && message.back() > u'.')
        return message + u'.';
    return message;
}

TForm1::TForm1(FormServices services) : services_(std::move(services)) {
    if (services_.pause == nullptr || services_.messages == nullptr)
        throw std::invalid_argument("a form needs a pause and message boxes");
    BuildControls();
    WireHandlers();
    RunGuarded([this] { FormCreate(); });
}

// No received-data event may reach the form once it is being destroyed.
TForm1::~TForm1() {
    ComPort1.OnRxChar = nullptr;
    ComPort1.OnPortLost = nullptr;
    ComPort1.Close();
}

Control* TForm1::Find(std::string_view name) const {
    const auto found =
        std::find_if(Components.begin(), Components.end(),
                     [name](const auto& control) { return control->Name() == name; });
    return found == Components.end() ? nullptr : found->get();
}

void TForm1::RunGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TForm1::ShowException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        Messages().ShowError(ErrorBoxText(Utf8ToUtf16(e.what())));
    } catch (...) {
        Messages().ShowError(ErrorBoxText(u"Unknown error"));
    }
}

void TForm1::BuildControls() {
    for (const ControlRow& row : LayoutRows())
        Components.push_back(BuildControl(row));
    for (const StatusPanelLayout& panel : StatusBarPanels) {
        Components.push_back(std::make_unique<Control>(ControlKind::Label, panel.Name));
        Components.back()->SetFontFace(DefaultInterfaceFont);
    }
    AssignControls();
    SetInitialValues();
    Window.SetFontFace(DefaultInterfaceFont);
    Timer1.Interval = 2000;
}

void TForm1::AssignControls() {
    for (int output = 1; output <= OutputCount; ++output) {
        OutputGroups[output - 1] = Find(OutputGroupName(output));
        ShiftModes[output - 1] = &Get<CheckBox>(ShiftModeName(output));
    }
    for (const ParameterInfo& info : Parameters) {
        Bars[info.index] = &Get<ScrollBar>(info.barName);
        if (!info.editName.empty())
            Edits[info.index] = &Get<EditBox>(info.editName);
        if (!info.valueName.empty())
            Values[info.index] = Find(info.valueName);
    }
    for (std::size_t tag = 0; tag < SlotButtons.size(); ++tag) {
        SlotButtons[tag] = &Get<CheckBox>(SlotButtonNames[tag]);
        SlotGroup.Add(*SlotButtons[tag]);
    }
    for (int tag = 0; tag < int(ProfileButtons.size()); ++tag) {
        ProfileButtons[tag] = &Get<CheckBox>(ProfileButtonName(tag));
        ProfileGroup.Add(*ProfileButtons[tag]);
    }
    for (const auto& binding : ButtonBindings)
        this->*binding.control = &Get<Button>(binding.name);
    for (const auto& binding : CheckBoxBindings)
        this->*binding.control = &Get<CheckBox>(binding.name);
    UIComboBox = &Get<ComboBox>("UIComboBox");
    ComComboBox1 = &Get<ComboBox>("ComComboBox1");
    StModel = Find("StModel");
    StRes = Find("StRes");
    StatusPanel = Find("StatusPanel");
    Msglabel = Find("Msglabel");
    ProgressBar1 = &Get<ProgressBar>("ProgressBar1");
    STBar = Find("STBar");
    for (std::size_t i = 0; i < STBarPanels.size(); ++i)
        STBarPanels[i] = Find(StatusBarPanels[i].Name);
}

void TForm1::SetInitialValues() {
    for (const ParameterInfo& info : Parameters) {
        Bars[info.index]->SetRange(info.minimum, info.maximum);
        Bars[info.index]->SetPosition(info.startValue);
    }
    ProgressBar1->SetRange(0, 100);
    SlotButtons[0]->SetChecked(true);
    ProfileButtons[0]->SetChecked(true);
}

void TForm1::WireHandlers() {
    for (const ParameterInfo& info : Parameters) {
        const int index = info.index;
        Bars[index]->OnChange = [this, index] { BarChange(index); };
        if (EditBox* edit = Edits[index]) {
            edit->OnChange = [this, index] { EditChange(index); };
            edit->OnKeyPress = [this](EditBox& sender, char32_t& key) {
                TLX1EditKeyPress(sender, key);
            };
        }
    }
    for (int output = 1; output <= OutputCount; ++output)
        ShiftModes[output - 1]->OnClick = [this, output] { ShiftModeClick(output); };
    for (CheckBox* button : SlotButtons)
        button->OnClick = [this, button] { TntRadioButton1Click(button->Tag); };
    for (CheckBox* button : ProfileButtons)
        button->OnClick = [this, button] { ProfileIndexClick(button->Tag); };
    for (const auto& binding : ButtonBindings)
        (this->*binding.control)->OnClick = [this, handler = binding.handler] {
            (this->*handler)();
        };
    for (const auto& binding : CheckBoxBindings)
        (this->*binding.control)->OnClick = [this, handler = binding.handler] {
            (this->*handler)();
        };
    UIComboBox->OnChange = [this] { UIComboBoxChange(); };
    ComComboBox1->OnChange = [this] { ComComboBox1Change(); };
    ComComboBox1->OnDropDown = [this] { RefreshPortList(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    ComPort1.OnRxChar = [this](TCustomComPort& sender, int count) {
        ComPort1RxChar(sender, count);
    };
    ComPort1.OnPortLost = [this](TCustomComPort&) { RunGuarded([this] { ComPort1PortLost(); }); };
    SendDeviceReply = [this] { DeviceReplyMessage(); };
    WireGestures();
}

} // namespace pelmora
