// Transfer sequencer: Read, Write, Reset, the profile commands, the received-data handler,
// the reply steps and the watchdog.
#include "app/form.h"

#include "protocol/pause.h"
#include "protocol/transfer_steps.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr int FramePauseMs = 30;

void StartTransferPanel(TForm1& form) {
    form.StatusPanel->Show();
    form.Timer1.Start();
}

void EndTransfer(TForm1& form) {
    form.Pauser().Sleep(EndPauseMs);
    form.StatusPanel->Hide();
    form.Timer1.Stop();
    form.EndGesture(); // a Read's values are one step back
}

void StartWrite(TForm1& form, int progressMaximum) {
    form.ComPort1.ClearBuffer(true, true);
    form.StepCounter = WriteFirstStep;
    StartTransferPanel(form);
    form.WriteFrame(form.Frames.MmbOnFrame);
    form.ProgressBar1->SetRange(WriteFirstStep, progressMaximum);
    form.ProgressBar1->SetPosition(WriteFirstStep);
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
        form.Bars[row.storeIndex]->SetPosition(replyValue);
    const StepAction action = ActionOf(row, form.SingleOutputMode);
    form.StepCounter = action.next;
    if (action.send.kind == StepSend::EndTransfer) {
        EndTransfer(form);
        return;
    }
    const int value =
        action.send.kind == StepSend::ParameterSet ? form.Bars[action.send.index]->Position() : 0;
    form.SendFrame(BuildStepFrame(form.Frames, action.send, value));
}

} // namespace

// The window's dispatch of WM_DEVICE_REPLY: a failed step is shown here and the
// received-data handler goes on.
void TForm1::DeviceReplyMessage() {
    RunGuarded([this] { OnDeviceReply(); });
}

void TForm1::ComPort1RxChar(TCustomComPort& sender, int) {
    const int waiting = sender.InputCount();
    if (waiting < FrameSize)
        return;
    sender.Read(ReceiveBuffer.data(), std::min(waiting, ReceiveBufferSize));
    Timer1.Stop();
    if (StatusPanel->Visible())
        Timer1.Start();
    SendDeviceReply();
}

void TForm1::OnDeviceReply() {
    const int step = StepCounter;
    const TransferStep* row = FindTransferStep(step);
    const int value = ReplyValue(ReceiveBuffer.data(), row != nullptr && ReplyHasThousands(*row));
    ProgressBar1->SetPosition(step);
    if (step == OutputModeStep)
        RunOutputModeStep(value);
    else if (step == ModelStep)
        RunModelStep(value);
    else if (row != nullptr)
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
    ProgressBar1->SetRange(0, ReadProgressMaximum);
    ProgressBar1->SetPosition(0);
    BeginGesture(ReadBtn);
    StartTransferPanel(*this);
    WriteFrame(Frames.FirstCornerQuery());
}

void TForm1::WriteBtnClick() {
    if (ComPort1.Connected())
        StartWrite(*this, WriteProgressMaximum);
}

void TForm1::ResetBtnClick() {
    BeginGesture(ResetBtn);
    for (const int index : ResetOrder)
        Bars[index]->SetPosition(ResetValue(index, Limits.MaxX));
    EndGesture();
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
    Timer1.Stop();
    Messages().ShowMessage(UiStrings[CommunicationErrorText]);
    StatusPanel->Hide();
    EndGesture();
}

void TForm1::TntRadioButton1Click(int tag) {
    Frames.SelectSlot(tag);
}

void TForm1::ProfileIndexClick(int tag) {
    Frames.SelectProfile(tag);
}

} // namespace pelmora
