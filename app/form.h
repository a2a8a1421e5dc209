// TForm1, the main window without a toolkit: it owns every control (built from the layout
// table), the serial port, the watchdog timer and the window's state. Its handlers carry the
// names of the controls and events that raise them:
//   form.cpp             construction from the layout and the wiring of every handler
//   form_create.cpp      FormCreate, the language pass and the language box
//   form_transfer.cpp    transfers, the received-data handler, the reply steps, the watchdog
//   form_connection.cpp  connecting, closing and identifying the box
//   form_live.cpp        live adjustment and shift mode
//   form_bindings.cpp    scroll bars, edit boxes and value labels kept in step
//   form_files.cpp       alignment files
//   form_diagram.cpp     the diagram redraw and ImgOnClick
// A face shows the controls and forwards the user's actions to them; the platform's part
// comes in through FormServices. Several forms may live side by side, each with its own port.
#pragma once

#include "app/platform.h"
#include "app/undo_history.h"
#include "controls/controls.h"
#include "diagram/diagram_drawing.h"
#include "editor/parameters.h"
#include "protocol/frames.h"
#include "protocol/transfer_steps.h"
#include "serial/com_port.h"
#include "storage/ui_strings.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class Pause;

// Window message sent synchronously by the received-data handler to run one transfer step.
inline constexpr int WM_DEVICE_REPLY = 1147;

inline constexpr int ReceiveBufferSize = 512;

// A shift-mode reference: the top-left corner when the output's shift mode was last
// ticked or last moved.
struct ShiftPoint {
    int X = 0;
    int Y = 0;
};

// Lists `ports` in the port chooser, then `askEntry` when given, and selects the port named
// `current` (ignoring case), or none.
void FillPortChooser(ComboBox& chooser, const std::vector<PortEntry>& ports,
                     const std::string& current, const std::u16string& askEntry = u"");

class TForm1 {
  public:
    explicit TForm1(FormServices services);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // ---- Controls, owned in layout order ----
    std::vector<std::unique_ptr<Control>> Components;
    Control* Find(std::string_view name) const; // nullptr when there is none
    template <class C> C& Get(std::string_view name) const { return static_cast<C&>(*Find(name)); }

    std::array<Control*, OutputCount> OutputGroups{}; // TntGroupBox1..TntGroupBox4
    // By canonical parameter index; nullptr where the parameter has no such control.
    std::array<ScrollBar*, ParameterCount> Bars{};
    std::array<EditBox*, ParameterCount> Edits{};
    std::array<Control*, ParameterCount> Values{}; // TLX1Val.. (hidden), WRHVal, WRVVal, LRVal

    std::array<CheckBox*, OutputCount> ShiftModes{};      // TV1ShiftMode..TV4ShiftMode
    std::array<CheckBox*, SlotCount> SlotButtons{};       // by slot: Index 1..Index 10
    std::array<CheckBox*, ProfileCount> ProfileButtons{}; // RadioButton6..RadioButton10
    RadioGroup SlotGroup;
    RadioGroup ProfileGroup;

    Button* ReadBtn = nullptr;
    Button* WriteBtn = nullptr;
    Button* ResetBtn = nullptr;
    Button* CNTBTN = nullptr;
    Button* TntButton1 = nullptr; // Save Setting
    Button* TntButton2 = nullptr; // Load Setting
    Button* TntButton5 = nullptr; // profile Load
    Button* TntButton6 = nullptr; // profile Save
    CheckBox* ImgOn = nullptr;
    CheckBox* RealTimeMode = nullptr;
    ComboBox* UIComboBox = nullptr;
    ComboBox* ComComboBox1 = nullptr;
    Control* StModel = nullptr;
    Control* StRes = nullptr;
    Control* StatusPanel = nullptr;
    Control* Msglabel = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    Control* STBar = nullptr;              // hidden status bar
    std::array<Control*, 3> STBarPanels{}; // its three panels
    Timer Timer1{"Timer1"};
    Control Window{ControlKind::Panel, "Form1"}; // the window itself: its caption

    TComPort ComPort1;

    // ---- State ----
    FrameBuffers Frames;
    CoordinateLimits Limits;
    bool SingleOutputMode = false;
    std::array<ShiftPoint, OutputCount> ShiftReference{};
    int StepCounter = StepIdle;
    std::array<std::uint8_t, ReceiveBufferSize> ReceiveBuffer{};
    bool DiagramShown = false;
    int DiagramRedraws = 0; // calls of DrawDiagram, drawn or not

    UiStringTable UiStrings;
    std::vector<std::u16string> LanguageList;
    int LanguageIndex = 0;
    std::u16string InterfaceFontName = DefaultInterfaceFont;
    std::u16string VersionSuffix = u"  V";
    std::filesystem::path UiIniPath;
    std::filesystem::path SystemIniPath;

