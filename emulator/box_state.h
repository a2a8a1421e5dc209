// The box's side of the protocol: its memory and how it answers each frame.
#pragma once

#include "protocol/frames.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora::emulator {

inline constexpr int CornerCount = 16; // per output: TL X, TL Y, TR X, TR Y
inline constexpr int WarpCount = 4;    // ratio H, ratio V, position H, position V

struct SlotMemory {
    std::array<int, CornerCount> Corners{0, 0, 1920, 0, 0, 0, 1920, 0,
                                         0, 0, 1920, 0, 0, 0, 1920, 0};
    std::array<int, WarpCount> Warp{100, 100, 50, 50};
};

struct BoxMemory {
    std::array<SlotMemory, SlotCount> Slots{};
    int LoopRange = 0;
    int LoopTime = 0;
};

struct BoxIdentity {
    int Model = 200;
    int OutputMode = 2;
};

class BoxState {
  public:
    explicit BoxState(BoxIdentity identity = {});

    // The 12-byte reply to a frame's ten visible characters, or nothing for a frame the box
    // does not recognise (one that does not start with "S00").
    std::optional<std::string> Answer(std::string_view frame);

    BoxMemory Memory;
    std::array<BoxMemory, ProfileCount> Profiles{};
    int MmbMode = 0;
    BoxIdentity Identity;
    int CorruptStore = -1; // a parameter (file order) stored as one more than the value set

  private:
    void Store(int parameter, int value, int& field) const;
    int QueryOrSet(std::string_view frame, int firstDigit, int parameter, int& field) const;
};

// "S00", the command's positions 3..5, the value as four digits, CR, LF.
std::string MakeReply(std::string_view frame, int value);

} // namespace pelmora::emulator
