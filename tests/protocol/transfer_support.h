// Shared pieces of the transfer tests: a box seeded with known values and the frames a
// write of given values must send.
#pragma once

#include "support/form_fixture.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace pelmora::testing {

using Values = std::array<int, ParameterCount>;

// Distinct values, each inside its parameter's full-HD range.
inline constexpr Values SeedValues = {11, 12, 1901, 13,   21,   22,  1902, 23, 31, 32, 1903,
                                      33, 41, 42,   1904, 1043, 150, 75,   30, 90, 7,  480};

inline void SeedSlot(emulator::PtyBox& box, int slot, const Values& values) {
    box.WithState([&](emulator::BoxState& state) {
        emulator::SlotMemory& memory = state.Memory.Slots[slot];
        for (int i = 0; i < emulator::CornerCount; ++i)
            memory.Corners[i] = values[i];
        for (int i = 0; i < emulator::WarpCount; ++i)
            memory.Warp[i] = values[WRHIndex + i];
        state.Memory.LoopRange = values[LRIndex];
        state.Memory.LoopTime = values[LTIndex];
    });
}

inline std::string Text(const char* format, auto... args) {
    char text[16];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// The frames of a write of `values` into the slot with `slotLetter`.
inline std::vector<std::string> WriteFrames(char slotLetter, const Values& values,
                                            bool singleOutput = false) {
    static constexpr char Coordinates[] = "XYUV";
    std::vector<std::string> frames = {"S00MMB+001"};
    for (int index = 0; index < (singleOutput ? 4 : 16); ++index)
        frames.push_back(Text("S00%c%c%c%04d", Coordinates[index % 4], slotLetter, 'A' + index / 4,
                              values[index]));
    frames.push_back(Text("S00HR%c+%03d", slotLetter, values[WRHIndex]));
    frames.push_back(Text("S00VR%c+%03d", slotLetter, values[WRVIndex]));
    frames.push_back(Text("S00HP%c+%03d", slotLetter, values[WPHIndex]));
    frames.push_back("S00MMB+000");
    frames.push_back(Text("S00VP%c+%03d", slotLetter, values[WPVIndex]));
    frames.push_back(Text("S00MLR+00%c", '0' + values[LRIndex]));
    frames.push_back(Text("S00MLT+%03d", values[LTIndex]));
    return frames;
}

} // namespace pelmora::testing
