// The diagram window driven from the main window: ticking Diagram, corner changes, the
// single-output mode.
#include "diagram_pixels.h"
#include "qt_fixture.h"

#include "emulator/pty_box.h"

#include <QAbstractButton>
#include <QLineEdit>
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

// TV2's top-right corner grabbed at its place and dropped 100 units left and 50 down, with
// Real Time ticked; then Ctrl+Z and Ctrl+Y in either window.
class DiagramDragTest : public DiagramWindowTest {
  protected:
    DiagramDragTest() {
        form.ComPort1.SetPort(box.DevicePath());
        form.ComPort1.Open();
        form.RealTimeMode->UserClick();
        for (int output : {1, 3, 4}) // TV2's handle lies on top of no other
            Bar(output, ParamKind::TopRight, Axis::X)->SetPosition(1700);
        SetDiagram(true);
        form2.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form2));
    }
    ~DiagramDragTest() override { form.ComPort1.Close(); }

    void Drag(QPoint from, QPoint to) {
        QWidget* picture = form2.TntImage1;
        QTest::mousePress(picture, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(picture, from + (to - from) * step / 4);
        QTest::mouseRelease(picture, Qt::LeftButton, {}, to);
        QCoreApplication::processEvents();
    }
    // Whether the last frames the box receives are the set frames of TRX2 and TRY2 for
    // these values.
    bool BoxEndsWith(int x, int y) {
        const std::vector<std::string> expected = {SetFrame(trx2, x), SetFrame(try2, y)};
        return QTest::qWaitFor([&] {
            const std::vector<std::string> frames = box.Frames();
            return frames.size() >= 2 &&
                   std::vector<std::string>(frames.end() - 2, frames.end()) == expected;
        });
    }
    std::string SetFrame(int index, int value) {
        const Frame frame = form.Frames.ParameterSet(index, value);
        return {frame.begin(), frame.begin() + 10};
    }
    int Value(int index) const { return form.Bars[index]->Position(); }

    emulator::PtyBox box{{}};
    const int trx2 = CornerIndex(2, ParamKind::TopRight, Axis::X);
    const int try2 = CornerIndex(2, ParamKind::TopRight, Axis::Y);
};

TEST_F(DiagramDragTest, AMouseDragSetsTheCornerSendsItAndUndoesInEitherWindow) {
    box.ClearFrames();
    Drag(Pixel(1920, 0), Pixel(1820, 50));
    EXPECT_NEAR(Value(trx2), 1820, 1);
    EXPECT_NEAR(Value(try2), 50, 1);
    EXPECT_TRUE(BoxEndsWith(Value(trx2), Value(try2)));
    EXPECT_EQ(form2.TntImage1->toolTip().toStdString(),
              "TV2 Top Right: " + std::to_string(Value(trx2)) + ", " + std::to_string(Value(try2)));

    QTest::keyClick(&form2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Value(trx2), 1920);
    EXPECT_EQ(Value(try2), 0);
    EXPECT_TRUE(BoxEndsWith(1920, 0));

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* edit = window.Widget<QLineEdit>("LTEdit"); // enabled while live
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NEAR(Value(trx2), 1820, 1) << "redone from an edit box of the main window";
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Value(trx2), 1920);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(Value(trx2), 1820, 1);
}

TEST_F(DiagramWindowTest, AResizedWindowScalesThePictureAndTheHandlesWithIt) {
    SetDiagram(true);
    form2.resize(DiagramWindow.Width + 480, DiagramWindow.Height + 400);
    EXPECT_EQ(Canvas().size(), QSize(960, 540)) << "the aspect is kept";
    const QPoint corner = Pixel(1920, 0) * 2;
    EXPECT_EQ(Canvas().pixelColor(corner), Magenta) << "TV4's handle, on top";
    QTest::mousePress(form2.TntImage1, Qt::LeftButton, {}, corner);
    QTest::mouseRelease(form2.TntImage1, Qt::LeftButton, {}, corner + QPoint(-48, 0));
    EXPECT_NEAR(Bar(4, ParamKind::TopRight, Axis::X)->Position(), 1820, 2);
    form2.resize(100, 100);
    EXPECT_EQ(form2.size(), QSize(DiagramWindow.Width, DiagramWindow.Height)) << "the minimum";
}

} // namespace
} // namespace pelmora::testing
