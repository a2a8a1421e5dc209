#include "cli/box_session.h"

#include "storage/text_encoding.h"
#include "storage/ui_strings.h"

#include <mutex>

namespace pelmora::cli {

namespace {

constexpr std::chrono::milliseconds BoxSilence{2000};
// A transfer ends by itself or by the watchdog; this only keeps a broken line from hanging.
constexpr std::chrono::minutes TransferLimit{1};

// Forms start one at a time: the first writes the default UI.INI that the others read.
std::mutex formCreation;

} // namespace

BoxSession::BoxSession(std::string port, const SessionSetup& setup)
    : port_(std::move(port)), setup_(setup) {
    FormServices services;
    services.pause = setup_.pause;
    services.messages = &messages_;
    services.fileDialogs = &dialogs_;
    services.ExecutableDir = setup_.ExecutableDir;
    AddInstalledFolders(services);
    services.VersionInfo = setup_.VersionInfo;
    {
        const std::lock_guard lock(formCreation);
        form_ = std::make_unique<TForm1>(std::move(services));
    }
    loop_ = std::make_unique<HeadlessLoop>(*form_);
    form_->SendDeviceReply = [this] {
        ++replies_;
        form_->DeviceReplyMessage();
    };
    if (setup_.OnProgress)
        form_->ProgressBar1->AttachView(this);
}

BoxSession::~BoxSession() {
    form_->ProgressBar1->AttachView(nullptr);
    loop_.reset();
    form_.reset();
}

// Runs the loop until `done`, as long as the box answers within the watchdog's period.
bool BoxSession::AwaitReplies(const std::function<bool()>& done) {
    while (true) {
        const int seen = replies_;
        loop_->PumpUntil([&] { return done() || Failed() || replies_ != seen; }, BoxSilence);
        if (Failed())
            return false;
        if (done())
            return true;
        if (replies_ == seen) {
            ReportSilentBox();
            return false;
        }
    }
}

// Runs the loop until the transfer a button started has ended, or the watchdog has spoken.
bool BoxSession::RunTransfer() {
    const bool ended = loop_->PumpUntil(
        [this] {
            return Failed() || (form_->StatusPanel->Hidden() && form_->StepCounter == StepIdle);
        },
        TransferLimit);
    if (!ended)
        ReportSilentBox();
    return !Failed();
}

void BoxSession::ReportSilentBox() {
    messages_.ShowMessage(form_->UiStrings[CommunicationErrorText]);
}

bool BoxSession::Connect() {
    form_->ComComboBox1->SetItems({Utf8ToUtf16(port_)});
    form_->ComComboBox1->SetItemIndex(0);
    if (!Click(*form_->CNTBTN) || !form_->ComPort1.Connected())
        return false;
    return AwaitReplies([this] { return form_->StepCounter == StepIdle; });
}

bool BoxSession::SlotTransfer(int slot, Button& start) {
    return Click(*form_->SlotButtons[slot - 1]) && Click(start) && RunTransfer();
}

bool BoxSession::Read(int slot) {
    return SlotTransfer(slot, *form_->ReadBtn);
}

bool BoxSession::Write(int slot) {
    return SlotTransfer(slot, *form_->WriteBtn);
}

bool BoxSession::Reset(int slot) {
    return SlotTransfer(slot, *form_->ResetBtn);
}

// The box's reply to a profile command carries nothing; its arrival says the box has it.
bool BoxSession::Profile(ProfileAction action, int profile) {
    if (!Click(*form_->ProfileButtons[profile - 1]))
        return false;
    const int before = replies_;
    Button& button = action == ProfileAction::Load ? *form_->TntButton5 : *form_->TntButton6;
    return Click(button) && AwaitReplies([&] { return replies_ > before; });
}

bool BoxSession::LoadFile(const std::filesystem::path& file) {
    dialogs_.Open = file;
    return Click(*form_->TntButton2);
}

bool BoxSession::SaveFile(const std::filesystem::path& file) {
    dialogs_.Save = file;
    return Click(*form_->TntButton1);
}

std::string BoxSession::Model() const {
    return Utf16ToUtf8(form_->StModel->Caption());
}

std::string BoxSession::Resolution() const {
    return Utf16ToUtf8(form_->StRes->Caption());
}

PmxValues BoxSession::Values() const {
    PmxValues values{};
    for (int index = 0; index < ParameterCount; ++index)
        values[index] = form_->Bars[index]->Position();
    return values;
}

void BoxSession::Changed(Change what) {
    const ProgressBar& bar = *form_->ProgressBar1;
    if ((what != Change::Position && what != Change::Range) || form_->StatusPanel->Hidden() ||
        bar.Max() <= bar.Min())
        return;
    setup_.OnProgress(double(bar.Position() - bar.Min()) / (bar.Max() - bar.Min()));
}

} // namespace pelmora::cli
