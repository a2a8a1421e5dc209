// TForm1, the main window: it owns every control, the serial port, the watchdog timer and
// the file dialogs. Its handlers carry the names of the controls and events that raise them;
// their bodies live in the room of the subsystem they belong to:
//   app/       construction, layout, FormCreate, language pass
//   protocol/  transfers, connection and identification, live adjustment (form_*.cpp)
//   editor/    editor bindings (form_bindings.cpp)
//   diagram/   the diagram redraw and ImgOnClick (form_diagram.cpp)
//   app/       alignment-file actions (form_files.cpp)
#pragma once

#include "app/tnt_controls.h"
#include "editor/parameters.h"
#include "protocol/frames.h"
#include "protocol/transfer_steps.h"
#include "serial/com_combo_box.h"
#include "serial/com_port.h"
#include "storage/ui_strings.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace pelmora {

class Pause;
class MessageBoxes;
class TForm2;
class QtUiHandoff;

// Window message sent synchronously by the received-data handler to run one transfer step.
inline constexpr int WM_DEVICE_REPLY = 1147;
inline constexpr QEvent::Type DeviceReplyEventType = static_cast<QEvent::Type>(WM_DEVICE_REPLY);

inline constexpr int ReceiveBufferSize = 512;

// Platform services the window uses, replaceable in tests.
struct TForm1Services {
    Pause* pause = nullptr;                 // required
    std::filesystem::path ExecutableDir;    // where UI.INI and SYSTEM.INI live
    std::optional<std::string> VersionInfo; // the executable's version record, if it has one
};

// A shift-mode reference: the top-left corner when the output's shift mode was last
// ticked or last moved.
struct ShiftPoint {
    int X = 0;
    int Y = 0;
};

// A file dialog built on first use (building one costs more than all the rest of the window);
// used like a pointer to it.
class LazyFileDialog {
  public:
    using Builder = QFileDialog* (*)(QWidget* parent);
    LazyFileDialog(QWidget* parent, Builder build) : parent_(parent), build_(build) {}

    QFileDialog* get();
    QFileDialog& operator*() { return *get(); }
    QFileDialog* operator->() { return get(); }

  private:
    QWidget* parent_;
    Builder build_;
    QFileDialog* dialog_ = nullptr; // owned by parent_
};

