// The diagram picture as the Qt face renders it from corner values, checked pixel by pixel.
#include "diagram/diagram_drawing.h"
#include "diagram_pixels.h"
#include "ui/qt/diagram_window.h"

#include <gtest/gtest.h>

namespace pelmora::testing {
namespace {

constexpr OutputEdge Edge(int tlx, int tly, int trx, int try_) {
    return {{tlx, tly}, {trx, try_}};
}

constexpr OutputEdge DefaultEdge{{0, 0}, {1920, 0}};
constexpr OutputEdge Hidden{{500, 500}, {500, 500}}; // TL = TR

QImage Draw(const DiagramCorners& corners, bool singleOutput = false) {
    QImage image(480, 270, QImage::Format_RGB32);
    image.fill(Qt::black);
    RenderDiagram(image, LayoutDiagram(corners, singleOutput));
    return image;
}

bool OutlineDrawn(const QImage& image, const std::array<Point, 4>& corners, const QColor& colour) {
    for (int i = 0; i < 4; ++i)
        if (!SegmentDrawn(image, QPointF(corners[i].X, corners[i].Y),
                          QPointF(corners[(i + 1) % 4].X, corners[(i + 1) % 4].Y), colour))
            return false;
    return true;
}

TEST(DrawLayoutDiagram, DefaultsShowOnlyTheLastOutlineOnTheFrameEdges) {
    const QImage image = Draw({DefaultEdge, DefaultEdge, DefaultEdge, DefaultEdge});
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline(DefaultEdge), Magenta));
    EXPECT_EQ(PixelsOf(image, Red), 0);
    EXPECT_EQ(PixelsOf(image, Green), 0);
    EXPECT_EQ(PixelsOf(image, Blue), 0);
    EXPECT_EQ(PixelsOf(image, QColor(Qt::black)), 0) << "the background covers the picture";
}

TEST(DrawLayoutDiagram, TheFrameIsHatchedYellowOnWhiteWithWhiteMargins) {
    const QImage image = Draw({Hidden, Hidden, Hidden, Hidden});
    EXPECT_TRUE(OutlineDrawn(image, {{{1, 0}, {1920, 0}, {1920, 1080}, {1, 1080}}}, Yellow));
    int yellow = 0;
    int white = 0;
    for (int y = Pixel(0, 100).y(); y < Pixel(0, 1000).y(); ++y)
        for (int x = Pixel(100, 0).x(); x < Pixel(1800, 0).x(); ++x)
            (image.pixelColor(x, y) == Yellow ? yellow : white) += 1;
    EXPECT_GT(yellow, 1000);
    EXPECT_GT(white, yellow) << "gaps show the background";
    for (int y = 0; y < image.height(); ++y)
        EXPECT_EQ(image.pixelColor(5, y), White) << y;
    for (int x = 0; x < image.width(); ++x)
        EXPECT_EQ(image.pixelColor(x, 266), White) << x;
    EXPECT_EQ(PixelsOf(image, Yellow) + PixelsOf(image, White), 480 * 270) << "no outline";
}

TEST(DrawLayoutDiagram, ANarrowerTopEdgeGivesASmallerPicture) {
    const OutputEdge narrow{{0, 0}, {1600, 0}};
    const QImage image = Draw({narrow, Hidden, Hidden, Hidden});
    EXPECT_TRUE(OutlineDrawn(image, {{{0, 0}, {1600, 0}, {1600, 900}, {0, 900}}}, Red));
    EXPECT_FALSE(ColourNear(image, 800, 1080, Red));
    EXPECT_FALSE(ColourNear(image, 1920, 450, Red));
}

TEST(DrawLayoutDiagram, AnOutputWhoseCornersCoincideIsLeftOut) {
    const QImage image =
        Draw({Edge(100, 100, 900, 100), Hidden, Edge(1000, 0, 1900, 0), Edge(200, 600, 1000, 600)});
    EXPECT_EQ(PixelsOf(image, Green), 0);
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline({{100, 100}, {900, 100}}), Red));
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline({{1000, 0}, {1900, 0}}), Blue));
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline({{200, 600}, {1000, 600}}), Magenta));
}

TEST(DrawLayoutDiagram, LaterOutputsAreDrawnOverEarlierOnes) {
    const OutputEdge shared{{200, 200}, {1000, 200}};
    const QImage image = Draw({shared, shared, shared, Hidden});
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline(shared), Blue));
    EXPECT_EQ(PixelsOf(image, Red) + PixelsOf(image, Green), 0);
}

TEST(DrawLayoutDiagram, SingleOutputModeDrawsTv1Only) {
    const QImage image = Draw({Edge(100, 100, 900, 100), Edge(300, 0, 1300, 0),
                               Edge(1000, 0, 1900, 0), Edge(200, 600, 1000, 600)},
                              true);
    EXPECT_TRUE(OutlineDrawn(image, OutputOutline({{100, 100}, {900, 100}}), Red));
    EXPECT_EQ(PixelsOf(image, Green) + PixelsOf(image, Blue) + PixelsOf(image, Magenta), 0);
}

TEST(DrawLayoutDiagram, PartsBeyondThePictureAreCutOff) {
    const OutputEdge low{{0, 1000}, {1920, 1000}}; // bottom edge at 2080
    const QImage image = Draw({low, Hidden, Hidden, Edge(1920, 1080, 1920, 0)});
    EXPECT_TRUE(SegmentDrawn(image, QPointF(0, 1000), QPointF(1920, 1000), Red));
    EXPECT_EQ(image.pixelColor(Pixel(0, 0).x(), 269), Red) << "the side runs off the bottom";
    // TV4's picture lies right of the frame and is cut at the picture's edge.
    EXPECT_TRUE(SegmentDrawn(image, QPointF(1920, 1080), QPointF(1920, 0), Magenta));
    EXPECT_EQ(image.pixelColor(479, Pixel(0, 1080).y()), Magenta);
}

} // namespace
} // namespace pelmora::testing
