#include "diagram/diagram_window.h"

#include <QCloseEvent>
#include <QPainter>

namespace pelmora {

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

void TForm2::closeEvent(QCloseEvent* event) {
    if (OnClose)
        OnClose();
    event->accept();
}

} // namespace pelmora
