// The interface string table: 39 wide strings indexed by the HelpContext numbers of the
// captioned controls, and the built-in English table that fills every entry a language
// leaves out.
#pragma once

#include <array>
#include <string>

namespace pelmora {

// The index of each interface string ("Str<i>" in UI.INI), in the order of the table.
enum UiString : int {
    TitleText,
    Tv1Text,
    Tv2Text,
    Tv3Text,
    Tv4Text,
    WarpRatioText,
    WarpPositionText,
    Index1Text,
    Index2Text,
    Index3Text,
    Index4Text,
    Index5Text,
    ConnectText,
    CloseText,
    WriteText,
    ReadText,
    ResetText,
    ProfileText,
    LoadText,
    SaveText,
    RealTimeText,
    PleaseWaitText,
    TopLeftText,
    TopRightText,
    LoopRangeText,
    LoopTimeText,
    DiagramText,
    SaveSettingText,
    LoadSettingText,
    Index6Text,
    Index7Text,
    Index8Text,
    Index9Text,
    Index10Text,
    ShiftModeText,
    CommunicationErrorText,
    PortLostText,
    NetworkPortText,       // the port list's entry that asks for an address
    NetworkPortPromptText, // what it asks
    UiStringCount
};

inline constexpr int UiStringMaxLength = 63;
// The interface font when a language names none.
inline constexpr char16_t DefaultInterfaceFont[] = u"Segoe UI";

using UiStringTable = std::array<std::u16string, UiStringCount>;

// The English texts, built once on first use; entry i is the value of key "Str<i>".
const UiStringTable& DefaultUiStrings();

} // namespace pelmora
