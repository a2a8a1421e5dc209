// Construction of the main window: the layout held as rows of data (name, kind, parent,
// geometry, caption, HelpContext), walked to create the controls, then the wiring of every
// control to its handler.
#include "app/main_window.h"

#include "app/handler_guard.h"

#include "app/application.h"
#include "diagram/diagram_drawing.h"
#include "diagram/diagram_window.h"
#include "serial/com_combo_box.h"
#include "serial/qt_ui_handoff.h"

#include <QAbstractButton>

#include <string>
#include <vector>

namespace pelmora {

namespace {

enum class Kind {
    TntGroupBox,
    GroupBox,
    TntStaticText,
    Bevel,
    Label,
    TntLabel,
    Edit,
    Bar,
    TntCheckBox,
    TntRadioButton,
    RadioButton,
    TntButton,
    ComboBox,
    PortComboBox,
    Panel,
    ProgressBar,
    StatusBar,
};

struct ControlRow {
    std::string name;
    Kind kind;
    std::string parent; // empty: the window itself
    QRect geometry;     // a zero width: the control's natural size at that place
    std::string caption;
    int helpContext = 0;
    bool hidden = false;
    int fontPixels = 0; // 0: the window's font
};

constexpr int WindowFontPixels = 11;
constexpr QSize ClientSize(762, 337);
constexpr QSize EditSize(34, 17);
constexpr QSize BarSize(90, 17);

QRect At(int left, int top) {
    return QRect(left, top, 0, 0);
}
QRect At(int left, int top, QSize size) {
    return QRect(QPoint(left, top), size);
}

// ---- Top level ----

const std::vector<ControlRow>& TopLevelRows() {
    static const std::vector<ControlRow> rows = {
        {"TntGroupBox1", Kind::TntGroupBox, "", {4, 1, 318, 108}, "TV 1", 1},
        {"TntGroupBox2", Kind::TntGroupBox, "", {326, 1, 318, 108}, "TV2", 2},
        {"TntGroupBox3", Kind::TntGroupBox, "", {4, 107, 318, 108}, "TV3", 3},
        {"TntGroupBox4", Kind::TntGroupBox, "", {326, 107, 318, 108}, "TV4", 4},
        {"TntGroupBox5", Kind::TntGroupBox, "", {4, 215, 318, 40}, "Warp Ratio", 5},
        {"TntGroupBox6", Kind::TntGroupBox, "", {326, 215, 318, 40}, "Warp Position", 6},
        {"TntGroupBox8", Kind::TntGroupBox, "", {4, 254, 158, 40}, "LoopR ", 24},
        {"TntGroupBox9", Kind::TntGroupBox, "", {4, 293, 158, 40}, "LoopT", 25},
        {"GroupBox9", Kind::GroupBox, "", {164, 254, 481, 79}, "", 0},
        {"GroupBox11", Kind::GroupBox, "", {647, 1, 111, 34}, "", 0},
        {"GroupBox10", Kind::GroupBox, "", {647, 31, 111, 60}, "", 0},
        {"GroupBox13", Kind::GroupBox, "", {647, 88, 111, 41}, "", 0},
        {"GroupBox12", Kind::GroupBox, "", {647, 126, 111, 62}, "", 0},
        {"TntGroupBox7", Kind::TntGroupBox, "", {647, 186, 111, 103}, "Profile", 17},
        {"StModel", Kind::TntStaticText, "", {648, 292, 109, 19}, "", 0, false, 12},
        {"StRes", Kind::TntStaticText, "", {648, 314, 109, 19}, "", 0, false, 12},
        {"StatusPanel", Kind::Panel, "", {8, 140, 633, 105}, "", 0, true},
        {"STBar", Kind::StatusBar, "", {0, 318, 762, 19}, "", 0, true},
    };
    return rows;
}

// ---- The output groups ----

struct OutputNames {
    const char* topLeftText;
    const char* topRightText;
    std::array<const char*, 2> bevels;
    std::array<const char*, 4> labels; // TL X, TL Y, TR X, TR Y
};

const std::array<OutputNames, OutputCount> Outputs = {{
    {"TntStaticText2",
     "TntStaticText3",
     {"Bevel1", "Bevel9"},
     {"Label1", "Label2", "Label24", "Label23"}},
    {"TntStaticText5",
     "TntStaticText4",
     {"Bevel2", "Bevel10"},
     {"Label7", "Label8", "Label5", "Label6"}},
    {"TntStaticText6",
     "TntStaticText1",
     {"Bevel3", "Bevel11"},
     {"Label11", "Label12", "Label9", "Label10"}},
    {"TntStaticText8",
     "TntStaticText7",
     {"Bevel4", "Bevel12"},
     {"Label15", "Label16", "Label13", "Label14"}},
}};

// Where a corner's controls stand inside its output group, by corner (TL X, TL Y, TR X, TR Y).
struct CornerPlace {
    QPoint label;
    QPoint edit;
    QPoint bar;
};
constexpr std::array<CornerPlace, 4> CornerPlaces = {{
    {{7, 39}, {24, 37}, {61, 40}},
    {{7, 64}, {24, 62}, {61, 62}},
    {{161, 39}, {179, 37}, {216, 39}},
    {{161, 63}, {179, 62}, {216, 62}},
}};

// The sixteen corner value texts are never shown: they stand beyond the client area.
QRect HiddenValuePlace(int index) {
    return At(ClientSize.width() + 10 + (index % 4) * 40, 4 + (index / 4) * 20, EditSize);
}

std::string GroupName(int output) {
    return "TntGroupBox" + std::to_string(output);
}
std::string ShiftModeName(int output) {
    return "TV" + std::to_string(output) + "ShiftMode";
}

void AppendOutputRows(int output, std::vector<ControlRow>& rows) {
    const OutputNames& names = Outputs[output - 1];
    const std::string group = GroupName(output);
    rows.push_back(
        {names.topLeftText, Kind::TntStaticText, group, {12, 14, 81, 17}, "Top Left", 22});
    rows.push_back(
        {names.topRightText, Kind::TntStaticText, group, {166, 14, 81, 17}, "Top Right", 23});
    rows.push_back({names.bevels[0], Kind::Bevel, group, {4, 21, 152, 67}, "", 0});
    rows.push_back({names.bevels[1], Kind::Bevel, group, {158, 21, 153, 67}, "", 0});
    for (int corner = 0; corner < 4; ++corner) {
        const QPoint p = CornerPlaces[corner].label;
        rows.push_back({names.labels[corner], Kind::Label, group, At(p.x(), p.y()),
                        corner % 2 == 0 ? "X" : "Y", 0});
    }
    for (int corner = 0; corner < 4; ++corner) {
        const ParameterInfo& info = Parameters[(output - 1) * 4 + corner];
        const CornerPlace& place = CornerPlaces[corner];
        rows.push_back({std::string(info.editName), Kind::Edit, group,
                        At(place.edit.x(), place.edit.y(), EditSize), "0", 0});
        rows.push_back({std::string(info.barName), Kind::Bar, group,
                        At(place.bar.x(), place.bar.y(), BarSize), "", 0});
    }
    rows.push_back({ShiftModeName(output),
                    Kind::TntCheckBox,
                    group,
                    {6, 88, 136, 17},
                    ShiftModeName(output),
                    34});
}

void AppendHiddenValueRows(std::vector<ControlRow>& rows) {
    for (const ParameterInfo& info : Parameters)
        if (IsCorner(info.kind))
            rows.push_back({std::string(info.valueName), Kind::TntStaticText, "",
                            HiddenValuePlace(info.index), "0", 0, true});
}

// ---- Warp, loop, slot, file, port and language controls ----

const std::vector<ControlRow>& FixedRows() {
    static const std::vector<ControlRow> rows = {
        {"Label18", Kind::Label, "TntGroupBox5", At(11, 18), "H"},
        {"WRHVal", Kind::TntStaticText, "TntGroupBox5", {24, 16, 34, 17}, "100"},
        {"WRHBar", Kind::Bar, "TntGroupBox5", {64, 17, 90, 17}, ""},
        {"Label19", Kind::Label, "TntGroupBox5", At(164, 18), "V"},
        {"WRVVal", Kind::TntStaticText, "TntGroupBox5", {179, 16, 34, 17}, "100"},
        {"WRVBar", Kind::Bar, "TntGroupBox5", {216, 17, 90, 17}, ""},
        {"Label20", Kind::Label, "TntGroupBox6", At(11, 18), "H"},
        {"WPHEdit", Kind::Edit, "TntGroupBox6", {24, 17, 34, 17}, "50"},
        {"WPHBar", Kind::Bar, "TntGroupBox6", {64, 17, 90, 17}, ""},
        {"Label21", Kind::Label, "TntGroupBox6", At(164, 18), "V"},
        {"WPVEdit", Kind::Edit, "TntGroupBox6", {179, 17, 36, 17}, "50"},
        {"WPVBar", Kind::Bar, "TntGroupBox6", {219, 17, 90, 17}, ""},
        {"LRVal", Kind::TntStaticText, "TntGroupBox8", {13, 16, 34, 17}, "0"},
        {"LRBar", Kind::Bar, "TntGroupBox8", {54, 15, 90, 17}, ""},
        {"LTEdit", Kind::Edit, "TntGroupBox9", {13, 15, 36, 17}, "0"},
        {"LTBar", Kind::Bar, "TntGroupBox9", {56, 15, 90, 17}, ""},
        {"ReadBtn", Kind::TntButton, "GroupBox9", {377, 8, 95, 22}, "Read", 15},
        {"WriteBtn", Kind::TntButton, "GroupBox9", {377, 29, 95, 22}, "Write", 14},
        {"ResetBtn", Kind::TntButton, "GroupBox9", {377, 50, 95, 22}, "Reset", 16},
        {"UIComboBox", Kind::ComboBox, "GroupBox11", {7, 10, 99, 21}, ""},
        {"ComComboBox1", Kind::PortComboBox, "GroupBox10", {7, 9, 100, 21}, ""},
        {"CNTBTN", Kind::TntButton, "GroupBox10", {6, 31, 100, 24}, "CNTBTN", 12},
        {"ImgOn", Kind::TntCheckBox, "GroupBox13", {7, 6, 100, 17}, "ImgOn", 26},
        {"RealTimeMode", Kind::TntCheckBox, "GroupBox13", {7, 21, 98, 17}, "Real Time", 20},
        {"TntButton1", Kind::TntButton, "GroupBox12", {6, 8, 100, 24}, "Save Setting", 27},
        {"TntButton2", Kind::TntButton, "GroupBox12", {6, 33, 100, 24}, "Load Setting", 28},
        {"TntButton5", Kind::TntButton, "TntGroupBox7", {5, 49, 100, 24}, "Load", 18},
        {"TntButton6", Kind::TntButton, "TntGroupBox7", {5, 73, 100, 24}, "Save", 19},
        {"Msglabel", Kind::TntLabel, "StatusPanel", {25, 32, 409, 13}, "Please Wait", 21},
        {"ProgressBar1", Kind::ProgressBar, "StatusPanel", {25, 48, 577, 17}, ""},
    };
    return rows;
}

// The memory slots by slot number; slot n has Tag n - 1.
struct SlotRow {
    const char* name;
    int helpContext;
};
constexpr std::array<SlotRow, 10> Slots = {{
    {"TntRadioButton1", 7},
    {"TntRadioButton2", 8},
    {"TntRadioButton3", 9},
    {"TntRadioButton4", 10},
    {"TntRadioButton5", 11},
    {"TntRadioButton6", 29},
    {"TntRadioButton7", 30},
    {"TntRadioButton8", 31},
    {"TntRadioButton10", 32},
    {"TntRadioButton9", 33},
}};
constexpr std::array<int, 5> SlotColumns = {6, 77, 148, 219, 290};
constexpr std::array<int, 2> SlotRowTops = {22, 45};

void AppendSlotRows(std::vector<ControlRow>& rows) {
    for (int tag = 0; tag < int(Slots.size()); ++tag)
        rows.push_back({Slots[tag].name, Kind::TntRadioButton, "GroupBox9",
                        At(SlotColumns[tag / 2], SlotRowTops[tag % 2], QSize(70, 17)), "Index",
                        Slots[tag].helpContext});
}

// The profiles by Tag, captions "1".."5".
constexpr std::array<QPoint, 5> ProfilePlaces = {{{8, 16}, {42, 16}, {72, 16}, {8, 32}, {42, 32}}};

std::string ProfileButtonName(int tag) {
    return "RadioButton" + std::to_string(6 + tag);
}

void AppendProfileRows(std::vector<ControlRow>& rows) {
    for (int tag = 0; tag < int(ProfilePlaces.size()); ++tag)
        rows.push_back({ProfileButtonName(tag), Kind::RadioButton, "TntGroupBox7",
                        At(ProfilePlaces[tag].x(), ProfilePlaces[tag].y(), QSize(30, 17)),
                        std::to_string(tag + 1)});
}

// Every control in creation order; a parent always comes before its children.
std::vector<ControlRow> LayoutRows() {
    std::vector<ControlRow> rows = TopLevelRows();
    for (int output = 1; output <= OutputCount; ++output)
        AppendOutputRows(output, rows);
    AppendHiddenValueRows(rows);
    const std::vector<ControlRow>& fixed = FixedRows();
    rows.insert(rows.end(), fixed.begin(), fixed.end());
    AppendSlotRows(rows);
    AppendProfileRows(rows);
    return rows;
}

// The hidden status bar's panels: width and whether the text is centred.
struct StatusPanelLayout {
    int width;
    bool centred;
};
constexpr std::array<StatusPanelLayout, 3> StatusBarPanels = {
    {{100, true}, {120, true}, {50, false}}};

// Keyboard focus moves through the groups in this order.
constexpr std::array<const char*, 14> TabOrderGroups = {
    "TntGroupBox1", "TntGroupBox2", "TntGroupBox3", "TntGroupBox4", "TntGroupBox5",
    "TntGroupBox6", "TntGroupBox7", "TntGroupBox8", "TntGroupBox9", "GroupBox9",
    "GroupBox12",   "GroupBox10",   "GroupBox11",   "GroupBox13",
};

QWidget* CreateWidget(Kind kind, QWidget* parent) {
    switch (kind) {
    case Kind::TntGroupBox:
        return new TTntGroupBox(parent);
    case Kind::GroupBox:
        return new QGroupBox(parent);
    case Kind::TntStaticText:
        return new TTntStaticText(parent);
    case Kind::Bevel: {
        auto* bevel = new QFrame(parent);
        bevel->setFrameStyle(QFrame::Box | QFrame::Raised);
        return bevel;
    }
    case Kind::Label:
        return new QLabel(parent);
    case Kind::TntLabel:
        return new TTntLabel(parent);
    case Kind::Edit:
        return new QLineEdit(parent);
    case Kind::Bar: {
        auto* bar = new QScrollBar(Qt::Horizontal, parent);
        bar->setFocusPolicy(Qt::StrongFocus);
        // An arrow click, a trough click and PageUp/PageDown all move by one; so does a wheel
        // notch, whose lines are capped at one page.
        bar->setSingleStep(1);
        bar->setPageStep(1);
        return bar;
    }
    case Kind::TntCheckBox:
        return new TTntCheckBox(parent);
    case Kind::TntRadioButton:
        return new TTntRadioButton(parent);
    case Kind::RadioButton:
        return new QRadioButton(parent);
    case Kind::TntButton:
        return new TTntButton(parent);
    case Kind::ComboBox:
        return new QComboBox(parent);
    case Kind::PortComboBox:
        return new TComComboBox(parent);
    case Kind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Box | QFrame::Plain);
        panel->setContentsMargins(5, 5, 5, 5);
        return panel;
    }
    case Kind::ProgressBar: {
        auto* progress = new QProgressBar(parent);
        progress->setTextVisible(false);
        return progress;
    }
    case Kind::StatusBar:
        return new QWidget(parent);
    }
    return nullptr;
}

