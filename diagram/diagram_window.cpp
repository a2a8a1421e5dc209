#include "diagram/diagram_window.h"

#include <QCloseEvent>
#include <QPainter>

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

TImage::TImage(QSize size, QWidget* parent) : QWidget(parent), canvas_(size, QImage::Format_RGB32) {
    canvas_.fill(Qt::white);
    resize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString());
    setFixedSize(496, 290);
    move(1292, 79);

    Bevel16 = new QFrame(this);
    Bevel16->setObjectName(QStringLiteral("Bevel16"));
    Bevel16->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel16->setGeometry(3, 4, 489, 282);

    TntImage1 = new TImage(QSize(480, 270), this);
    TntImage1->setObjectName(QStringLiteral("TntImage1"));
    TntImage1->move(7, 9);
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
