#include "support/form_fixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace pelmora::testing {

namespace {

bool SequenceAtRest(const TForm1& form) {
    return form.StepCounter == StepIdle || form.StepCounter == StepDiscard;
}

} // namespace

void FixturePause::Sleep(int milliseconds) {
    Pauses.push_back(milliseconds);
    if (Real)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    // A ticking timer bounds each wait for events, so the loop neither spins nor hangs.
    QTimer tick;
    tick.start(5);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    PumpUntil([end] { return std::chrono::steady_clock::now() >= end; }, duration * 2);
}

FormFixture::FormFixture() {
    InstallMessageBoxes(&Boxes);
    TForm1Services services;
    services.pause = &Pauses;
    services.ExecutableDir = Dir;
    Form = std::make_unique<TForm1>(std::move(services));
    Form->show();
}

FormFixture::~FormFixture() {
    Form.reset();
    Box.reset();
    InstallMessageBoxes(nullptr);
}

emulator::PtyBox& FormFixture::StartBox(emulator::BoxOptions options) {
    Box.reset();
    Box = std::make_unique<emulator::PtyBox>(std::move(options));
    return *Box;
}

bool FormFixture::Connect(emulator::BoxOptions options) {
    if (!Box)
        StartBox(std::move(options));
    Form->ComComboBox1->Populate({Box->DevicePath()}, Box->DevicePath());
    const std::size_t before = Box->Frames().size();
    Form->CNTBTNClick();
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
    return PumpUntil([&] { return Form->StatusPanel->isHidden(); }, timeout);
}

int FormFixture::Value(int index) const {
    return Form->Bars[index]->value();
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

} // namespace pelmora::testing
