#include "ui/qt/qt_services.h"

#include "app/caption.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QMessageBox>
#include <QPainter>
#include <QPolygon>

#include <chrono>
#include <thread>

namespace pelmora {

namespace {

const QString PmxFilter = QStringLiteral("Pelmora Align Tool File (*.PMX)");

QColor ToQColor(Rgb colour) {
    return QColor(colour.R, colour.G, colour.B);
}

QPolygon ToPixels(const DiagramMapping& mapping, const std::array<Point, 4>& logical) {
    QPolygon polygon;
    for (const Point& point : logical) {
        const Point pixel = mapping.ToPixel(point);
        polygon << QPoint(pixel.X, pixel.Y);
    }
    return polygon;
}

void RenderStep(QPainter& painter, const DiagramMapping& mapping, const DrawStep& step) {
    const QPolygon pixels = ToPixels(mapping, step.Points);
    if (step.Op == DrawOp::Hatch) {
        painter.fillRect(pixels.boundingRect(),
                         QBrush(ToQColor(step.Colour), Qt::DiagCrossPattern));
        return;
    }
    painter.setPen(QPen(ToQColor(step.Colour), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(pixels);
}

// The background and the frame come first in every drawing and change only with the
// picture's size; their hatching is by far the slowest part, so it is kept and copied.
struct FramePicture {
    QImage image;
    std::vector<DrawStep> steps;
};

bool SameSteps(const std::vector<DrawStep>& a, const DrawStep* begin, const DrawStep* end) {
    return std::equal(a.begin(), a.end(), begin, end, [](const DrawStep& x, const DrawStep& y) {
        return x.Op == y.Op && x.Colour == y.Colour && x.Points == y.Points;
    });
}

} // namespace

void QtPause::Sleep(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    std::this_thread::sleep_until(end);
}

std::unique_ptr<QMessageBox> CreateMessageBox(QMessageBox::Icon icon, const std::u16string& text) {
    auto box = std::make_unique<QMessageBox>(icon, QString::fromStdU16String(ApplicationTitle),
                                             QString::fromStdU16String(text), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtMessageBoxes::ShowError(const std::u16string& text) {
    CreateMessageBox(QMessageBox::Critical, text)->exec();
}

void QtMessageBoxes::ShowMessage(const std::u16string& text) {
    CreateMessageBox(QMessageBox::NoIcon, text)->exec();
}

QString WithDefaultSuffix(const QString& file, const QString& suffix) {
    if (suffix.isEmpty() || QFileInfo(file).fileName().contains(QLatin1Char('.')))
        return file;
    return file + QLatin1Char('.') + suffix;
}

std::optional<QString> QtFileDialogs::RunModal(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

QFileDialog& QtFileDialogs::OpenDlg() {
    if (open_ == nullptr) {
        open_ = new QFileDialog(parent_, QString(), QString(), PmxFilter);
        open_->setObjectName(QStringLiteral("OpenDlg"));
        open_->setAcceptMode(QFileDialog::AcceptOpen);
        open_->setFileMode(QFileDialog::ExistingFile);
        open_->selectFile(QStringLiteral("PMX"));
    }
    return *open_;
}

QFileDialog& QtFileDialogs::SaveDlg() {
    if (save_ == nullptr) {
        save_ = new QFileDialog(parent_, QString(), QString(), PmxFilter);
        save_->setObjectName(QStringLiteral("SaveDlg"));
        save_->setAcceptMode(QFileDialog::AcceptSave);
        save_->setDefaultSuffix(QStringLiteral("PMX"));
        save_->setOption(QFileDialog::DontConfirmOverwrite); // replacing a file asks nothing
    }
    return *save_;
}

std::optional<std::filesystem::path> QtFileDialogs::Choose(QFileDialog& dialog) {
    const std::optional<QString> chosen = Run(dialog);
    if (!chosen)
        return std::nullopt;
    const QString file = WithDefaultSuffix(*chosen, dialog.defaultSuffix());
    dialog.selectFile(file);
    return std::filesystem::path(file.toStdU16String());
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseOpen() {
    return Choose(OpenDlg());
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseSave() {
    return Choose(SaveDlg());
}

void RenderDiagram(QImage& image, const DiagramDrawing& drawing) {
    static FramePicture frame;
    const DiagramMapping mapping(image.width(), image.height());
    const auto* first = drawing.Steps.data();
    const auto* framed =
        std::find_if(first, first + drawing.Steps.size(),
                     [](const DrawStep& step) { return !(step.Colour == DiagramFrameColour); });
    if (frame.image.size() != image.size() || !SameSteps(frame.steps, first, framed)) {
        frame.image = QImage(image.size(), QImage::Format_RGB32);
        frame.image.fill(ToQColor(drawing.Background));
        QPainter painter(&frame.image);
        for (const DrawStep* step = first; step != framed; ++step)
            RenderStep(painter, mapping, *step);
        frame.steps.assign(first, framed);
    }
    QPainter painter(&image);
    painter.drawImage(0, 0, frame.image);
    for (const DrawStep* step = framed; step != first + drawing.Steps.size(); ++step)
        RenderStep(painter, mapping, *step);
}

TImage::TImage(QSize size, QWidget* parent) : QWidget(parent), canvas_(size, QImage::Format_RGB32) {
    canvas_.fill(Qt::white);
    resize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

TForm2::TForm2() : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(DiagramWindow.Width, DiagramWindow.Height);
    move(DiagramWindow.Left, DiagramWindow.Top);
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel16"));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(DiagramBevel.Left, DiagramBevel.Top, DiagramBevel.Width,
                       DiagramBevel.Height);
    TntImage1 = new TImage(QSize(DiagramPicture.Width, DiagramPicture.Height), this);
    TntImage1->setObjectName(QStringLiteral("TntImage1"));
    TntImage1->move(DiagramPicture.Left, DiagramPicture.Top);
}

void TForm2::Draw(const DiagramDrawing& drawing) {
    RenderDiagram(TntImage1->Canvas(), drawing);
    TntImage1->repaint();
    ++Repaints;
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (OnClose)
        OnClose();
    event->accept();
}

} // namespace pelmora
