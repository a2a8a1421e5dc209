// Transfer sequencer of the main window: Read, Write, Reset, the profile commands, the
// received-data handler, the reply steps and the watchdog.
#include "app/main_window.h"

#include "app/handler_guard.h"
#include "app/message_boxes.h"
#include "protocol/identification.h"
#include "protocol/pause.h"
#include "protocol/transfer_steps.h"

#include <QCoreApplication>

#include <algorithm>

namespace pelmora {

namespace {

constexpr int FramePauseMs = 30;
constexpr int WatchdogMessage = 35;

// The progress bar clamps a position into its range, as a transfer expects.
void SetProgressPosition(QProgressBar& bar, int position) {
    bar.setValue(std::clamp(position, bar.minimum(), bar.maximum()));
}

void SetProgress(QProgressBar& bar, int minimum, int maximum, int position) {
    bar.setRange(minimum, maximum);
    SetProgressPosition(bar, position);
}

void StartTransferPanel(TForm1& form) {
    form.StatusPanel->show();
    form.Timer1->start();
}

void EndTransfer(TForm1& form) {
    form.Pauser().Sleep(EndPauseMs);
    form.StatusPanel->hide();
    form.Timer1->stop();
}

void StartWrite(TForm1& form, int progressMaximum) {
    form.ComPort1.ClearBuffer(true, true);
    form.StepCounter = WriteFirstStep;
    StartTransferPanel(form);
    form.WriteFrame(form.Frames.MmbOnFrame);
    SetProgress(*form.ProgressBar1, WriteFirstStep, progressMaximum, WriteFirstStep);
}

void SendProfileCommand(TForm1& form, ProfileAction action) {
    if (!form.ComPort1.Connected())
        return;
    form.ComPort1.ClearBuffer(true, true);
    form.StepCounter = StepDiscard;
    form.WriteFrame(form.Frames.Profile(action));
}

// One row of the read or write table: store the reply's value, then send or end.
void RunTransferStep(TForm1& form, const TransferStep& row, int replyValue) {
    if (row.storeIndex != NoParameter)
        SetPosition(*form.Bars[row.storeIndex], replyValue);
    const StepAction action = ActionOf(row, form.SingleOutputMode);
    form.StepCounter = action.next;
    if (action.send.kind == StepSend::EndTransfer) {
        EndTransfer(form);
        return;
    }
    const int value =
        action.send.kind == StepSend::ParameterSet ? form.Bars[action.send.index]->value() : 0;
    form.SendFrame(BuildStepFrame(form.Frames, action.send, value));
}

} // namespace

bool TForm1::event(QEvent* e) {
    if (e->type() == DeviceReplyEventType) {
        // A failed step is shown here and the received-data handler goes on.
        HandlerGuard::RunSlot([this] { OnDeviceReply(); });
        return true;
    }
    return QWidget::event(e);
}

void TForm1::ComPort1RxChar(TCustomComPort& sender, int) {
    const int waiting = sender.InputCount();
    if (waiting < FrameSize)
        return;
    sender.Read(ReceiveBuffer.data(), std::min(waiting, ReceiveBufferSize));
    Timer1->stop();
    if (!StatusPanel->isHidden())
        Timer1->start();
    QEvent reply(DeviceReplyEventType);
    QCoreApplication::sendEvent(this, &reply);
}

void TForm1::OnDeviceReply() {
    const int step = StepCounter;
    const int value = ReplyValue(ReceiveBuffer.data(), static_cast<unsigned>(step) < 16u);
    SetProgressPosition(*ProgressBar1, step);
    if (step == OutputModeStep)
        RunOutputModeStep(*this, value);
    else if (step == ModelStep)
        RunModelStep(*this, value);
    else if (const TransferStep* row = FindTransferStep(step))
        RunTransferStep(*this, *row, value);
}

void TForm1::WriteFrame(const Frame& frame) {
    ComPort1.Write(frame.data(), FrameSize);
}

void TForm1::SendFrame(const Frame& frame) {
    WriteFrame(frame);
    Pauser().Sleep(FramePauseMs);
}

void TForm1::ReadBtnClick() {
    if (!ComPort1.Connected())
        return;
    ComPort1.ClearBuffer(true, true);
    StepCounter = ReadFirstStep;
    SetProgress(*ProgressBar1, 0, ReadProgressMaximum, 0);
    StartTransferPanel(*this);
    WriteFrame(Frames.FirstCornerQuery());
}

void TForm1::WriteBtnClick() {
    if (ComPort1.Connected())
        StartWrite(*this, WriteProgressMaximum);
}

void TForm1::ResetBtnClick() {
    for (const int index : ResetOrder)
        SetPosition(*Bars[index], ResetValue(index, Limits.MaxX));
    if (ComPort1.Connected())
        StartWrite(*this, ResetProgressMaximum);
}

void TForm1::TntButton5Click() {
    SendProfileCommand(*this, ProfileAction::Load);
}

void TForm1::TntButton6Click() {
    SendProfileCommand(*this, ProfileAction::Save);
}

void TForm1::Timer1Timer() {
    Timer1->stop();
    CurrentMessageBoxes().ShowMessage(QString::fromStdU16String(UiStrings[WatchdogMessage]));
    StatusPanel->hide();
}

void TForm1::TntRadioButton1Click(int tag) {
    Frames.SelectSlot(tag);
}

void TForm1::ProfileIndexClick(int tag) {
    Frames.SelectProfile(tag);
}

} // namespace pelmora
