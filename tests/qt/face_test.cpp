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

#include <chrono>
#include <optional>
#include <stdexcept>

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

// Ctrl+V, Shift+Insert, a middle click and a drop all insert the digits of their text.
TEST_F(FaceTest, TypedKeysPastesAndDropsPassTheFilterAndCtrlBackspaceIsRefused) {
    QLineEdit& edit = EditWidget("TLX1Edit");
    QTest::mouseClick(&edit, Qt::LeftButton);
    QTest::keyClicks(&edit, "1a2-");
    EXPECT_EQ(form.Edits[0]->Text(), u"12");
    QTest::keyClick(&edit, Qt::Key_Backspace, Qt::ControlModifier);
    QApplication::clipboard()->setText("3x");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QApplication::clipboard()->setText("-4");
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(form.Edits[0]->Text(), u"1234");
    QMimeData dropped;
    dropped.setText("7 7");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(&edit, &enter); // the drop goes where the drag was taken
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(&edit, &drop);
    EXPECT_EQ(form.Edits[0]->Text(), u"1920") << "123477, clamped";
    EXPECT_EQ(edit.text(), "1920");
    QClipboard& clipboard = *QApplication::clipboard();
    if (clipboard.supportsSelection()) {
        edit.selectAll();
        clipboard.setText("5a", QClipboard::Selection);
        QTest::mouseClick(&edit, Qt::MiddleButton);
        EXPECT_EQ(edit.text(), "5");
    }
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(form.Edits[0]->Text().size(), edit.text().size());
    EXPECT_EQ(edit.text(), QString::fromStdU16String(form.Edits[0]->Text()));
}

// Right and Down raise a focused bar by one, Left and Up lower it, Home and End go to the
// ends; the focused bar is marked.
TEST_F(FaceTest, EveryBarsKeysStepAsOnWindowsAndAFocusedBarIsMarked) {
    for (ScrollBar* control : form.Bars) {
        SCOPED_TRACE(control->Name());
        if (!control->Enabled())
            continue;
        auto& bar = *window.Widget<QScrollBar>(control->Name());
        const QImage unfocused = bar.grab().toImage();
        bar.setFocus(Qt::TabFocusReason);
        EXPECT_NE(bar.grab().toImage(), unfocused);
        QTest::keyClick(&bar, Qt::Key_Home);
        EXPECT_EQ(control->Position(), control->Min());
        const std::vector<std::pair<Qt::Key, int>> steps = {
            {Qt::Key_Right, 1}, {Qt::Key_Down, 2},     {Qt::Key_Right, 3}, {Qt::Key_Left, 2},
            {Qt::Key_Up, 1},    {Qt::Key_PageDown, 2}, {Qt::Key_PageUp, 1}};
        for (const auto& [key, position] : steps) {
            QTest::keyClick(&bar, key);
            EXPECT_EQ(control->Position(), control->Min() + position) << key;
        }
        QTest::keyClick(&bar, Qt::Key_End);
        EXPECT_EQ(control->Position(), control->Max());
        EXPECT_EQ(bar.value(), control->Max());
    }
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

TEST_F(FaceTest, TheWatchdogNeverFiresEarlyAndAnExceptionInItsHandlerIsShown) {
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono_literals;
    // A coarse timer of this interval may fire up to 15 ms early, rounded to the clock's next
    // lower 100 ms: start where it would.
    constexpr auto Interval = 300ms;
    while ((Clock::now() + Interval).time_since_epoch() % 100ms < 30ms) {
    }
    std::optional<Clock::duration> firedAfter;
    const auto start = Clock::now();
    form.Timer1.Interval = int(Interval.count());
    form.Timer1.OnTimer = [&] {
        firedAfter = Clock::now() - start;
        throw std::runtime_error("lost");
    };
    form.Timer1.Start();
    while (!firedAfter && Clock::now() - start < 2s)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    form.Timer1.Stop();
    ASSERT_TRUE(firedAfter.has_value());
    EXPECT_GE(*firedAfter, Interval);
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_NE(Boxes.Errors[0].find(u"lost"), std::u16string::npos);
}

TEST_F(FaceTest, AnExceptionInAClickHandlerIsShownAndTheWindowGoesOn) {
    form.ReadBtn->OnClick = [] { throw std::runtime_error("refused"); };
    window.Widget<QPushButton>("ReadBtn")->click();
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_NE(Boxes.Errors[0].find(u"refused"), std::u16string::npos);
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
