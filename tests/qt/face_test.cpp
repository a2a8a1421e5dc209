// The Qt face forwards each user action on a real widget to its control as the action it is,
// and shows every change of a control on its widget.
#include "qt_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace pelmora::testing {
namespace {

class FaceTest : public QtFormFixture {
  protected:
    FaceTest() {
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QScrollBar& BarWidget(const char* name) { return *window.Widget<QScrollBar>(name); }
    QLineEdit& EditWidget(const char* name) { return *window.Widget<QLineEdit>(name); }
};

TEST_F(FaceTest, ArrowsTroughClicksAndDragsReachTheBarsControl) {
    QScrollBar& bar = BarWidget("WRHBar");
    const int start = form.Bars[WRHIndex]->Position();
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form.Bars[WRHIndex]->Position(), start + 1);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 22, bar.height() / 2));
    EXPECT_EQ(form.Bars[WRHIndex]->Position(), start + 2) << "a trough click moves by one";
    QTest::keyClick(&bar, Qt::Key_PageDown);
    EXPECT_EQ(form.Bars[WRHIndex]->Position(), start + 3);
    bar.setSliderDown(true);
    bar.setSliderPosition(150);
    bar.setSliderDown(false);
    EXPECT_EQ(form.Bars[WRHIndex]->Position(), 150);
    EXPECT_EQ(TextOf(form.Values[WRHIndex]), "150");
}

TEST_F(FaceTest, ABarShowsItsControlsPositionWhenTheMoveIsRefused) {
    form.Bars[CornerIndex(1, ParamKind::TopLeft, Axis::X)]->SetPosition(100);
    form.ShiftModes[0]->UserClick(); // top-right X stands at 1920: no room to shift right
    QScrollBar& bar = BarWidget("TLX1Bar");
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form.Bars[0]->Position(), 100);
    EXPECT_EQ(bar.value(), 100);
}

TEST_F(FaceTest, AControlsChangeReachesItsWidget) {
    form.Bars[0]->SetPosition(640);
    EXPECT_EQ(BarWidget("TLX1Bar").value(), 640);
    EXPECT_EQ(EditWidget("TLX1Edit").text(), "640");
    form.Bars[0]->SetEnabled(false);
    EXPECT_FALSE(BarWidget("TLX1Bar").isEnabled());
    form.CNTBTN->SetCaption(u"Close");
    EXPECT_EQ(window.Widget<QPushButton>("CNTBTN")->text(), "Close");
}

// A transfer's step waits for nothing on the screen: the bar is painted when the pause after
// the step lets the window's updates through.
TEST_F(FaceTest, TheProgressBarPaintsAStepInThePauseNotAtOnce) {
    form.StatusPanel->Show();
    QCoreApplication::processEvents();
    auto& bar = *window.Widget<QProgressBar>("ProgressBar1");
    PaintCounter counter;
    bar.installEventFilter(&counter);
    form.ProgressBar1->SetPosition(50);
    EXPECT_EQ(bar.value(), 50);
    EXPECT_EQ(counter.Paints, 0);
    QtPause().Sleep(0);
    EXPECT_GT(counter.Paints, 0);
}

TEST_F(FaceTest, TypedKeysPassTheFilterAndPastesDropsAndCtrlBackspaceAreRefused) {
    QLineEdit& edit = EditWidget("LTEdit");
    QTest::mouseClick(&edit, Qt::LeftButton);
    QTest::keyClicks(&edit, "1a2-");
    EXPECT_EQ(form.Edits[LTIndex]->Text(), u"12");
    QTest::keyClick(&edit, Qt::Key_Backspace, Qt::ControlModifier);
    QApplication::clipboard()->setText("99");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(&edit, Qt::MiddleButton);
    QMimeData dropped;
    dropped.setText("77");
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(&edit, &drop);
    EXPECT_EQ(form.Edits[LTIndex]->Text(), u"12");
    EXPECT_EQ(edit.text(), "12");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "1");
}

TEST_F(FaceTest, ClickAndFocusFromAnotherControlSelectAllButReactivationDoesNot) {
    QLineEdit& edit = EditWidget("LTEdit");
    QTest::mouseClick(&edit, Qt::LeftButton);
    EXPECT_EQ(edit.selectedText(), "0");
    QTest::keyClicks(&edit, "12");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&edit, &out);
    QApplication::sendEvent(&edit, &in);
    QTest::keyClicks(&edit, "3");
    EXPECT_EQ(form.Edits[LTIndex]->Text(), u"123");
    EditWidget("WPHEdit").setFocus(Qt::TabFocusReason);
    EXPECT_EQ(EditWidget("WPHEdit").selectedText(), "50");
}

TEST(ProgramIcon, IsEveryWindowsIconAtEverySize) {
    const QIcon icon = QWidget().windowIcon();
    for (int size : {16, 32, 48, 64, 128, 256})
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
}

TEST(QtMessageBoxesTest, ShowTextAsPlainTextUnderTheApplicationTitle) {
    const std::unique_ptr<QMessageBox> box =
        CreateMessageBox(QMessageBox::Critical, u"Cannot create file <u>under.PMX.");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), "Cannot create file <u>under.PMX.");
    EXPECT_EQ(box->windowTitle(), "Pelmora Align Tool  ");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

} // namespace
} // namespace pelmora::testing