// Sets the caption of a group box, button, check box, radio button, label or edit box.
void SetCaption(QWidget* control, const QString& caption);

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Controls. objectName() of each is its name here. ----
    std::array<TTntGroupBox*, OutputCount> OutputGroups{}; // TntGroupBox1..TntGroupBox4
    TTntGroupBox* TntGroupBox5 = nullptr;                  // Warp Ratio
    TTntGroupBox* TntGroupBox6 = nullptr;                  // Warp Position
    TTntGroupBox* TntGroupBox7 = nullptr;                  // Profile
    TTntGroupBox* TntGroupBox8 = nullptr;                  // Loop Range
    TTntGroupBox* TntGroupBox9 = nullptr;                  // Loop Time

    // By canonical parameter index; nullptr where the parameter has no such control.
    std::array<QScrollBar*, ParameterCount> Bars{};
    std::array<QLineEdit*, ParameterCount> Edits{};
    std::array<QLabel*, ParameterCount> Values{}; // TLX1Val.. (hidden), WRHVal, WRVVal, LRVal

    std::array<TTntCheckBox*, OutputCount> ShiftModes{}; // TV1ShiftMode..TV4ShiftMode
    std::array<TTntRadioButton*, 10> SlotButtons{};      // by slot: Index 1..Index 10
    std::array<QRadioButton*, 5> ProfileButtons{};       // RadioButton6..RadioButton10

    TTntButton* ReadBtn = nullptr;
    TTntButton* WriteBtn = nullptr;
    TTntButton* ResetBtn = nullptr;
    TTntButton* CNTBTN = nullptr;
    TTntButton* TntButton1 = nullptr; // Save Setting
    TTntButton* TntButton2 = nullptr; // Load Setting
    TTntButton* TntButton5 = nullptr; // profile Load
    TTntButton* TntButton6 = nullptr; // profile Save
    TTntCheckBox* ImgOn = nullptr;
    TTntCheckBox* RealTimeMode = nullptr;
    QComboBox* UIComboBox = nullptr;
    TComComboBox* ComComboBox1 = nullptr;
    TTntStaticText* StModel = nullptr;
    TTntStaticText* StRes = nullptr;
    QFrame* StatusPanel = nullptr;
    TTntLabel* Msglabel = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* STBar = nullptr;             // hidden status bar
    std::array<QLabel*, 3> STBarPanels{}; // its three panels
    QTimer* Timer1 = nullptr;
    LazyFileDialog OpenDlg;
    LazyFileDialog SaveDlg;

    // Every control above (and the layout's frames and plain labels), in creation order.
    std::vector<QWidget*> Components;

    TComPort ComPort1;
    // Brings ComPort1's received-data events to the UI thread; destroyed before the port.
    std::unique_ptr<QtUiHandoff> ComPort1Handoff;
    TForm2* Form2 = nullptr; // the diagram window, set by AttachDiagram

    // Makes `form` the diagram window; closing it unticks ImgOn and runs ImgOnClick.
    void AttachDiagram(TForm2* form);

    // ---- State ----
    FrameBuffers Frames;
    CoordinateLimits Limits;
    bool SingleOutputMode = false;
    std::array<ShiftPoint, OutputCount> ShiftReference{};
    int StepCounter = StepIdle;
    std::array<std::uint8_t, ReceiveBufferSize> ReceiveBuffer{};
    int DiagramRedraws = 0; // calls of DrawDiagram, drawn or not

    UiStringTable UiStrings;
    std::vector<std::u16string> LanguageList;
    int LanguageIndex = 0;
    std::u16string InterfaceFontName = u"Segoe UI";
    QString VersionSuffix = QStringLiteral("  V");
    std::filesystem::path UiIniPath;
    std::filesystem::path SystemIniPath;

    Pause& Pauser() { return *services_.pause; }

    // ---- Start-up and language (app/) ----
    void FormCreate();
    void ApplyUiStrings();
    void UIComboBoxChange(int index);

    // ---- Transfers and connection (protocol/) ----
    void ComPort1RxChar(TCustomComPort& sender, int count);
    void OnDeviceReply();
    void WriteFrame(const Frame& frame); // the whole 12 bytes, no pause
    void SendFrame(const Frame& frame);  // WriteFrame, then the 30 ms pause of a transfer
    void ReadBtnClick();
    void WriteBtnClick();
    void ResetBtnClick();
    void TntButton5Click();
    void TntButton6Click();
    void Timer1Timer();
    void CNTBTNClick();
    void ConfigureForModel(int model);
    void TntRadioButton1Click(int tag);
    void ProfileIndexClick(int tag);

    // ---- Editor bindings (editor/) and live adjustment (protocol/) ----
    void BarChange(int index);
    void EditChange(int index);
    void TEditClick(QLineEdit* edit);
    void TEditEnter(QLineEdit* edit);
    bool ShiftStep(int output, Axis axis);
    void LiveStep(int index);
    void ShiftModeClick(int output); // output 1..4
    void RealTimeModeClick();

    // ---- Diagram (diagram/) ----
    void DrawDiagram();
    void ImgOnClick();

    // ---- Alignment files (app/) ----
    void TntButton1Click();
    void TntButton2Click();

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void BuildControls();
    void BuildStatusBarPanels();
    void AssignControls();
    void SetInitialValues();
    void ArrangeTabOrder();
    void BuildTimer();
    void WireHandlers();
    void LoadLanguage();

    TForm1Services services_;
};

} // namespace pelmora
