#include "ui/qt/diagram_window.h"

#include "app/layout.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPainter>
#include <QPolygon>
#include <QScreen>

#include <algorithm>

#ifdef PELMORA_WITH_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace pelmora {

namespace {

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

#ifdef PELMORA_WITH_XCB
xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// On X11 the toolkit names a window without a title after the program; the window manager
// is given an empty name instead, so that the caption bar shows no text.
void ShowNoTitleText(QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) // another platform, or an offscreen one that answers as X11
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                        InternAtom(connection, "_NET_WM_NAME"),
                        InternAtom(connection, "UTF8_STRING"), 8, 0, nullptr);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, nullptr);
    xcb_flush(connection);
}
#else
void ShowNoTitleText(QWidget&) {}
#endif

} // namespace

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
    setWindowTitle(QString());
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

// At its tabled point when that keeps it inside the available area of the main window's
// screen, else moved inside; placed once, before it is first shown.
void TForm2::SetShown(bool shown) {
    const QScreen* screen = MainWindow != nullptr ? MainWindow->screen() : this->screen();
    if (shown && !placed_ && screen != nullptr) {
        placed_ = true;
        const QRect area = screen->availableGeometry();
        const QSize frame = frameGeometry().size();
        const Rect at =
            PlacedInside({DiagramWindow.Left, DiagramWindow.Top, frame.width(), frame.height()},
                         {area.x(), area.y(), area.width(), area.height()});
        move(at.Left, at.Top);
    }
    setVisible(shown);
}

void TForm2::Draw(const DiagramDrawing& drawing) {
    RenderDiagram(TntImage1->Canvas(), drawing);
    TntImage1->repaint();
    ++Repaints;
}

// Runs before the window is mapped, once its native window exists.
void TForm2::showEvent(QShowEvent* event) {
    ShowNoTitleText(*this);
    QWidget::showEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (OnClose)
        OnClose();
    event->accept();
}

} // namespace pelmora
