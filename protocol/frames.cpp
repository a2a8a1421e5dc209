#include "protocol/frames.h"

#include "editor/parameters.h"

#include <cstring>

namespace pelmora {

namespace {

Frame MakeFrame(const char* text) {
    Frame frame{};
    std::memcpy(frame.data(), text, 10);
    frame[10] = '\r';
    frame[11] = '\n';
    return frame;
}

std::uint8_t Digit(int digit) {
    return static_cast<std::uint8_t>('0' + digit);
}

} // namespace

std::string FrameText(const Frame& frame) {
    return std::string(reinterpret_cast<const char*>(frame.data()), 10);
}

void EncodeFourDigits(int value, std::uint8_t* out) {
    out[0] = Digit(value / 1000);
    out[1] = Digit(value % 1000 / 100);
    out[2] = Digit(value % 100 / 10);
    out[3] = Digit(value % 10);
}

void EncodeThreeDigits(int value, std::uint8_t* out) {
    out[0] = Digit(value / 100);
    out[1] = Digit(value % 100 / 10);
    out[2] = Digit(value % 10);
}

void EncodeLoopRange(int value, std::uint8_t* out) {
    out[0] = '0';
    out[1] = '0';
    out[2] = Digit(value);
}

int ReplyValue(const std::uint8_t* reply, bool withThousands) {
    int value = (reply[7] - 48) * 100 + (reply[8] - 48) * 10 + (reply[9] - 48);
    if (withThousands)
        value += (reply[6] - 48) * 1000;
    return value;
}

FrameBuffers::FrameBuffers()
    : MmbOnFrame(MakeFrame("S00MMB+001")), MmbOffFrame(MakeFrame("S00MMB+000")),
      CornerFrame(MakeFrame("S00XAA0000")), WarpFrame(MakeFrame("S00HRAR000")),
      ProfileFrame(MakeFrame("S00PFL+000")), LoopFrame(MakeFrame("S00MLR+000")),
      ModelQueryFrame(MakeFrame("S00MDNR001")), OutputModeQueryFrame(MakeFrame("S00OPMR000")) {}

void FrameBuffers::SelectSlot(int tag) {
    const auto letter = static_cast<std::uint8_t>('A' + tag);
    CornerFrame[4] = letter;
    WarpFrame[5] = letter;
}

void FrameBuffers::SelectProfile(int tag) {
    ProfileFrame[9] = Digit(tag);
}

const Frame& FrameBuffers::FirstCornerQuery() {
    std::memcpy(&CornerFrame[6], "R000", 4);
    return ParameterQuery(0);
}

const Frame& FrameBuffers::CornerQuery(char coordinate, char output) {
    CornerFrame[3] = static_cast<std::uint8_t>(coordinate);
    CornerFrame[5] = static_cast<std::uint8_t>(output);
    return CornerFrame;
}

const Frame& FrameBuffers::WarpQuery(char axis, char kind) {
    WarpFrame[3] = static_cast<std::uint8_t>(axis);
    WarpFrame[4] = static_cast<std::uint8_t>(kind);
    WarpFrame[6] = 'R';
    return WarpFrame;
}

const Frame& FrameBuffers::LoopQuery(char loop) {
    std::memcpy(&LoopFrame[3], "ML", 2);
    LoopFrame[5] = static_cast<std::uint8_t>(loop);
    std::memcpy(&LoopFrame[6], "R000", 4);
    return LoopFrame;
}

const Frame& FrameBuffers::CornerSet(char coordinate, char output, int value) {
    CornerQuery(coordinate, output);
    EncodeFourDigits(value, &CornerFrame[6]);
    return CornerFrame;
}

const Frame& FrameBuffers::WarpSet(char axis, char kind, int value) {
    WarpFrame[3] = static_cast<std::uint8_t>(axis);
    WarpFrame[4] = static_cast<std::uint8_t>(kind);
    WarpFrame[6] = '+';
    EncodeThreeDigits(value, &WarpFrame[7]);
    return WarpFrame;
}

const Frame& FrameBuffers::LoopRangeSet(int value) {
    std::memcpy(&LoopFrame[3], "MLR+", 4);
    EncodeLoopRange(value, &LoopFrame[7]);
    return LoopFrame;
}

const Frame& FrameBuffers::LoopTimeSet(int value) {
    std::memcpy(&LoopFrame[3], "MLT+", 4);
    EncodeThreeDigits(value, &LoopFrame[7]);
    return LoopFrame;
}

const Frame& FrameBuffers::Profile(ProfileAction action) {
    ProfileFrame[5] = static_cast<std::uint8_t>(action);
    return ProfileFrame;
}

char CoordinateLetter(int index) {
    static constexpr char Letters[] = {'X', 'Y', 'U', 'V'};
    return Letters[index % 4];
}

char OutputLetter(int index) {
    return static_cast<char>('A' + Parameters[index].output - 1);
}

char WarpAxisLetter(int index) {
    return (index - WRHIndex) % 2 == 0 ? 'H' : 'V';
}

char WarpKindLetter(int index) {
    return index < WPHIndex ? 'R' : 'P';
}

const Frame& FrameBuffers::ParameterQuery(int index) {
    switch (Parameters[index].kind) {
    case ParamKind::TopLeft:
    case ParamKind::TopRight:
        return CornerQuery(CoordinateLetter(index), OutputLetter(index));
    case ParamKind::WarpRatio:
    case ParamKind::WarpPosition:
        return WarpQuery(WarpAxisLetter(index), WarpKindLetter(index));
    case ParamKind::LoopRange:
        return LoopQuery('R');
    case ParamKind::LoopTime:
        break;
    }
    return LoopQuery('T');
}

const Frame& FrameBuffers::ParameterSet(int index, int value) {
    switch (Parameters[index].kind) {
    case ParamKind::TopLeft:
    case ParamKind::TopRight:
        return CornerSet(CoordinateLetter(index), OutputLetter(index), value);
    case ParamKind::WarpRatio:
    case ParamKind::WarpPosition:
        return WarpSet(WarpAxisLetter(index), WarpKindLetter(index), value);
    case ParamKind::LoopRange:
        return LoopRangeSet(value);
    case ParamKind::LoopTime:
        break;
    }
    return LoopTimeSet(value);
}

} // namespace pelmora
