// The application shell: the version suffix, the message boxes, the program icon, exceptions
// that reach the event loop, and the diagram window's frame.
#include "form_fixture.h"

#include "app/application.h"
#include "app/handler_guard.h"
#include "app/version_info.h"
#include "diagram/diagram_window.h"

#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace pelmora::testing {
namespace {

std::string Bytes(const VersionRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

TEST(VersionSuffix, IsFormedFromTheFileVersionWithOnePoint) {
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(1, 0, 2, 6))), "  V1.026");
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(2, 10, 3, 15))), "  V2.10315");
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(65535, 0, 0, 65535))), "  V65535.0065535");
}

TEST(VersionSuffix, IsEmptyWithoutARecordAndBareWithoutAFixedPart) {
    EXPECT_EQ(BuildVersionSuffix(std::nullopt), "");
    EXPECT_EQ(BuildVersionSuffix(std::string()), "  V");

    VersionRecord noFixed = MakeVersionRecord(1, 0, 2, 6);
    noFixed.FixedSize = 0;
    EXPECT_EQ(BuildVersionSuffix(Bytes(noFixed)), "  V");

    VersionRecord badSignature = MakeVersionRecord(1, 0, 2, 6);
    badSignature.Fixed.Signature ^= 1;
    EXPECT_EQ(BuildVersionSuffix(Bytes(badSignature)), "  V");

    VersionRecord badKey = MakeVersionRecord(1, 0, 2, 6);
    badKey.Key[0] = 'X';
    EXPECT_EQ(BuildVersionSuffix(Bytes(badKey)), "  V");

    const std::string whole = Bytes(MakeVersionRecord(1, 0, 2, 6));
    EXPECT_EQ(BuildVersionSuffix(whole.substr(0, whole.size() - 1)), "  V") << "cut short";
}

TEST(VersionSuffix, TheBuildEmbedsTheProjectVersion) {
    const std::optional<std::string_view> record = EmbeddedVersionRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(BuildVersionSuffix(record), PELMORA_TEST_VERSION_SUFFIX);
}

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorBoxText("Cannot open file"), "Cannot open file.");
    EXPECT_EQ(ErrorBoxText("Error: 5"), "Error: 5.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("(Error: 2)"), "(Error: 2)");
    EXPECT_EQ(ErrorBoxText("a-"), "a-");
    EXPECT_EQ(ErrorBoxText("path/"), "path/.");
    EXPECT_EQ(ErrorBoxText(QString::fromUtf16(u"Fehler \u00fc")),
              QString::fromUtf16(u"Fehler \u00fc."));
    EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBox, CarriesTheApplicationTitleAnErrorIconAndOk) {
    const std::unique_ptr<QMessageBox> box = CreateErrorBox("Port not open");
    EXPECT_EQ(box->windowTitle(), "Pelmora Align Tool  ");
    EXPECT_EQ(box->text(), "Port not open.");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

TEST(ErrorBox, BothBoxesShowTheirTextLiterally) {
    EXPECT_EQ(CreateErrorBox("Cannot create file <u>under.PMX")->textFormat(), Qt::PlainText);
    EXPECT_EQ(CreateMessageBox("<b>Communication Error !!</b>")->textFormat(), Qt::PlainText);
}

TEST(ProgramIcon, IsEveryWindowsIconAtEverySize) {
    const QIcon icon = QWidget().windowIcon();
    for (int size : {16, 32, 48, 64, 128, 256})
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
}

// An object whose event handling throws what it is told to.
class ThrowingObject : public QObject {
  public:
    std::function<void()> Throw;
    int Delivered = 0;

  protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++Delivered;
        if (Throw)
            Throw();
        return true;
    }
};

class EventLoopErrors : public ::testing::Test {
  protected:
    EventLoopErrors() { InstallMessageBoxes(&boxes); }
    ~EventLoopErrors() override { InstallMessageBoxes(nullptr); }
    RecordingMessageBoxes boxes;
};

TEST_F(EventLoopErrors, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    ASSERT_NE(dynamic_cast<TApplication*>(QCoreApplication::instance()), nullptr);
    ThrowingObject target;
    target.Throw = [] { throw std::runtime_error("Write error"); };
    QEvent first(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &first));
    ASSERT_EQ(boxes.Errors.size(), 1u);
    EXPECT_EQ(boxes.Errors[0], "Write error");

    target.Throw = nullptr;
    QEvent second(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&target, &second));
    EXPECT_EQ(target.Delivered, 2);
    EXPECT_EQ(boxes.Errors.size(), 1u);
}

TEST_F(EventLoopErrors, AnExceptionOfAnotherKindIsShownWithAnEmptyText) {
    ThrowingObject target;
    target.Throw = [] { throw 42; };
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target);
    ASSERT_EQ(boxes.Errors.size(), 1u);
    EXPECT_TRUE(boxes.Errors[0].isEmpty());
}

// Handlers are wired through the guard, as the main window wires them, so that nothing unwinds
// through the toolkit's own frames.
TEST_F(EventLoopErrors, AButtonHandlerThatThrowsStopsThereAndTheButtonStillWorks) {
    QPushButton button("Connect");
    button.resize(80, 24);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        HandlerGuard::RunSlot([&] {
            if (++clicks == 1)
                throw std::runtime_error("Unable to open com port");
        });
    });
    const auto click = [&] {
        const QPointF centre(40, 12);
        QMouseEvent press(QEvent::MouseButtonPress, centre, button.mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, button.mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &press);
        QApplication::sendEvent(&button, &release);
    };
    click();
    ASSERT_EQ(boxes.Errors.size(), 1u);
    EXPECT_EQ(ErrorBoxText(boxes.Errors[0]), "Unable to open com port.");
    click();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.Errors.size(), 1u);
}

TEST(DiagramWindow, IsACaptionlessToolWindowWithAPictureAndNoCloseBox) {
    TForm2 form2;
    EXPECT_FALSE(form2.isVisible());
    EXPECT_TRUE(form2.windowFlags() & Qt::Tool);
    EXPECT_FALSE(form2.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form2.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(form2.windowTitle().isEmpty());
    EXPECT_EQ(form2.size(), QSize(496, 290));
    EXPECT_EQ(form2.pos(), QPoint(1292, 79));
    EXPECT_EQ(form2.Bevel16->geometry(), QRect(3, 4, 489, 282));
    EXPECT_EQ(form2.Bevel16->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(form2.TntImage1->geometry(), QRect(7, 9, 480, 270));
    EXPECT_EQ(form2.Canvas().size(), QSize(480, 270));
}

TEST(DiagramWindow, ShowsItsCanvasAsDrawn) {
    TForm2 form2;
    form2.Canvas().fill(QColor(255, 0, 255));
    form2.show();
    form2.Repaint();
    const QImage shown = form2.TntImage1->grab().toImage();
    EXPECT_EQ(shown.pixelColor(240, 135), QColor(255, 0, 255));
    form2.hide();
}

TEST(DiagramWindow, ClosingItUnticksDiagramAndOnlyHidesIt) {
    TempFolder folder;
    FormFixture fixture;
    TForm1& form = fixture.Start(folder.Path());
    TForm2 form2;
    form.AttachDiagram(&form2);
    EXPECT_EQ(form.Form2, &form2);
    form.ImgOn->setChecked(true);
    form2.show();
    EXPECT_TRUE(form2.close());
    EXPECT_FALSE(form.ImgOn->isChecked());
    EXPECT_FALSE(form2.isVisible());
    EXPECT_EQ(form2.Canvas().size(), QSize(480, 270)) << "still there";
}

} // namespace
} // namespace pelmora::testing