QFont WindowFont(int pixels) {
    QFont font(QStringLiteral("Segoe UI"));
    font.setPixelSize(pixels);
    return font;
}

// Only the group's caption takes the colour: its children keep the window's text colours,
// in every state, so that a disabled control still looks disabled.
void ColourGroupCaption(QGroupBox* group, const QColor& colour, const QPalette& window) {
    constexpr QPalette::ColorGroup States[] = {QPalette::Active, QPalette::Inactive,
                                               QPalette::Disabled};
    constexpr QPalette::ColorRole TextRoles[] = {QPalette::WindowText, QPalette::Text};
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QPalette palette = child->palette();
        for (QPalette::ColorGroup state : States)
            for (QPalette::ColorRole role : TextRoles)
                palette.setColor(state, role, window.color(state, role));
        child->setPalette(palette);
    }
    QPalette palette = group->palette();
    for (QPalette::ColorRole role : TextRoles) {
        palette.setColor(QPalette::Active, role, colour);
        palette.setColor(QPalette::Inactive, role, colour);
    }
    group->setPalette(palette);
}

template <class Control> Control* Find(const QWidget* window, std::string_view name) {
    return window->findChild<Control*>(QString::fromLatin1(name.data(), qsizetype(name.size())));
}

void SetGeometry(QWidget* control, const QRect& geometry) {
    if (geometry.width() > 0) {
        control->setGeometry(geometry);
        return;
    }
    control->move(geometry.topLeft());
    control->adjustSize();
}

