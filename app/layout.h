// The main window's layout as data that every face walks: each control's name, kind,
// parent, geometry, caption, HelpContext and font, in creation order (a parent always comes
// before its children), with the window's size, the tab order and the caption colours.
#pragma once

#include "controls/controls.h"
#include "editor/parameters.h"
#include "protocol/frames.h"

#include <array>
#include <string>
#include <vector>

namespace pelmora {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0; // 0: the control's natural size at that place
    int Height = 0;
};

struct Size {
    int Width;
    int Height;
};

struct ControlRow {
    std::string Name;
    ControlKind Kind;
    std::string Parent; // empty: the window itself
    Rect Geometry;
    std::string Caption;
    int HelpContext = 0;
    bool Hidden = false;
    int FontPixels = 0; // 0: the window's font
    // The caption and font follow the language (the interface strings' own control kinds).
    bool Translatable = false;
    int Tag = 0;
};

inline constexpr Size ClientSize{762, 337};
inline constexpr int WindowFontPixels = 11;

// Every control of the main window, in creation order.
const std::vector<ControlRow>& LayoutRows();

// The hidden status bar's panels, left to right: width and whether the text is centred.
struct StatusPanelLayout {
    std::string Name;
    int Width;
    bool Centred;
};
extern const std::array<StatusPanelLayout, 3> StatusBarPanels;

// Keyboard focus moves through these groups in this order, and within each through its
// children in creation order.
extern const std::array<const char*, 14> TabOrderGroups;

// Names of the controls that the window's code refers to by pattern.
std::string OutputGroupName(int output);                         // TntGroupBox1..4
std::string ShiftModeName(int output);                           // TV1ShiftMode..TV4ShiftMode
extern const std::array<const char*, SlotCount> SlotButtonNames; // by slot: Index 1..Index 10
std::string ProfileButtonName(int tag);                          // RadioButton6..RadioButton10

} // namespace pelmora
