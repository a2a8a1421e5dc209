#include "app/layout.h"

#include "storage/ui_strings.h"

namespace pelmora {

namespace {

// The kinds as the layout names them: the "Tnt" kinds take their caption and font from the
// interface strings.
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

struct Place {
    int x;
    int y;
};

struct Row {
    std::string name;
    Kind kind;
    std::string parent;
    Rect geometry;
    std::string caption;
    int helpContext = 0;
    bool hidden = false;
    int fontPixels = 0;
    int tag = 0;
};

constexpr Size EditSize{34, 17};
constexpr Size BarSize{90, 17};

Rect At(int left, int top) {
    return Rect{left, top, 0, 0};
}
Rect At(int left, int top, Size size) {
    return Rect{left, top, size.Width, size.Height};
}

// ---- Top level ----

// clang-format off
const std::vector<Row>& TopLevelRows() {
    static const std::vector<Row> rows = {
        {"TntGroupBox1", Kind::TntGroupBox, "", {4, 1, 318, 108}, "TV 1", Tv1Text},
        {"TntGroupBox2", Kind::TntGroupBox, "", {326, 1, 318, 108}, "TV2", Tv2Text},
        {"TntGroupBox3", Kind::TntGroupBox, "", {4, 107, 318, 108}, "TV3", Tv3Text},
        {"TntGroupBox4", Kind::TntGroupBox, "", {326, 107, 318, 108}, "TV4", Tv4Text},
        {"TntGroupBox5", Kind::TntGroupBox, "", {4, 215, 318, 40}, "Warp Ratio", WarpRatioText},
        {"TntGroupBox6", Kind::TntGroupBox, "", {326, 215, 318, 40}, "Warp Position", WarpPositionText},
        {"TntGroupBox8", Kind::TntGroupBox, "", {4, 254, 158, 40}, "LoopR ", LoopRangeText},
        {"TntGroupBox9", Kind::TntGroupBox, "", {4, 293, 158, 40}, "LoopT", LoopTimeText},
        {"GroupBox9", Kind::GroupBox, "", {164, 254, 481, 79}, "", 0},
        {"GroupBox11", Kind::GroupBox, "", {647, 1, 111, 34}, "", 0},
        {"GroupBox10", Kind::GroupBox, "", {647, 31, 111, 60}, "", 0},
        {"GroupBox13", Kind::GroupBox, "", {647, 88, 111, 41}, "", 0},
        {"GroupBox12", Kind::GroupBox, "", {647, 126, 111, 62}, "", 0},
        {"TntGroupBox7", Kind::TntGroupBox, "", {647, 186, 111, 103}, "Profile", ProfileText},
        {"StModel", Kind::TntStaticText, "", {648, 292, 109, 19}, "", 0, false, 12},
        {"StRes", Kind::TntStaticText, "", {648, 314, 109, 19}, "", 0, false, 12},
        {"StatusPanel", Kind::Panel, "", {8, 140, 633, 105}, "", 0, true},
        {"STBar", Kind::StatusBar, "", {0, 318, 762, 19}, "", 0, true},
    };
    return rows;
}
// clang-format on

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
    Place label;
    Place edit;
    Place bar;
};
constexpr std::array<CornerPlace, 4> CornerPlaces = {{
    {{7, 39}, {24, 37}, {61, 40}},
    {{7, 64}, {24, 62}, {61, 62}},
    {{161, 39}, {179, 37}, {216, 39}},
    {{161, 63}, {179, 62}, {216, 62}},
}};

// The sixteen corner value texts are never shown: they stand beyond the client area.
Rect HiddenValuePlace(int index) {
    return At(ClientSize.Width + 10 + (index % 4) * 40, 4 + (index / 4) * 20, EditSize);
}

void AppendOutputRows(int output, std::vector<Row>& rows) {
    const OutputNames& names = Outputs[output - 1];
    const std::string group = OutputGroupName(output);
    rows.push_back(
        {names.topLeftText, Kind::TntStaticText, group, {12, 14, 81, 17}, "Top Left", TopLeftText});
    rows.push_back({names.topRightText,
                    Kind::TntStaticText,
                    group,
                    {166, 14, 81, 17},
                    "Top Right",
                    TopRightText});
    rows.push_back({names.bevels[0], Kind::Bevel, group, {4, 21, 152, 67}, "", 0});
    rows.push_back({names.bevels[1], Kind::Bevel, group, {158, 21, 153, 67}, "", 0});
    for (int corner = 0; corner < 4; ++corner) {
        const Place p = CornerPlaces[corner].label;
        rows.push_back({names.labels[corner], Kind::Label, group, At(p.x, p.y),
                        corner % 2 == 0 ? "X" : "Y", 0});
    }
    for (int corner = 0; corner < 4; ++corner) {
        const ParameterInfo& info = Parameters[(output - 1) * 4 + corner];
        const CornerPlace& place = CornerPlaces[corner];
        rows.push_back({std::string(info.editName), Kind::Edit, group,
                        At(place.edit.x, place.edit.y, EditSize), "0", 0});
        rows.push_back({std::string(info.barName), Kind::Bar, group,
                        At(place.bar.x, place.bar.y, BarSize), "", 0});
    }
    rows.push_back({ShiftModeName(output),
                    Kind::TntCheckBox,
                    group,
                    {6, 88, 136, 17},
                    ShiftModeName(output),
                    ShiftModeText});
}

void AppendHiddenValueRows(std::vector<Row>& rows) {
    for (const ParameterInfo& info : Parameters)
        if (IsCorner(info.kind))
            rows.push_back({std::string(info.valueName), Kind::TntStaticText, "",
                            HiddenValuePlace(info.index), "0", 0, true});
}

// ---- Warp, loop, slot, file, port and language controls ----

// clang-format off
const std::vector<Row>& FixedRows() {
    static const std::vector<Row> rows = {
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
        {"ReadBtn", Kind::TntButton, "GroupBox9", {377, 8, 95, 22}, "Read", ReadText},
        {"WriteBtn", Kind::TntButton, "GroupBox9", {377, 29, 95, 22}, "Write", WriteText},
        {"ResetBtn", Kind::TntButton, "GroupBox9", {377, 50, 95, 22}, "Reset", ResetText},
        {"UIComboBox", Kind::ComboBox, "GroupBox11", {7, 10, 99, 21}, ""},
        {"ComComboBox1", Kind::PortComboBox, "GroupBox10", {7, 9, 100, 21}, ""},
        {"CNTBTN", Kind::TntButton, "GroupBox10", {6, 31, 100, 24}, "CNTBTN", ConnectText},
        {"ImgOn", Kind::TntCheckBox, "GroupBox13", {7, 6, 100, 17}, "ImgOn", DiagramText},
        {"RealTimeMode", Kind::TntCheckBox, "GroupBox13", {7, 21, 98, 17}, "Real Time", RealTimeText},
        {"TntButton1", Kind::TntButton, "GroupBox12", {6, 8, 100, 24}, "Save Setting", SaveSettingText},
        {"TntButton2", Kind::TntButton, "GroupBox12", {6, 33, 100, 24}, "Load Setting", LoadSettingText},
        {"TntButton5", Kind::TntButton, "TntGroupBox7", {5, 49, 100, 24}, "Load", LoadText},
        {"TntButton6", Kind::TntButton, "TntGroupBox7", {5, 73, 100, 24}, "Save", SaveText},
        {"Msglabel", Kind::TntLabel, "StatusPanel", {25, 32, 409, 13}, "Please Wait", PleaseWaitText},
        {"ProgressBar1", Kind::ProgressBar, "StatusPanel", {25, 48, 577, 17}, ""},
    };
    return rows;
}
// clang-format on

// The HelpContext of each memory slot's button, by slot number.
constexpr std::array<UiString, SlotCount> SlotHelpContexts = {
    Index1Text, Index2Text, Index3Text, Index4Text, Index5Text,
    Index6Text, Index7Text, Index8Text, Index9Text, Index10Text};
constexpr std::array<int, 5> SlotColumns = {6, 77, 148, 219, 290};
constexpr std::array<int, 2> SlotRowTops = {22, 45};

void AppendSlotRows(std::vector<Row>& rows) {
    for (int tag = 0; tag < int(SlotButtonNames.size()); ++tag)
        rows.push_back({SlotButtonNames[tag], Kind::TntRadioButton, "GroupBox9",
                        At(SlotColumns[tag / 2], SlotRowTops[tag % 2], Size{70, 17}), "Index",
                        SlotHelpContexts[tag], false, 0, tag});
}

// The profiles by Tag, captions "1".."5".
constexpr std::array<Place, ProfileCount> ProfilePlaces = {
    {{8, 16}, {42, 16}, {72, 16}, {8, 32}, {42, 32}}};

void AppendProfileRows(std::vector<Row>& rows) {
    for (int tag = 0; tag < int(ProfilePlaces.size()); ++tag)
        rows.push_back({ProfileButtonName(tag), Kind::RadioButton, "TntGroupBox7",
                        At(ProfilePlaces[tag].x, ProfilePlaces[tag].y, Size{30, 17}),
                        std::to_string(tag + 1), 0, false, 0, tag});
}

// Every control in creation order; a parent always comes before its children.
std::vector<Row> LayoutTable() {
    std::vector<Row> rows = TopLevelRows();
    for (int output = 1; output <= OutputCount; ++output)
        AppendOutputRows(output, rows);
    AppendHiddenValueRows(rows);
    const std::vector<Row>& fixed = FixedRows();
    rows.insert(rows.end(), fixed.begin(), fixed.end());
    AppendSlotRows(rows);
    AppendProfileRows(rows);
    return rows;
}

struct KindOfRow {
    ControlKind kind;
    bool translatable;
};

// By Kind.
constexpr std::array<KindOfRow, 17> Kinds = {{
    {ControlKind::GroupBox, true},
    {ControlKind::GroupBox, false},
    {ControlKind::StaticText, true},
    {ControlKind::Bevel, false},
    {ControlKind::Label, false},
    {ControlKind::Label, true},
    {ControlKind::Edit, false},
    {ControlKind::ScrollBar, false},
    {ControlKind::CheckBox, true},
    {ControlKind::RadioButton, true},
    {ControlKind::RadioButton, false},
    {ControlKind::Button, true},
    {ControlKind::ComboBox, false},
    {ControlKind::ComboBox, false},
    {ControlKind::Panel, false},
    {ControlKind::ProgressBar, false},
    {ControlKind::StatusBar, false},
}};

ControlRow ToControlRow(const Row& row) {
    const KindOfRow kind = Kinds[static_cast<std::size_t>(row.kind)];
    return {row.name,        kind.kind,  row.parent,     row.geometry,      row.caption,
            row.helpContext, row.hidden, row.fontPixels, kind.translatable, row.tag};
}

} // namespace