QWidget* CreateControl(QWidget* window, const ControlRow& row) {
    QWidget* parent = row.parent.empty() ? window : Find<QWidget>(window, row.parent);
    QWidget* control = CreateWidget(row.kind, parent);
    control->setObjectName(QString::fromStdString(row.name));
    control->setFont(WindowFont(row.fontPixels != 0 ? row.fontPixels : WindowFontPixels));
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setTextFormat(Qt::PlainText);
    SetCaption(control, QString::fromStdString(row.caption));
    if (auto* captioned = dynamic_cast<HelpContextHolder*>(control))
        captioned->HelpContext = row.helpContext;
    SetGeometry(control, row.geometry);
    if (row.hidden)
        control->setVisible(false);
    if (row.kind == Kind::Bevel)
        control->lower(); // frames lie beneath the controls they surround
    return control;
}

// Buttons and check boxes whose click runs a handler without arguments.
template <class Control> struct ClickBinding {
    const char* name;
    Control* TForm1::*control;
    void (TForm1::*handler)();
};

constexpr std::array<ClickBinding<TTntButton>, 8> ButtonBindings = {{
    {"ReadBtn", &TForm1::ReadBtn, &TForm1::ReadBtnClick},
    {"WriteBtn", &TForm1::WriteBtn, &TForm1::WriteBtnClick},
    {"ResetBtn", &TForm1::ResetBtn, &TForm1::ResetBtnClick},
    {"CNTBTN", &TForm1::CNTBTN, &TForm1::CNTBTNClick},
    {"TntButton1", &TForm1::TntButton1, &TForm1::TntButton1Click},
    {"TntButton2", &TForm1::TntButton2, &TForm1::TntButton2Click},
    {"TntButton5", &TForm1::TntButton5, &TForm1::TntButton5Click},
    {"TntButton6", &TForm1::TntButton6, &TForm1::TntButton6Click},
}};

