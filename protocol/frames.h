// The command frames sent to the box and the decoding of its replies.
//
// Eight 12-byte buffers are filled once and then only patched in place: every operation
// writes its own positions and leaves the rest as the last operation left them, which is how
// the slot letter and the profile digit chosen by the selection buttons reach later frames.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pelmora {

inline constexpr int FrameSize = 12;
// The box keeps ten memory slots (letters 'A'..'J' in a frame) and five profiles ('0'..'4').
inline constexpr int SlotCount = 10;
inline constexpr int ProfileCount = 5;
using Frame = std::array<std::uint8_t, FrameSize>;

// The ten visible characters of a frame (positions 0..9), for logs and tests.
std::string FrameText(const Frame& frame);

// Positions 6..9 for v in 0..1999: thousands, hundreds, tens, units, each '0' + digit.
void EncodeFourDigits(int value, std::uint8_t* out);
// Positions 7..9 for v in 0..999.
void EncodeThreeDigits(int value, std::uint8_t* out);
// Positions 7..9 of a loop-range set: '0', '0', '0' + v (so 10 goes out as "00:").
void EncodeLoopRange(int value, std::uint8_t* out);

// The value in reply positions 7..9, plus position 6 as thousands when asked. Bytes are not
// validated: each counts as its code minus '0'.
int ReplyValue(const std::uint8_t* reply, bool withThousands);

enum class ProfileAction : char { Load = 'L', Save = 'X' };

class FrameBuffers {
  public:
    FrameBuffers();

    Frame MmbOnFrame;
    Frame MmbOffFrame;
    Frame CornerFrame;
    Frame WarpFrame;
    Frame ProfileFrame;
    Frame LoopFrame;
    Frame ModelQueryFrame;
    Frame OutputModeQueryFrame;

    // Selection buttons: slot tag 0..9 and profile tag 0..4.
    void SelectSlot(int tag);
    void SelectProfile(int tag);

    // Corner query of TV1's top-left X with "R000" in 6..9: the first frame of a read.
    const Frame& FirstCornerQuery();
    // Corner query: coordinate letter into 3 and output letter into 5 only.
    const Frame& CornerQuery(char coordinate, char output);
    // Warp query: axis into 3, kind into 4, 'R' into 6; 7..9 keep the last warp value sent.
    const Frame& WarpQuery(char axis, char kind);
    // Loop query: 3..9 := 'M', 'L', loop letter, 'R', '0', '0', '0'.
    const Frame& LoopQuery(char loop);

    const Frame& CornerSet(char coordinate, char output, int value);
    const Frame& WarpSet(char axis, char kind, int value);
    const Frame& LoopRangeSet(int value);
    const Frame& LoopTimeSet(int value);
    const Frame& Profile(ProfileAction action);

    // The query frame of canonical parameter `index`.
    const Frame& ParameterQuery(int index);
    // The set frame of canonical parameter `index` carrying `value`.
    const Frame& ParameterSet(int index, int value);
};

// Letters of a parameter in its frame: coordinate and output letters for a corner, axis and
// kind letters for a warp value.
char CoordinateLetter(int index);
char OutputLetter(int index);
char WarpAxisLetter(int index);
char WarpKindLetter(int index);

} // namespace pelmora
