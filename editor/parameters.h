// The 22 alignment parameters: one table of data that the scroll bars, the edit boxes,
// the transfers, the live frames and the alignment files all read.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pelmora {

enum class ParamKind { TopLeft, TopRight, WarpRatio, WarpPosition, LoopRange, LoopTime };
enum class Axis { X, Y, None };

// Upper bound that a typed value is clamped to, and how it is compared.
enum class EditLimit { MaxX, MaxY, Fixed, None };

inline constexpr int ParameterCount = 22;
inline constexpr int OutputCount = 4;
inline constexpr int DefaultMaxX = 1920;
inline constexpr int DefaultMaxY = 1080;

struct ParameterInfo {
    int index;
    std::string_view barName;
    std::string_view editName;  // empty: no edit box
    std::string_view valueName; // empty: no value label
    ParamKind kind;
    int output; // 1..4 for corners, 0 otherwise
    Axis axis;  // X or Y for corners, None otherwise
    int minimum;
    int maximum; // start maximum; the corner maxima follow the identified box
    int startValue;
    EditLimit limit;
    int fixedLimit; // the limit when `limit` is Fixed
};

extern const std::array<ParameterInfo, ParameterCount> Parameters;

// Indices in the order Reset sets them: per output TL X, TL Y, TR Y, TR X; then warp ratio
// H and V, warp position H and V, loop time, loop range.
extern const std::array<int, ParameterCount> ResetOrder;

// The canonical index of output n's (1..4) corner of the given kind and axis.
constexpr int CornerIndex(int output, ParamKind kind, Axis axis) {
    return (output - 1) * 4 + (kind == ParamKind::TopRight ? 2 : 0) + (axis == Axis::Y ? 1 : 0);
}

inline constexpr int WRHIndex = 16;
inline constexpr int WRVIndex = 17;
inline constexpr int WPHIndex = 18;
inline constexpr int WPVIndex = 19;
inline constexpr int LRIndex = 20;
inline constexpr int LTIndex = 21;

constexpr bool IsCorner(ParamKind kind) {
    return kind == ParamKind::TopLeft || kind == ParamKind::TopRight;
}

// The coordinate limits that the corner edit boxes clamp to; equal to the corner bars' maxima.
struct CoordinateLimits {
    int MaxX = DefaultMaxX;
    int MaxY = DefaultMaxY;
};

// The value Reset gives parameter `index` with the present X limit.
int ResetValue(int index, int maxX);

// The edit-box limit of a parameter under the present coordinate limits (only for parameters
// that have an edit box).
int EditLimitValue(const ParameterInfo& info, const CoordinateLimits& limits);

} // namespace pelmora
