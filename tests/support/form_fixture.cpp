#include "support/form_fixture.h"

#include "storage/text_encoding.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace pelmora::testing {

namespace {

bool SequenceAtRest(const TForm1& form) {
    return form.StepCounter == StepIdle || form.StepCounter == StepDiscard;
}

using Clock = std::chrono::steady_clock;

} // namespace

void FixturePause::Sleep(int milliseconds) {
    Pauses.push_back(milliseconds);
    if (Real)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

FormServices FormServicesUnderTest::For(const std::filesystem::path& folder,
                                        std::optional<std::string> versionRecord) {
    FormServices services;
    services.pause = &Pauses;
    services.messages = &Boxes;
    services.fileDialogs = &Dialogs;
    services.diagram = &Diagram;
    services.listPorts = [this] { return Ports ? *Ports : EnumComPorts(); };
    services.ExecutableDir = folder;
    services.VersionInfo = std::move(versionRecord);
    return services;
}

FormFixture::FormFixture() {
    Form = std::make_unique<TForm1>(For(Dir));
    Loop = std::make_unique<HeadlessLoop>(*Form);
}

FormFixture::~FormFixture() {
    Loop.reset();
    Form.reset();
    Box.reset();
}

emulator::PtyBox& FormFixture::StartBox(emulator::BoxOptions options) {
    Box.reset();
    Box = std::make_unique<emulator::PtyBox>(std::move(options));
    return *Box;
}

std::string TextOf(const Control* control) {
    if (const auto* edit = dynamic_cast<const EditBox*>(control))
        return Utf16ToUtf8(edit->Text());
    if (const auto* list = dynamic_cast<const ComboBox*>(control))
        return Utf16ToUtf8(list->Text());
    return Utf16ToUtf8(control->Caption());
}

void ChoosePort(TForm1& form, const std::string& port) {
    form.ComComboBox1->SetItems({Utf8ToUtf16(port)});
    form.ComComboBox1->SetItemIndex(0);
}

bool FormFixture::Connect(emulator::BoxOptions options) {
    if (!Box)
        StartBox(std::move(options));
    ChoosePort(*Form, Box->DevicePath());
    const std::size_t before = Box->Frames().size();
    Form->CNTBTN->UserClick();
    return Form->ComPort1.Connected() && PumpUntilFrames(before + 2) &&
           Form->StepCounter == StepIdle;
}

bool FormFixture::PumpUntilFrames(std::size_t count, std::chrono::milliseconds timeout) {
    return PumpUntil(
        [&] {
            return Box->Frames().size() >= count && SequenceAtRest(*Form) &&
                   (!Form->ComPort1.Connected() || Form->ComPort1.InputCount() == 0);
        },
        timeout);
}

bool FormFixture::PumpUntilPanelHidden(std::chrono::milliseconds timeout) {
    return PumpUntil([&] { return !Form->StatusPanel->Visible(); }, timeout);
}

void FormFixture::PumpFor(std::chrono::milliseconds duration) {
    const auto end = Clock::now() + duration;
    PumpUntil([end] { return Clock::now() >= end; }, duration * 2);
}

int FormFixture::Value(int index) const {
    return Form->Bars[index]->Position();
}

void FormFixture::ForgetBoxFrames() {
    if (Form->ComPort1.Connected()) {
        // A frame the tool never sends, left unanswered, marks the end of what was written.
        static const std::string marker = "S00SYNC000";
        Box->SetSilent(true);
        Form->ComPort1.Write((marker + "\r\n").data(), FrameSize);
        EXPECT_TRUE(PumpUntil([&] {
            const std::vector<std::string> frames = Box->Frames();
            return !frames.empty() && frames.back() == marker;
        }));
        Box->SetSilent(false);
    }
    Box->ClearFrames();
}

std::vector<std::string> FormFixture::BoxFrames() const {
    return Box->Frames();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16LeWithBom(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char(unit >> 8));
    }
    return bytes;
}

} // namespace pelmora::testing