constexpr std::array<ClickBinding<TTntCheckBox>, 2> CheckBoxBindings = {{
    {"ImgOn", &TForm1::ImgOn, &TForm1::ImgOnClick},
    {"RealTimeMode", &TForm1::RealTimeMode, &TForm1::RealTimeModeClick},
}};

const QString PmxFilter = QStringLiteral("Pelmora Align Tool File (*.PMX)");

QFileDialog* BuildOpenDialog(QWidget* parent) {
    auto* dialog = new QFileDialog(parent, QString(), QString(), PmxFilter);
    dialog->setObjectName(QStringLiteral("OpenDlg"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->selectFile(QStringLiteral("PMX"));
    return dialog;
}

QFileDialog* BuildSaveDialog(QWidget* parent) {
    auto* dialog = new QFileDialog(parent, QString(), QString(), PmxFilter);
    dialog->setObjectName(QStringLiteral("SaveDlg"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("PMX"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite); // replacing a file asks nothing
    return dialog;
}

} // namespace

QFileDialog* LazyFileDialog::get() {
    if (dialog_ == nullptr)
        dialog_ = build_(parent_);
    return dialog_;
}

void SetCaption(QWidget* control, const QString& caption) {
    if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(caption);
}

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      OpenDlg(this, BuildOpenDialog), SaveDlg(this, BuildSaveDialog),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("Form1"));
    setFont(WindowFont(WindowFontPixels));
    setFixedSize(ClientSize);
    BuildControls();
    WireHandlers();
    try {
        FormCreate();
    } catch (...) {
        ShowCurrentException();
    }
}

// The port closes when it is destroyed; no received-data event may reach the window after
// this point.
TForm1::~TForm1() {
    ComPort1.OnRxChar = nullptr;
    ComPort1Handoff.reset();
}

void TForm1::BuildControls() {
    for (const ControlRow& row : LayoutRows())
        Components.push_back(CreateControl(this, row));
    BuildStatusBarPanels();
    AssignControls();
    SetInitialValues();
    for (int output = 0; output < OutputCount; ++output)
        ColourGroupCaption(OutputGroups[output], OutputColours[output], palette());
    ArrangeTabOrder();
    BuildTimer();
}

void TForm1::BuildStatusBarPanels() {
    QWidget* bar = Find<QWidget>(this, "STBar");
    int left = 0;
    for (std::size_t i = 0; i < StatusBarPanels.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("STBarPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(left, 0, StatusBarPanels[i].width, bar->height());
        if (StatusBarPanels[i].centred)
            panel->setAlignment(Qt::AlignCenter);
        left += StatusBarPanels[i].width;
        STBarPanels[i] = panel;
        Components.push_back(panel);
    }
}

void TForm1::AssignControls() {
    for (int output = 1; output <= OutputCount; ++output) {
        OutputGroups[output - 1] = Find<TTntGroupBox>(this, GroupName(output));
        ShiftModes[output - 1] = Find<TTntCheckBox>(this, ShiftModeName(output));
    }
    TntGroupBox5 = Find<TTntGroupBox>(this, "TntGroupBox5");
    TntGroupBox6 = Find<TTntGroupBox>(this, "TntGroupBox6");
    TntGroupBox7 = Find<TTntGroupBox>(this, "TntGroupBox7");
    TntGroupBox8 = Find<TTntGroupBox>(this, "TntGroupBox8");
    TntGroupBox9 = Find<TTntGroupBox>(this, "TntGroupBox9");
    for (const ParameterInfo& info : Parameters) {
        Bars[info.index] = Find<QScrollBar>(this, info.barName);
        if (!info.editName.empty())
            Edits[info.index] = Find<QLineEdit>(this, info.editName);
        if (!info.valueName.empty())
            Values[info.index] = Find<QLabel>(this, info.valueName);
    }
    for (std::size_t tag = 0; tag < Slots.size(); ++tag)
        SlotButtons[tag] = Find<TTntRadioButton>(this, Slots[tag].name);
    for (int tag = 0; tag < int(ProfileButtons.size()); ++tag)
        ProfileButtons[tag] = Find<QRadioButton>(this, ProfileButtonName(tag));
    for (const auto& binding : ButtonBindings)
        this->*binding.control = Find<TTntButton>(this, binding.name);
    for (const auto& binding : CheckBoxBindings)
        this->*binding.control = Find<TTntCheckBox>(this, binding.name);
    UIComboBox = Find<QComboBox>(this, "UIComboBox");
    ComComboBox1 = Find<TComComboBox>(this, "ComComboBox1");
    StModel = Find<TTntStaticText>(this, "StModel");
    StRes = Find<TTntStaticText>(this, "StRes");
    StatusPanel = Find<QFrame>(this, "StatusPanel");
    Msglabel = Find<TTntLabel>(this, "Msglabel");
    ProgressBar1 = Find<QProgressBar>(this, "ProgressBar1");
    STBar = Find<QWidget>(this, "STBar");
}

void TForm1::SetInitialValues() {
    for (const ParameterInfo& info : Parameters) {
        Bars[info.index]->setRange(info.minimum, info.maximum);
        Bars[info.index]->setValue(info.startValue);
    }
    ProgressBar1->setRange(0, 100);
    // Opaque, so that a step repaints the bar alone and not the panel and window behind it.
    ProgressBar1->setAutoFillBackground(true);
    ComComboBox1->Populate(ComPort1.Port());
    SlotButtons[0]->setChecked(true);
    ProfileButtons[0]->setChecked(true);
}

void TForm1::ArrangeTabOrder() {
    QWidget* previous = nullptr;
    for (const char* groupName : TabOrderGroups) {
        const QWidget* group = Find<QWidget>(this, groupName);
        for (QWidget* control : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if ((control->focusPolicy() & Qt::TabFocus) == 0)
                continue;
            if (previous != nullptr)
                setTabOrder(previous, control);
            previous = control;
        }
    }
}

void TForm1::BuildTimer() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    // A coarse timer may fire up to 5 % early; the watchdog keeps its full 2000 ms.
    Timer1->setTimerType(Qt::PreciseTimer);
}

void TForm1::WireHandlers() {
    const auto guarded = [](auto handler) { return [handler] { HandlerGuard::RunSlot(handler); }; };
    for (const ParameterInfo& info : Parameters) {
        const int index = info.index;
        connect(Bars[index], &QScrollBar::valueChanged, this,
                guarded([this, index] { BarChange(index); }));
        if (QLineEdit* edit = Edits[index]) {
            connect(edit, &QLineEdit::textChanged, this,
                    guarded([this, index] { EditChange(index); }));
            edit->installEventFilter(this);
        }
    }
    for (int output = 1; output <= OutputCount; ++output)
        connect(ShiftModes[output - 1], &QCheckBox::clicked, this,
                guarded([this, output] { ShiftModeClick(output); }));
    for (int tag = 0; tag < int(SlotButtons.size()); ++tag)
        connect(SlotButtons[tag], &QRadioButton::clicked, this,
                guarded([this, tag] { TntRadioButton1Click(tag); }));
    for (int tag = 0; tag < int(ProfileButtons.size()); ++tag)
        connect(ProfileButtons[tag], &QRadioButton::clicked, this,
                guarded([this, tag] { ProfileIndexClick(tag); }));
    for (const auto& binding : ButtonBindings)
        connect(this->*binding.control, &QPushButton::clicked, this,
                guarded([this, handler = binding.handler] { (this->*handler)(); }));
    for (const auto& binding : CheckBoxBindings)
        connect(this->*binding.control, &QCheckBox::clicked, this,
                guarded([this, handler = binding.handler] { (this->*handler)(); }));
    connect(UIComboBox, &QComboBox::activated, this, [this](int index) {
        HandlerGuard::RunSlot([this, index] { UIComboBoxChange(index); });
    });
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
    ComPort1.OnRxChar = [this](TCustomComPort& sender, int count) {
        ComPort1RxChar(sender, count);
    };
    ComPort1Handoff = std::make_unique<QtUiHandoff>(ComPort1);
}

void TForm1::AttachDiagram(TForm2* form) {
    Form2 = form;
    Form2->OnClose = [this] {
        HandlerGuard::RunSlot([this] {
            ImgOn->setChecked(false);
            ImgOnClick();
        });
    };
}

} // namespace pelmora
