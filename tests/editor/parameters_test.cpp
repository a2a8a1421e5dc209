#include "editor/parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace pelmora {
namespace {

TEST(Parameters, CanonicalOrderAndCornerIndexAgree) {
    for (int output = 1; output <= OutputCount; ++output)
        for (ParamKind kind : {ParamKind::TopLeft, ParamKind::TopRight})
            for (Axis axis : {Axis::X, Axis::Y}) {
                const ParameterInfo& info = Parameters[CornerIndex(output, kind, axis)];
                EXPECT_EQ(info.output, output);
                EXPECT_EQ(info.kind, kind);
                EXPECT_EQ(info.axis, axis);
                EXPECT_EQ(info.barName[3] - '0', output);
            }
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(Parameters[i].index, i);
}

TEST(Parameters, RangesAndStartValues) {
    EXPECT_EQ(Parameters[0].barName, "TLX1Bar");
    EXPECT_EQ(Parameters[2].startValue, 1920);
    EXPECT_EQ(Parameters[3].maximum, 1080);
    EXPECT_EQ(Parameters[WRHIndex].minimum, 25);
    EXPECT_EQ(Parameters[WRVIndex].maximum, 200);
    EXPECT_EQ(Parameters[WPHIndex].startValue, 50);
    EXPECT_EQ(Parameters[LRIndex].maximum, 10);
    EXPECT_EQ(Parameters[LTIndex].maximum, 600);
    EXPECT_EQ(Parameters[LTIndex].editName, "LTEdit");
    EXPECT_TRUE(Parameters[WRHIndex].editName.empty());
    EXPECT_TRUE(Parameters[WPVIndex].valueName.empty());
    for (const ParameterInfo& info : Parameters) {
        EXPECT_GE(info.startValue, info.minimum) << info.barName;
        EXPECT_LE(info.startValue, info.maximum) << info.barName;
    }
}

TEST(Parameters, ResetOrderVisitsEveryParameterOnceTopRightYBeforeX) {
    std::set<int> seen(ResetOrder.begin(), ResetOrder.end());
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(ParameterCount));
    const auto position = [](int index) {
        return std::find(ResetOrder.begin(), ResetOrder.end(), index) - ResetOrder.begin();
    };
    EXPECT_LT(position(3), position(2));
    EXPECT_LT(position(LTIndex), position(LRIndex));
    EXPECT_EQ(ResetOrder.front(), 0);
}

TEST(Parameters, ResetValuesFollowTheXLimit) {
    EXPECT_EQ(ResetValue(2, 720), 720);
    EXPECT_EQ(ResetValue(14, 1920), 1920);
    EXPECT_EQ(ResetValue(3, 720), 0);
    EXPECT_EQ(ResetValue(WRHIndex, 720), 100);
    EXPECT_EQ(ResetValue(WPVIndex, 720), 50);
}

TEST(Parameters, EditLimits) {
    const CoordinateLimits limits{720, 480};
    EXPECT_EQ(EditLimitValue(Parameters[0], limits), 720);
    EXPECT_EQ(EditLimitValue(Parameters[15], limits), 480);
    EXPECT_EQ(EditLimitValue(Parameters[WPHIndex], limits), 100);
    EXPECT_EQ(EditLimitValue(Parameters[LTIndex], limits), 600);
}

} // namespace
} // namespace pelmora
