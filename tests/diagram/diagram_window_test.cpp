// The diagram window driven from the main window: ticking Diagram, corner changes and the
// repaints they cause, the single-output mode.
#include "app/form_fixture.h"
#include "diagram/diagram_window.h"
#include "diagram_pixels.h"

#include <QTest>

#include <gtest/gtest.h>

namespace pelmora::testing {
namespace {

class DiagramWindowTest : public ::testing::Test {
  protected:
    DiagramWindowTest() { form.AttachDiagram(&form2); }
    ~DiagramWindowTest() override { form2.hide(); }

    QScrollBar* Bar(int output, ParamKind corner, Axis axis) const {
        return form.Bars[CornerIndex(output, corner, axis)];
    }
    void SetDiagram(bool ticked) {
        if (form.ImgOn->isChecked() != ticked)
            form.ImgOn->click();
    }
    const QImage& Canvas() { return form2.Canvas(); }

    TempFolder home;
    FormFixture fixture;
    TForm1& form = fixture.Start(home.Path());
    TForm2 form2;
};

TEST_F(DiagramWindowTest, TickingDiagramShowsTheWindowDrawnFromTheBars) {
    Bar(1, ParamKind::TopRight, Axis::X)->setValue(1600);
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
    Bar(4, ParamKind::TopRight, Axis::X)->setValue(1000);
    form.DrawDiagram();
    EXPECT_EQ(Canvas(), before);
    SetDiagram(true);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(1000, 0), QPointF(1000, 562), Magenta));
}

TEST_F(DiagramWindowTest, EveryCornerChangeRedrawsWhileShownButNoOtherValue) {
    SetDiagram(true);
    Bar(2, ParamKind::TopRight, Axis::X)->setValue(800);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(800, 0), QPointF(800, 450), Green));
    Bar(3, ParamKind::TopLeft, Axis::Y)->setValue(300);
    EXPECT_TRUE(ColourNear(Canvas(), 960, 150, Blue)) << "TV3's top edge now slopes";

    form2.Canvas().fill(Qt::black);
    for (int index : {WRHIndex, WRVIndex, WPHIndex, WPVIndex, LRIndex, LTIndex})
        form.Bars[index]->setValue(form.Bars[index]->value() + 1);
    EXPECT_EQ(PixelsOf(Canvas(), QColor(Qt::black)), 480 * 270);
}

// Counts the paint events that reach a widget.
struct PaintCounter : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        Paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(DiagramWindowTest, ACornerMoveRepaintsTheShownPicture) {
    SetDiagram(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form2));
    QCoreApplication::processEvents();
    PaintCounter counter;
    form2.TntImage1->installEventFilter(&counter);
    Bar(1, ParamKind::TopLeft, Axis::Y)->setValue(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.Paints > 0; }, 5000));
}

TEST_F(DiagramWindowTest, SingleOutputModeDrawsTv1Only) {
    for (int output = 2; output <= OutputCount; ++output)
        Bar(output, ParamKind::TopLeft, Axis::Y)->setValue(100 * output);
    form.SingleOutputMode = true;
    SetDiagram(true);
    EXPECT_TRUE(SegmentDrawn(Canvas(), QPointF(0, 1080), QPointF(1920, 1080), Red));
    EXPECT_EQ(PixelsOf(Canvas(), Green) + PixelsOf(Canvas(), Blue) + PixelsOf(Canvas(), Magenta),
              0);
}

TEST_F(DiagramWindowTest, ClosingTheWindowUnticksDiagram) {
    SetDiagram(true);
    form2.close();
    EXPECT_FALSE(form.ImgOn->isChecked());
    EXPECT_FALSE(form2.isVisible());
    SetDiagram(true);
    EXPECT_TRUE(form2.isVisible()) << "closing hid it; it was not destroyed";
}

} // namespace
} // namespace pelmora::testing
