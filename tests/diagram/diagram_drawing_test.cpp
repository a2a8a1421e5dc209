// The diagram's drawing steps: the mapping, each output's outline and which outlines are drawn.
#include "diagram/diagram_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace pelmora {
namespace {

constexpr OutputEdge DefaultEdge{{0, 0}, {1920, 0}};
constexpr OutputEdge Hidden{{500, 500}, {500, 500}}; // TL = TR

std::vector<Rgb> OutlineColours(const DiagramDrawing& drawing) {
    std::vector<Rgb> colours;
    for (const DrawStep& step : drawing.Steps)
        if (step.Op == DrawOp::Outline)
            colours.push_back(step.Colour);
    return colours;
}

TEST(DiagramMapping, OnePixelPerFourPointTwoUnitsFromMinus40Minus18) {
    const DiagramMapping mapping(480, 270);
    EXPECT_DOUBLE_EQ(mapping.Scale(), 480.0 / 2016.0);
    EXPECT_EQ(mapping.ToPixel({-40, -18}), (Point{0, 0}));
    EXPECT_EQ(mapping.ToPixel({1920, 1080}), (Point{467, 261}));
    EXPECT_EQ(mapping.ToPixel({2000000000, -2000000000}).X, 10000000) << "bounded";
}

TEST(OutputOutline, IsASixteenByNinePictureBelowItsTopEdge) {
    using Outline = std::array<Point, 4>;
    EXPECT_EQ(OutputOutline(DefaultEdge), (Outline{{{0, 0}, {1920, 0}, {1920, 1080}, {0, 1080}}}));
    EXPECT_EQ(OutputOutline({{0, 0}, {1600, 0}}),
              (Outline{{{0, 0}, {1600, 0}, {1600, 900}, {0, 900}}}));
    // An edge running down the screen: the picture lies to its left.
    EXPECT_EQ(OutputOutline({{1000, 100}, {1000, 900}}),
              (Outline{{{1000, 100}, {1000, 900}, {550, 900}, {550, 100}}}));
    // Tilted: h = 112.5 along (-0.6, 0.8); -67.5 truncates toward zero.
    EXPECT_EQ(OutputOutline({{0, 0}, {160, 120}}),
              (Outline{{{0, 0}, {160, 120}, {92, 210}, {-67, 90}}}));
}

TEST(EdgeAngle, GivesTheDirectionOrMinus999ForCoincidingPoints) {
    EXPECT_EQ(EdgeAngle(5, 7, 5, 7), -999);
    EXPECT_EQ(EdgeAngle(0, 0, 10, 0), 0);
    EXPECT_EQ(EdgeAngle(0, 0, 0, 10), -90);
    EXPECT_EQ(EdgeAngle(0, 0, 0, -10), 90);
    EXPECT_EQ(EdgeAngle(0, 0, -10, 0), -180);
    EXPECT_NEAR(EdgeAngle(0, 0, 10, 3), -16.699, 0.001);
    EXPECT_EQ(EdgeAngle(0, 0, 10, -3), 16) << "the upper half is truncated";
    EXPECT_EQ(EdgeAngle(INT32_MIN, 0, INT32_MAX, 0), 0) << "no overflow";
}

TEST(LayoutDiagram, HatchesAndOutlinesTheFrameThenEachVisibleOutputInOrder) {
    const DiagramDrawing drawing =
        LayoutDiagram({DefaultEdge, Hidden, DefaultEdge, DefaultEdge}, false);
    ASSERT_EQ(drawing.Steps.size(), 5u);
    EXPECT_EQ(drawing.Steps[0].Op, DrawOp::Hatch);
    EXPECT_EQ(drawing.Steps[0].Points[2], (Point{1920, 1080}));
    EXPECT_EQ(OutlineColours(drawing), (std::vector<Rgb>{DiagramFrameColour, OutputColours[0],
                                                         OutputColours[2], OutputColours[3]}));
    EXPECT_EQ(drawing.Steps[4].Points, OutputOutline(DefaultEdge));
    EXPECT_EQ(
        LayoutDiagram({DefaultEdge, DefaultEdge, DefaultEdge, DefaultEdge}, true).Steps.size(), 3u)
        << "single-output mode draws TV1 only";
}

} // namespace
} // namespace pelmora
