// The port chooser: the ports it lists and keeps chosen, and its entry that asks for the
// address of a network port.
#include "app/form.h"

#include "serial/net_device.h"
#include "storage/language_files.h"
#include "storage/text_encoding.h"

#include <algorithm>

namespace pelmora {

namespace {

bool Lists(const std::vector<PortEntry>& ports, const std::string& name) {
    return std::any_of(ports.begin(), ports.end(),
                       [&](const PortEntry& port) { return SamePortName(port.Name, name); });
}

bool IsNetworkPort(const std::string& name) {
    return detail::ParseNetworkPort(name).has_value();
}

} // namespace

void FillPortChooser(ComboBox& chooser, const std::vector<PortEntry>& ports,
                     const std::string& current, const std::u16string& askEntry) {
    std::vector<std::u16string> items;
    int selected = -1;
    for (const PortEntry& port : ports) {
        if (selected < 0 && SamePortName(port.Name, current))
            selected = int(items.size());
        items.push_back(Utf8ToUtf16(PortLabel(port)));
    }
    if (!askEntry.empty())
        items.push_back(askEntry);
    chooser.SetItems(std::move(items));
    chooser.SetItemIndex(selected);
}

std::string TForm1::ChosenPort() const {
    const std::u16string label = ComComboBox1->Text();
    return label == UiStrings[NetworkPortText] ? "" : PortNameOfLabel(Utf16ToUtf8(label));
}

// An entered name is listed once, and not when the system lists it too; a chosen port that
// went away is chosen again when it comes back.
void TForm1::ShowPortList() {
    std::vector<PortEntry> ports = services_.listPorts ? services_.listPorts() : EnumComPorts();
    for (const std::string& entered : EnteredPorts)
        if (!Lists(ports, entered))
            ports.push_back({entered});
    FillPortChooser(*ComComboBox1, ports, chosenPort_, UiStrings[NetworkPortText]);
}

void TForm1::RefreshPortList() {
    if (!ComPort1.Connected())
        ShowPortList();
}

// At start-up: the port chosen last, else the port component's own. An adapter chosen last
// but not plugged in yet is chosen as it appears (a network port is always listed).
void TForm1::ChooseRememberedPort() {
    const std::string remembered = Utf16ToUtf8(ReadLastPort(SystemIniPath));
    if (IsNetworkPort(remembered))
        EnteredPorts.push_back(remembered);
    chosenPort_ = remembered.empty() ? ComPort1.Port() : remembered;
    ShowPortList();
}

void TForm1::ComComboBox1Change() {
    if (ComComboBox1->Text() == UiStrings[NetworkPortText]) {
        AskForNetworkPort();
        return;
    }
    chosenPort_ = ChosenPort();
    SaveLastPort(SystemIniPath, Utf8ToUtf16(chosenPort_));
}

// Asks until the answer is a network port's name or the user cancels; a cancel leaves the
// port chosen before.
void TForm1::AskForNetworkPort() {
    std::u16string answer = IsNetworkPort(chosenPort_) ? Utf8ToUtf16(chosenPort_) : u"rfc2217://";
    for (;;) {
        const std::optional<std::u16string> entered =
            Messages().AskText(UiStrings[NetworkPortPromptText], answer);
        if (!entered)
            break;
        answer = *entered;
        const std::string name = Utf16ToUtf8(answer);
        if (IsNetworkPort(name)) {
            EnteredPorts.push_back(name);
            chosenPort_ = name;
            SaveLastPort(SystemIniPath, answer);
            break;
        }
    }
    ShowPortList();
}

} // namespace pelmora
