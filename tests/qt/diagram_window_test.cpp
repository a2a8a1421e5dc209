// The diagram window driven from the main window: ticking Diagram, corner changes, the
// single-output mode.
#include "diagram_pixels.h"
#include "qt_fixture.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

namespace pelmora::testing {
namespace {

class DiagramWindowTest : public QtFormFixture {
  protected:
    ScrollBar* Bar(int output, ParamKind corner, Axis axis) const {
        return form.Bars[CornerIndex(output, corner, axis)];
    }
    void SetDiagram(bool ticked) {
        if (form.ImgOn->Checked() != ticked)
            window.Widget<QAbstractButton>("ImgOn")->click();
    }
    QImage& Canvas() { return form2.TntImage1->Canvas(); }
};

TEST_F(DiagramWindowTest, TickingDiagramShowsTheWindowDrawnFromTheBars) {
    Bar(1, ParamKind::TopRight, Axis::X)->SetPosition(1600);
    ASSERT_EQ(PixelsOf(Canvas(), Red), 0) << "nothing drawn while hidden";
    SetDiagram(true);
    EXPECT_TRUE(form2.isVisible());
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(1600, 0), QPointF(1600, 900), Red));
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(0, 1080), QPointF(1920, 1080), Magenta));
    SetDiagram(false);
    EXPECT_FALSE(form2.isVisible());
}

TEST_F(DiagramWindowTest, HiddenItKeepsItsLastDrawingUntilShownAgain) {
    SetDiagram(true);
    SetDiagram(false);
    const QImage before = Canvas().copy();
    Bar(4, ParamKind::TopRight, Axis::X)->SetPosition(1000);
    form.DrawDiagram();
    EXPECT_EQ(Canvas(), before);
    const int repaints = form2.Repaints;
    SetDiagram(true);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(1000, 0), QPointF(1000, 562), Magenta));
    EXPECT_EQ(form2.Repaints, repaints + 1) << "the new picture reaches the screen";
}

TEST_F(DiagramWindowTest, EveryCornerChangeRedrawsWhileShownButNoOtherValue) {
    SetDiagram(true);
    Bar(2, ParamKind::TopRight, Axis::X)->SetPosition(800);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(800, 0), QPointF(800, 450), Green));
    Bar(3, ParamKind::TopLeft, Axis::Y)->SetPosition(300);
    EXPECT_TRUE(ColourNear(Canvas(), 960, 150, Blue)) << "TV3's top edge now slopes";

    Canvas().fill(Qt::black);
    for (int index : {WRHIndex, WRVIndex, WPHIndex, WPVIndex, LRIndex, LTIndex})
        form.Bars[index]->SetPosition(form.Bars[index]->Position() + 1);
    EXPECT_EQ(PixelsOf(Canvas(), QColor(Qt::black)), 480 * 270);
}

TEST_F(DiagramWindowTest, ACornerMoveRepaintsTheShownPicture) {
    SetDiagram(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form2));
    QCoreApplication::processEvents();
    PaintCounter counter;
    form2.TntImage1->installEventFilter(&counter);
    Bar(1, ParamKind::TopLeft, Axis::Y)->SetPosition(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.Paints > 0; }, 5000));
}

TEST_F(DiagramWindowTest, SingleOutputModeDrawsTv1Only) {
    for (int output = 2; output <= OutputCount; ++output)
        Bar(output, ParamKind::TopLeft, Axis::Y)->SetPosition(100 * output);
    form.SingleOutputMode = true;
    SetDiagram(true);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(0, 1080), QPointF(1920, 1080), Red));
    EXPECT_EQ(PixelsOf(Canvas(), Green) + PixelsOf(Canvas(), Blue) + PixelsOf(Canvas(), Magenta),
              0);
}

TEST_F(DiagramWindowTest, ClosingTheWindowUnticksDiagram) {
    SetDiagram(true);
    form2.close();
    EXPECT_FALSE(form.ImgOn->Checked());
    EXPECT_FALSE(form2.isVisible());
    SetDiagram(true);
    EXPECT_TRUE(form2.isVisible()) << "closing hid it; it was not destroyed";
}

} // namespace
} // namespace pelmora::testing
