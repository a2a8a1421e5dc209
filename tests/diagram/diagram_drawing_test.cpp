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

TEST(DiagramMapping, MapsPixelsBackAndScalesWithThePictureKeepingItsAspect) {
    const DiagramMapping tabled(480, 270);
    EXPECT_EQ(DiagramMapping::Scaled(480, 270).Scale(), tabled.Scale());
    EXPECT_DOUBLE_EQ(DiagramMapping::Scaled(960, 1000).Scale(), 2 * tabled.Scale());
    EXPECT_DOUBLE_EQ(DiagramMapping::Scaled(2000, 540).Scale(), 2 * tabled.Scale());
    for (const Point logical : {Point{1920, 0}, Point{-40, -18}, Point{733, 1080}}) {
        const LogicalPoint back = tabled.ToLogical(tabled.ToPixel(logical));
        EXPECT_NEAR(back.X, logical.X, 2.11); // half a pixel
        EXPECT_NEAR(back.Y, logical.Y, 2.11);
    }
}

TEST(DiagramHandles, HitTheNearestHandleOnTopWithinItsMark) {
    const DiagramMapping mapping(480, 270);
    DiagramCorners corners{DefaultEdge, DefaultEdge, DefaultEdge, DefaultEdge};
    corners[1].TopRight = {1600, 100};
    const auto hit = [&](Point logical, int dx = 0, bool single = false) {
        Point pixel = mapping.ToPixel(logical);
        pixel.X += dx;
        return HitHandle(corners, single, mapping, pixel);
    };
    EXPECT_EQ(hit({1600, 100}), (DiagramHandle{2, ParamKind::TopRight}));
    EXPECT_EQ(hit({1600, 100}, HotHandleRadius), (DiagramHandle{2, ParamKind::TopRight}));
    EXPECT_EQ(hit({1600, 100}, HotHandleRadius + 1), std::nullopt);
    EXPECT_EQ(hit({0, 0}), (DiagramHandle{4, ParamKind::TopLeft})) << "the one drawn last";
    EXPECT_EQ(hit({1600, 100}, 0, true), std::nullopt) << "single-output mode: TV1's only";
    EXPECT_EQ(hit({1920, 0}, 0, true), (DiagramHandle{1, ParamKind::TopRight}));
    EXPECT_EQ(DiagramHandles(true).size(), 2u);
    EXPECT_EQ(DiagramHandles(false).size(), 8u);
}

TEST(DiagramHandles, MarksFollowTheOutlinesInTheOutputsColours) {
    const DiagramCorners corners{DefaultEdge, Hidden, DefaultEdge, DefaultEdge};
    DiagramDrawing drawing = LayoutDiagram(corners, false);
    const std::size_t outlines = drawing.Steps.size();
    AddHandleMarks(drawing, corners, false, DiagramHandle{2, ParamKind::TopLeft},
                   DiagramHandle{3, ParamKind::TopRight});
    ASSERT_EQ(drawing.Steps.size(), outlines + 9);
    const DrawStep& hot = drawing.Steps[outlines + 2];
    EXPECT_EQ(hot.Op, DrawOp::HotHandle) << "the hidden output keeps its handles";
    EXPECT_EQ(hot.Colour, OutputColours[1]);
    EXPECT_EQ(hot.Points[0], (Point{500, 500}));
    EXPECT_EQ(drawing.Steps[outlines + 1].Op, DrawOp::Handle);
    EXPECT_EQ(drawing.Steps.back().Op, DrawOp::SelectionMark);
    EXPECT_EQ(drawing.Steps.back().Points[0], (Point{1920, 0}));
}

} // namespace
} // namespace pelmora
