// Connecting, closing and identifying the box.
#include "app/form.h"

#include "protocol/pause.h"
#include "protocol/resolution_table.h"
#include "storage/text_encoding.h"

#include <exception>
#include <string>

namespace pelmora {

namespace {

constexpr int OpenSettleMs = 100;
constexpr int SingleOutputModel = 105;

bool IsXBar(int index) {
    return Parameters[index].axis == Axis::X;
}

void SetConnectButton(TForm1& form, int text) {
    form.CNTBTN->HelpContext = text;
    form.CNTBTN->SetCaption(form.UiStrings[text]);
}

// The corner bars' maxima, TV1..TV4 and within each output TL X, TL Y, TR X, TR Y; a bar
// above its new maximum is clamped to it, and a clamped top-left corner in shift mode drags
// its top-right corner along like any other move.
void SetCornerMaxima(TForm1& form, Resolution resolution) {
    for (int index = 0; index < OutputCount * 4; ++index)
        form.Bars[index]->SetMax(IsXBar(index) ? resolution.Width : resolution.Height);
}

void MoveTopRightXToMaximum(TForm1& form) {
    for (int output = 1; output <= OutputCount; ++output) {
        ScrollBar* bar = form.Bars[CornerIndex(output, ParamKind::TopRight, Axis::X)];
        bar->SetPosition(bar->Max());
    }
}

void RecordLimits(TForm1& form) {
    form.Limits.MaxX = form.Bars[CornerIndex(1, ParamKind::TopLeft, Axis::X)]->Max();
    form.Limits.MaxY = form.Bars[CornerIndex(1, ParamKind::TopLeft, Axis::Y)]->Max();
}

void SetDeviceTexts(TForm1& form, const std::u16string& model, const std::u16string& resolution) {
    form.STBarPanels[0]->SetCaption(model);
    form.StModel->SetCaption(model);
    form.STBarPanels[1]->SetCaption(resolution);
    form.StRes->SetCaption(resolution);
}

// The corner edits, bars and shift-mode box of one output, in the order they are switched.
void SetOutputEnabled(TForm1& form, int output, bool enabled) {
    const int first = CornerIndex(output, ParamKind::TopLeft, Axis::X);
    for (int index = first; index < first + 4; ++index)
        form.Edits[index]->SetEnabled(enabled);
    for (int index = first; index < first + 4; ++index)
        form.Bars[index]->SetEnabled(enabled);
    form.ShiftModes[output - 1]->SetEnabled(enabled);
}

void ClosePort(TForm1& form) {
    form.ComPort1.Close();
    SetConnectButton(form, ConnectText);
    form.StatusPanel->Hide(); // the watchdog keeps running: a cut transfer is still reported
    form.ConfigureForModel(0);
    SetDeviceTexts(form, u"", u"");
}

// Opens the chosen port and lets it settle; false, with the error shown, when that fails.
// A port that opened but could not be made ready is closed again.
bool OpenPort(TForm1& form) {
    try {
        form.ComPort1.SetPort(form.ChosenPort());
        form.ComPort1.Open();
        form.Pauser().Sleep(OpenSettleMs);
        form.ComPort1.ClearBuffer(true, true);
        return true;
    } catch (const std::exception&) {
        if (form.ComPort1.Connected())
            form.ComPort1.Close();
        form.ShowException(std::current_exception());
        return false;
    }
}

void OpenAndIdentify(TForm1& form) {
    if (!OpenPort(form))
        return;
    SetConnectButton(form, CloseText);
    form.WriteFrame(form.Frames.OutputModeQueryFrame);
    form.StepCounter = OutputModeStep;
}

std::u16string Decimal(int value) {
    return Utf8ToUtf16(std::to_string(value));
}

void LeaveRealTimeMode(TForm1& form) {
    if (form.RealTimeMode->Checked()) {
        form.RealTimeMode->SetChecked(false);
        form.RealTimeModeClick();
    }
}

} // namespace

void TForm1::RunOutputModeStep(int code) {
    SetCornerMaxima(*this, ResolutionForCode(code));
    MoveTopRightXToMaximum(*this);
    RecordLimits(*this);
    StepCounter = ModelStep;
    SendFrame(Frames.ModelQueryFrame);
}

void TForm1::RunModelStep(int model) {
    ConfigureForModel(model);
    SetDeviceTexts(*this, u"P" + Decimal(model),
                   Decimal(Limits.MaxX) + u" x " + Decimal(Limits.MaxY));
    StepCounter = StepIdle;
}

void TForm1::CNTBTNClick() {
    LeaveRealTimeMode(*this);
    if (ComPort1.Connected())
        ClosePort(*this);
    else
        OpenAndIdentify(*this);
}

// The port closed itself: the window is disconnected as by Close, but the bars keep their
// values and limits for the next connection; a transfer it cut short is reported at once.
void TForm1::ComPort1PortLost() {
    LeaveRealTimeMode(*this);
    if (Timer1.Running())
        Timer1Timer();
    StatusPanel->Hide();
    SetConnectButton(*this, ConnectText);
    SetDeviceTexts(*this, u"", u"");
    Messages().ShowError(ErrorBoxText(UiStrings[PortLostText]));
}

void TForm1::ConfigureForModel(int model) {
    const bool allOutputs = model != SingleOutputModel;
    for (int output = 2; output <= OutputCount; ++output)
        SetOutputEnabled(*this, output, allOutputs);
    SingleOutputMode = !allOutputs;
    if (!allOutputs)
        return;
    SetCornerMaxima(*this, ResolutionForCode(DefaultResolutionCode));
    RecordLimits(*this);
    MoveTopRightXToMaximum(*this);
}

} // namespace pelmora