    Pause& Pauser() { return *services_.pause; }
    MessageBoxes& Messages() { return *services_.messages; }

    // Runs one action of the user or the platform: an error it raises is shown in the
    // standard error box and the program goes on.
    void RunGuarded(const std::function<void()>& action);
    void ShowException(std::exception_ptr error);

    // How WM_DEVICE_REPLY reaches the window: by default at once; a face may route it through
    // its own message dispatch, which must call DeviceReplyMessage.
    std::function<void()> SendDeviceReply;
    void DeviceReplyMessage();

    // ---- Start-up and language ----
    void FormCreate();
    void ApplyUiStrings();
    void UIComboBoxChange();

    // ---- Transfers and connection ----
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
    void ComPort1PortLost();

    // ---- The port chooser ----
    // Lists the system's ports, then the names the user entered that it does not list, then
    // the entry that asks for a network port; the chosen port stays chosen while listed.
    // Nothing changes while a port is connected.
    void RefreshPortList(); // when the list opens, and when the face notices ports come or go
    void ComComboBox1Change();
    std::string ChosenPort() const;        // the name that opens the chosen port, or ""
    std::vector<std::string> EnteredPorts; // kept in the list once entered
    void ConfigureForModel(int model);
    void RunOutputModeStep(int code); // identification: the output-mode reply
    void RunModelStep(int model);     // identification: the model reply
    void TntRadioButton1Click(int tag);
    void ProfileIndexClick(int tag);

    // ---- Editor bindings and live adjustment ----
    void BarChange(int index);
    void EditChange(int index);
    void TLX1EditKeyPress(EditBox& sender, char32_t& key);
    bool ShiftStep(int output, Axis axis);
    void LiveStep(int index);
    void ShiftModeClick(int output); // output 1..4
    void RealTimeModeClick();

    // ---- Diagram ----
    void DrawDiagram();
    void ImgOnClick();
    void DiagramClosed(); // the user closed the diagram window

    // ---- Editing in the diagram: the face forwards the pointer in picture pixels ----
    void DiagramResized(int width, int height); // the picture's size on screen
    // True when a drag now waits for DiagramApplyMove, which the face runs once it has
    // passed on the pointer moves queued behind this one: a drag goes to the latest position.
    bool DiagramPointerMove(Point pixel);
    void DiagramPointerPress(Point pixel);
    void DiagramPointerRelease(Point pixel);
    void DiagramApplyMove();
    enum class DiagramKey { Left, Right, Up, Down, NextHandle, PreviousHandle };
    bool DiagramKeyPress(DiagramKey key, bool shift); // false: the key is not the diagram's
    bool DiagramDragging() const { return drag_.has_value(); }
    std::optional<DiagramHandle> HotHandle;      // under the pointer, or being dragged
    std::optional<DiagramHandle> SelectedHandle; // clicked or reached with Tab

    // ---- Undo: one step per gesture of the user ----
    void Undo(); // nothing while a transfer or a drag runs
    void Redo();
    // A gesture that a control's own user edits join, until EndGesture (a drag in the
    // diagram, Load Setting, Read, Reset). An edit of a control outside such a gesture starts
    // one of its own, which lasts until another control starts one, the edit box is left, or
    // an undo comes.
    void BeginGesture(const void* source);
    void EndGesture();
    UndoHistory History;

    // ---- Alignment files ----
    void TntButton1Click();
    void TntButton2Click();

  private:
    void BuildControls();
    void AssignControls();
    void SetInitialValues();
    void WireHandlers();
    void ShowPortList();
    void ChooseRememberedPort();
    void AskForNetworkPort();
    void LoadLanguage();
    void ApplyAccessibleNames();
    void WireGestures();
    ParameterValues CurrentValues() const;
    void ApplyValues(const ParameterValues& values);
    bool HistoryLocked() const;
    DiagramMapping CurrentMapping() const;
    DiagramCorners Corners() const;
    void MoveCorner(DiagramHandle handle, Point to);
    std::u16string DiagramStatus() const;

    struct DiagramDrag {
        DiagramHandle Handle;
        Point StartCorner;
        Point GrabOffset;             // from the corner's pixel to where it was grabbed
        std::optional<Point> Pending; // the latest pointer position not yet applied
        bool Scheduled = false;
    };
    std::optional<DiagramDrag> drag_;
    Point DragTarget(const DiagramDrag& drag, Point pointer) const;
    bool applyingDrag_ = false;
    int diagramWidth_ = DiagramPicture.Width;
    int diagramHeight_ = DiagramPicture.Height;

    void ControlGesture(const void* source);

    struct Gesture {
        const void* Source;
        ParameterValues Before;
        bool Held; // started by BeginGesture
    };
    std::optional<Gesture> gesture_;

    FormServices services_;
    std::string chosenPort_; // kept chosen when the list is refilled
};

} // namespace pelmora