std::string OutputGroupName(int output) {
    return "TntGroupBox" + std::to_string(output);
}

std::string ShiftModeName(int output) {
    return "TV" + std::to_string(output) + "ShiftMode";
}

std::string ProfileButtonName(int tag) {
    return "RadioButton" + std::to_string(6 + tag);
}

const std::array<const char*, SlotCount> SlotButtonNames = {
    "TntRadioButton1", "TntRadioButton2", "TntRadioButton3", "TntRadioButton4",  "TntRadioButton5",
    "TntRadioButton6", "TntRadioButton7", "TntRadioButton8", "TntRadioButton10", "TntRadioButton9",
};

const std::vector<ControlRow>& LayoutRows() {
    static const std::vector<ControlRow> rows = [] {
        std::vector<ControlRow> converted;
        for (const Row& row : LayoutTable())
            converted.push_back(ToControlRow(row));
        return converted;
    }();
    return rows;
}

const std::array<StatusPanelLayout, 3> StatusBarPanels = {{
    {"STBarPanel0", 100, true},
    {"STBarPanel1", 120, true},
    {"STBarPanel2", 50, false},
}};

const std::array<const char*, 14> TabOrderGroups = {
    "TntGroupBox1", "TntGroupBox2", "TntGroupBox3", "TntGroupBox4", "TntGroupBox5",
    "TntGroupBox6", "TntGroupBox7", "TntGroupBox8", "TntGroupBox9", "GroupBox9",
    "GroupBox12",   "GroupBox10",   "GroupBox11",   "GroupBox13",
};

} // namespace pelmora
