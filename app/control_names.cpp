#include "app/control_names.h"

#include <array>

namespace pelmora {

namespace {

// The interface strings that caption each kind of parameter, by ParamKind; the output
// groups' captions are strings 1 to 4.
constexpr std::array<int, 6> KindCaptions = {22, 23, 5, 6, 24, 25};

// The letter of the label beside a control: X or Y for corners, H or V for warp values.
std::u16string AxisLetter(const ParameterInfo& info) {
    switch (info.kind) {
    case ParamKind::TopLeft:
    case ParamKind::TopRight:
        return info.axis == Axis::X ? u"X" : u"Y";
    case ParamKind::WarpRatio:
    case ParamKind::WarpPosition:
        return info.index % 2 == 0 ? u"H" : u"V";
    case ParamKind::LoopRange:
    case ParamKind::LoopTime:
        break;
    }
    return u"";
}

} // namespace

std::u16string CornerName(int output, ParamKind corner, const UiStringTable& strings) {
    return strings[output] + u' ' + strings[KindCaptions[static_cast<std::size_t>(corner)]];
}

std::u16string ParameterName(const ParameterInfo& info, const UiStringTable& strings) {
    std::u16string name = IsCorner(info.kind)
                              ? CornerName(info.output, info.kind, strings)
                              : strings[KindCaptions[static_cast<std::size_t>(info.kind)]];
    const std::u16string letter = AxisLetter(info);
    return letter.empty() ? name : name + u' ' + letter;
}

} // namespace pelmora
