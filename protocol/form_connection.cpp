// Connecting, closing and identifying the box.
#include "app/main_window.h"

#include "app/handler_guard.h"
#include "app/message_boxes.h"
#include "protocol/identification.h"
#include "protocol/pause.h"
#include "protocol/resolution_table.h"
#include "serial/com_combo_box.h"

#include <algorithm>
#include <exception>

namespace pelmora {

namespace {

constexpr int ConnectCaption = 12;
constexpr int CloseCaption = 13;
constexpr int OpenSettleMs = 100;
constexpr int SingleOutputModel = 105;

bool IsXBar(int index) {
    return Parameters[index].axis == Axis::X;
}

void SetConnectButton(TForm1& form, int text) {
    form.CNTBTN->HelpContext = text;
    form.CNTBTN->setText(QString::fromStdU16String(form.UiStrings[text]));
}

// The corner bars' maxima, TV1..TV4 and within each output TL X, TL Y, TR X, TR Y; a bar
// above its new maximum is clamped to it. The shift references come down first, so that a
// shifted top-left corner clamped here moves from a value its bar can hold.
void SetCornerMaxima(TForm1& form, Resolution resolution) {
    for (ShiftPoint& reference : form.ShiftReference) {
        reference.X = std::min(reference.X, resolution.Width);
        reference.Y = std::min(reference.Y, resolution.Height);
    }
    for (int index = 0; index < OutputCount * 4; ++index)
        SetMaximum(*form.Bars[index], IsXBar(index) ? resolution.Width : resolution.Height);
}

void MoveTopRightXToMaximum(TForm1& form) {
    for (int output = 1; output <= OutputCount; ++output) {
        QScrollBar* bar = form.Bars[CornerIndex(output, ParamKind::TopRight, Axis::X)];
        SetPosition(*bar, bar->maximum());
    }
}

void RecordLimits(TForm1& form) {
    form.Limits.MaxX = form.Bars[CornerIndex(1, ParamKind::TopLeft, Axis::X)]->maximum();
    form.Limits.MaxY = form.Bars[CornerIndex(1, ParamKind::TopLeft, Axis::Y)]->maximum();
}

void SetDeviceTexts(TForm1& form, const QString& model, const QString& resolution) {
    form.STBarPanels[0]->setText(model);
    form.StModel->setText(model);
    form.STBarPanels[1]->setText(resolution);
    form.StRes->setText(resolution);
}

// The corner edits, bars and shift-mode box of one output, in the order they are switched.
void SetOutputEnabled(TForm1& form, int output, bool enabled) {
    const int first = CornerIndex(output, ParamKind::TopLeft, Axis::X);
    for (int index = first; index < first + 4; ++index)
        form.Edits[index]->setEnabled(enabled);
    for (int index = first; index < first + 4; ++index)
        form.Bars[index]->setEnabled(enabled);
    form.ShiftModes[output - 1]->setEnabled(enabled);
}

void ClosePort(TForm1& form) {
    form.ComPort1.Close();
    SetConnectButton(form, ConnectCaption);
    form.StatusPanel->hide(); // the watchdog keeps running: a cut transfer is still reported
    form.ConfigureForModel(0);
    SetDeviceTexts(form, QString(), QString());
}

// Opens the chosen port and lets it settle; false, with the error shown, when that fails.
// A port that opened but could not be made ready is closed again.
bool OpenPort(TForm1& form) {
    try {
        form.ComPort1.SetPort(form.ComComboBox1->Text());
        form.ComPort1.Open();
        form.Pauser().Sleep(OpenSettleMs);
        form.ComPort1.ClearBuffer(true, true);
        return true;
    } catch (const std::exception& error) {
        if (form.ComPort1.Connected())
            form.ComPort1.Close();
        CurrentMessageBoxes().ShowError(QString::fromUtf8(error.what()));
        return false;
    }
}

void OpenAndIdentify(TForm1& form) {
    if (!OpenPort(form))
        return;
    SetConnectButton(form, CloseCaption);
    form.WriteFrame(form.Frames.OutputModeQueryFrame);
    form.StepCounter = OutputModeStep;
}

} // namespace

void RunOutputModeStep(TForm1& form, int code) {
    SetCornerMaxima(form, ResolutionForCode(code));
    MoveTopRightXToMaximum(form);
    RecordLimits(form);
    form.StepCounter = ModelStep;
    form.SendFrame(form.Frames.ModelQueryFrame);
}

void RunModelStep(TForm1& form, int model) {
    form.ConfigureForModel(model);
    SetDeviceTexts(form, QString::asprintf("P%d", model),
                   QString::asprintf("%d x %d", form.Limits.MaxX, form.Limits.MaxY));
    form.StepCounter = StepIdle;
}

void TForm1::CNTBTNClick() {
    if (RealTimeMode->isChecked()) {
        RealTimeMode->setChecked(false);
        RealTimeModeClick();
    }
    if (ComPort1.Connected())
        ClosePort(*this);
    else
        OpenAndIdentify(*this);
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
