#include "ui/qt/diagram_window.h"

#include "app/form.h"
#include "app/layout.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>

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

QRect MarkRect(QPoint centre, int radius) {
    return QRect(centre.x() - radius, centre.y() - radius, 2 * radius + 1, 2 * radius + 1);
}

void RenderStep(QPainter& painter, const DiagramMapping& mapping, const DrawStep& step) {
    const QPolygon pixels = ToPixels(mapping, step.Points);
    const QColor colour = ToQColor(step.Colour);
    switch (step.Op) {
    case DrawOp::Hatch:
        painter.fillRect(pixels.boundingRect(), QBrush(colour, Qt::DiagCrossPattern));
        return;
    case DrawOp::Outline:
        painter.setPen(QPen(colour, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(pixels);
        return;
    case DrawOp::Handle:
    case DrawOp::HotHandle:
        painter.fillRect(MarkRect(pixels.front(), MarkRadius(step.Op)), colour);
        return;
    case DrawOp::SelectionMark: {
        const QRect mark = MarkRect(pixels.front(), MarkRadius(step.Op));
        painter.setPen(QPen(colour, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
        return;
    }
    }
}

Point PixelOf(const QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    return {at.x(), at.y()};
}

std::optional<TForm1::DiagramKey> DiagramKeyOf(int key) {
    switch (key) {
    case Qt::Key_Left:
        return TForm1::DiagramKey::Left;
    case Qt::Key_Right:
        return TForm1::DiagramKey::Right;
    case Qt::Key_Up:
        return TForm1::DiagramKey::Up;
    case Qt::Key_Down:
        return TForm1::DiagramKey::Down;
    case Qt::Key_Tab:
        return TForm1::DiagramKey::NextHandle;
    case Qt::Key_Backtab:
        return TForm1::DiagramKey::PreviousHandle;
    default:
        return std::nullopt;
    }
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
    const DiagramMapping mapping = DiagramMapping::Scaled(image.width(), image.height());
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

void TImage::Resize(QSize size) {
    canvas_ = QImage(size, QImage::Format_RGB32);
    canvas_.fill(Qt::white);
    resize(size);
}

void TImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void TImage::Forward(const std::function<void()>& action) {
    if (Editor != nullptr)
        Editor->RunGuarded(action);
}

// An open hand over a handle, a closed one while dragging.
void TImage::ShowPointer() {
    if (Editor == nullptr)
        return;
    if (Editor->DiagramDragging())
        setCursor(Qt::ClosedHandCursor);
    else if (Editor->HotHandle)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

// Tab and Shift+Tab move between the handles rather than out of the picture.
bool TImage::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QWidget::event(event);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    Forward([&] { Editor->DiagramPointerPress(PixelOf(*event)); });
    ShowPointer();
}

// The move is applied once the moves queued behind it have passed: a drag that a live
// frame's pause holds up goes straight to the latest position.
void TImage::mouseMoveEvent(QMouseEvent* event) {
    bool apply = false;
    Forward([&] { apply = Editor->DiagramPointerMove(PixelOf(*event)); });
    if (apply)
        QMetaObject::invokeMethod(
            this, [this] { Forward([this] { Editor->DiagramApplyMove(); }); },
            Qt::QueuedConnection);
    ShowPointer();
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Forward([&] { Editor->DiagramPointerRelease(PixelOf(*event)); });
    ShowPointer();
}

void TImage::keyPressEvent(QKeyEvent* event) {
    const std::optional<TForm1::DiagramKey> key = DiagramKeyOf(event->key());
    bool taken = false;
    if (key)
        Forward(
            [&] { taken = Editor->DiagramKeyPress(*key, event->modifiers() & Qt::ShiftModifier); });
    if (!taken)
        QWidget::keyPressEvent(event);
}

void AddUndoShortcuts(QWidget& window, TForm1& form) {
    const auto add = [&](const QKeySequence& keys, void (TForm1::*action)()) {
        auto* shortcut = new QShortcut(keys, &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window, [&form, action] {
            form.RunGuarded([&form, action] { (form.*action)(); });
        });
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm1::Undo);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), &TForm1::Redo);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &TForm1::Redo);
}

TForm2::TForm2() : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString());
    setMinimumSize(DiagramWindow.Width, DiagramWindow.Height);
    resize(DiagramWindow.Width, DiagramWindow.Height);
    move(DiagramWindow.Left, DiagramWindow.Top);
    bevel_ = new QFrame(this);
    bevel_->setObjectName(QStringLiteral("Bevel16"));
    static_cast<QFrame*>(bevel_)->setFrameStyle(QFrame::Box | QFrame::Sunken);
    TntImage1 = new TImage(QSize(DiagramPicture.Width, DiagramPicture.Height), this);
    TntImage1->setObjectName(QStringLiteral("TntImage1"));
    TntImage1->setAccessibleName(QStringLiteral("Diagram"));
    TntImage1->setFocusPolicy(Qt::StrongFocus);
    TntImage1->setMouseTracking(true);
    FitPicture();
}

void TForm2::AttachEditor(TForm1& form) {
    TntImage1->Editor = &form;
    AddUndoShortcuts(*this, form);
    form.RunGuarded([&] { form.DiagramResized(TntImage1->width(), TntImage1->height()); });
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
    const QString status = QString::fromStdU16String(drawing.Status);
    TntImage1->setToolTip(status);
    TntImage1->setAccessibleDescription(status);
    TntImage1->repaint();
    ++Repaints;
}

// The frame and the picture grow with the window; the picture keeps the layout's aspect and
// sits where the layout puts it. At the layout's size everything lies as the layout says.
void TForm2::FitPicture() {
    const int spareWidth = DiagramWindow.Width - DiagramPicture.Width;
    const int spareHeight = DiagramWindow.Height - DiagramPicture.Height;
    const double fit = std::min(double(width() - spareWidth) / DiagramPicture.Width,
                                double(height() - spareHeight) / DiagramPicture.Height);
    const QSize picture(int(DiagramPicture.Width * fit), int(DiagramPicture.Height * fit));
    bevel_->setGeometry(DiagramBevel.Left, DiagramBevel.Top,
                        DiagramBevel.Width + picture.width() - DiagramPicture.Width,
                        DiagramBevel.Height + picture.height() - DiagramPicture.Height);
    TntImage1->move(DiagramPicture.Left, DiagramPicture.Top);
    if (picture != TntImage1->size())
        TntImage1->Resize(picture);
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize before = TntImage1->size();
    FitPicture();
    if (TntImage1->size() != before && TntImage1->Editor != nullptr)
        TntImage1->Editor->RunGuarded(
            [this] { TntImage1->Editor->DiagramResized(TntImage1->width(), TntImage1->height()); });
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
