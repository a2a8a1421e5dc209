#include "emulator/box_state.h"

#include <cstdio>
#include <string>

namespace pelmora::emulator {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal digits of frame[first..9]; nothing when any is not a digit.
std::optional<int> Digits(std::string_view frame, int first) {
    int value = 0;
    for (int i = first; i < 10; ++i) {
        if (!IsDigit(frame[i]))
            return std::nullopt;
        value = value * 10 + (frame[i] - '0');
    }
    return value;
}

int SlotOf(char letter) {
    return letter - 'A';
}
bool IsSlot(char letter) {
    return letter >= 'A' && letter < 'A' + SlotCount;
}

int CornerOffset(char coordinate) {
    switch (coordinate) {
    case 'X':
        return 0;
    case 'Y':
        return 1;
    case 'U':
        return 2;
    case 'V':
        return 3;
    }
    return -1;
}

// Parameters in file order: the 16 corners, the 4 warp values, loop range, loop time.
constexpr int WarpParameter = 16;
constexpr int LoopRangeParameter = 20;
constexpr int LoopTimeParameter = 21;

} // namespace

// Stores a set's value, or one more for the parameter chosen to be stored wrongly.
void BoxState::Store(int parameter, int value, int& field) const {
    field = parameter == CorruptStore ? value + 1 : value;
}

// Applies a set (when the frame is one) to `field` and answers the value it then holds.
int BoxState::QueryOrSet(std::string_view frame, int firstDigit, int parameter, int& field) const {
    if (frame[6] != 'R') {
        if (auto value = Digits(frame, firstDigit))
            Store(parameter, *value, field);
    }
    return field;
}

std::string MakeReply(std::string_view frame, int value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", value % 10000);
    std::string reply = "S00";
    reply.append(frame.substr(3, 3));
    reply.append(digits, 4);
    reply.append("\r\n");
    return reply;
}

BoxState::BoxState(BoxIdentity identity) : Identity(identity) {}

std::optional<std::string> BoxState::Answer(std::string_view frame) {
    if (frame.size() < 10 || frame.substr(0, 3) != "S00")
        return std::nullopt;
    const std::string_view command = frame.substr(3, 3);
    const char c3 = frame[3], c4 = frame[4], c5 = frame[5];
    int value = 0;
    if (command == "MDN") {
        value = Identity.Model;
    } else if (command == "OPM") {
        value = Identity.OutputMode;
    } else if (command == "MMB") {
        value = QueryOrSet(frame, 7, -1, MmbMode);
    } else if (command == "MLR") {
        if (frame[6] != 'R')
            Store(LoopRangeParameter, frame[9] - '0', Memory.LoopRange); // 10 arrives as ':'
        value = Memory.LoopRange;
    } else if (command == "MLT") {
        value = QueryOrSet(frame, 7, LoopTimeParameter, Memory.LoopTime);
    } else if (command == "PFL" || command == "PFX") {
        const int profile = frame[9] - '0';
        if (profile >= 0 && profile < ProfileCount) {
            if (c5 == 'L')
                Memory = Profiles[profile];
            else
                Profiles[profile] = Memory;
        }
        value = profile;
    } else if ((c3 == 'H' || c3 == 'V') && (c4 == 'R' || c4 == 'P') && IsSlot(c5)) {
        const int warp = (c4 == 'P' ? 2 : 0) + (c3 == 'V' ? 1 : 0);
        value = QueryOrSet(frame, 7, WarpParameter + warp, Memory.Slots[SlotOf(c5)].Warp[warp]);
    } else if (CornerOffset(c3) >= 0 && IsSlot(c4) && c5 >= 'A' && c5 <= 'D') {
        const int parameter = (c5 - 'A') * 4 + CornerOffset(c3);
        value = QueryOrSet(frame, 6, parameter, Memory.Slots[SlotOf(c4)].Corners[parameter]);
    }
    return MakeReply(frame, value);
}

} // namespace pelmora::emulator
