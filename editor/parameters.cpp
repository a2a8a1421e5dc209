#include "editor/parameters.h"

namespace pelmora {

namespace {

constexpr ParameterInfo Corner(int index, std::string_view bar, std::string_view edit,
                               std::string_view value, ParamKind kind, int output, Axis axis) {
    const bool isX = axis == Axis::X;
    const int start = (kind == ParamKind::TopRight && isX) ? DefaultMaxX : 0;
    return {index,
            bar,
            edit,
            value,
            kind,
            output,
            axis,
            0,
            isX ? DefaultMaxX : DefaultMaxY,
            start,
            isX ? EditLimit::MaxX : EditLimit::MaxY,
            0};
}

} // namespace

const std::array<ParameterInfo, ParameterCount> Parameters = {{
    Corner(0, "TLX1Bar", "TLX1Edit", "TLX1Val", ParamKind::TopLeft, 1, Axis::X),
    Corner(1, "TLY1Bar", "TLY1Edit", "TLY1Val", ParamKind::TopLeft, 1, Axis::Y),
    Corner(2, "TRX1Bar", "TRX1Edit", "TRX1Val", ParamKind::TopRight, 1, Axis::X),
    Corner(3, "TRY1Bar", "TRY1Edit", "TRY1Val", ParamKind::TopRight, 1, Axis::Y),
    Corner(4, "TLX2Bar", "TLX2Edit", "TLX2Val", ParamKind::TopLeft, 2, Axis::X),
    Corner(5, "TLY2Bar", "TLY2Edit", "TLY2Val", ParamKind::TopLeft, 2, Axis::Y),
    Corner(6, "TRX2Bar", "TRX2Edit", "TRX2Val", ParamKind::TopRight, 2, Axis::X),
    Corner(7, "TRY2Bar", "TRY2Edit", "TRY2Val", ParamKind::TopRight, 2, Axis::Y),
    Corner(8, "TLX3Bar", "TLX3Edit", "TLX3Val", ParamKind::TopLeft, 3, Axis::X),
    Corner(9, "TLY3Bar", "TLY3Edit", "TLY3Val", ParamKind::TopLeft, 3, Axis::Y),
    Corner(10, "TRX3Bar", "TRX3Edit", "TRX3Val", ParamKind::TopRight, 3, Axis::X),
    Corner(11, "TRY3Bar", "TRY3Edit", "TRY3Val", ParamKind::TopRight, 3, Axis::Y),
    Corner(12, "TLX4Bar", "TLX4Edit", "TLX4Val", ParamKind::TopLeft, 4, Axis::X),
    Corner(13, "TLY4Bar", "TLY4Edit", "TLY4Val", ParamKind::TopLeft, 4, Axis::Y),
    Corner(14, "TRX4Bar", "TRX4Edit", "TRX4Val", ParamKind::TopRight, 4, Axis::X),
    Corner(15, "TRY4Bar", "TRY4Edit", "TRY4Val", ParamKind::TopRight, 4, Axis::Y),
    {16, "WRHBar", "", "WRHVal", ParamKind::WarpRatio, 0, Axis::None, 25, 200, 100, EditLimit::None,
     0},
    {17, "WRVBar", "", "WRVVal", ParamKind::WarpRatio, 0, Axis::None, 25, 200, 100, EditLimit::None,
     0},
    {18, "WPHBar", "WPHEdit", "", ParamKind::WarpPosition, 0, Axis::None, 0, 100, 50,
     EditLimit::Fixed, 100},
    {19, "WPVBar", "WPVEdit", "", ParamKind::WarpPosition, 0, Axis::None, 0, 100, 50,
     EditLimit::Fixed, 100},
    {20, "LRBar", "", "LRVal", ParamKind::LoopRange, 0, Axis::None, 0, 10, 0, EditLimit::None, 0},
    {21, "LTBar", "LTEdit", "", ParamKind::LoopTime, 0, Axis::None, 0, 600, 0, EditLimit::Fixed,
     600},
}};

const std::array<int, ParameterCount> ResetOrder = {
    0,  1,  3,  2,  4,  5,        7,        6,        8,        9,       11,
    10, 12, 13, 15, 14, WRHIndex, WRVIndex, WPHIndex, WPVIndex, LTIndex, LRIndex,
};

int ResetValue(int index, int maxX) {
    const ParameterInfo& info = Parameters[index];
    if (info.kind == ParamKind::TopRight && info.axis == Axis::X)
        return maxX;
    return info.startValue;
}

int EditLimitValue(const ParameterInfo& info, const CoordinateLimits& limits) {
    switch (info.limit) {
    case EditLimit::MaxX:
        return limits.MaxX;
    case EditLimit::MaxY:
        return limits.MaxY;
    case EditLimit::Fixed:
        return info.fixedLimit;
    case EditLimit::None:
        break;
    }
    return info.maximum;
}

} // namespace pelmora
