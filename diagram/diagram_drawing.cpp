#include "diagram/diagram_drawing.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelmora {

namespace {

// Logical points of the frame's outline: from (1, 0) to (1920, 1080).
constexpr std::array<QPoint, 4> FrameOutline = {QPoint(1, 0), QPoint(1920, 0), QPoint(1920, 1080),
                                                QPoint(1, 1080)};

// Coordinates are kept far outside any picture but inside int, so that every input converts.
constexpr double CoordinateLimit = 1.0e7;

int ToInt(double value) {
    return static_cast<int>(std::clamp(value, -CoordinateLimit, CoordinateLimit));
}

QPolygon ToPixels(const DiagramMapping& mapping, const std::array<QPoint, 4>& logical) {
    QPolygon polygon;
    for (const QPoint& point : logical)
        polygon << mapping.ToPixel(point);
    return polygon;
}

void DrawOutline(QPainter& painter, const QPolygon& pixels, const QColor& colour) {
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(pixels);
}

void DrawFrame(QPainter& painter, const DiagramMapping& mapping) {
    const QPolygon pixels = ToPixels(mapping, FrameOutline);
    painter.fillRect(pixels.boundingRect(), QBrush(DiagramFrameColour, Qt::DiagCrossPattern));
    DrawOutline(painter, pixels, DiagramFrameColour);
}

// The background and the frame depend only on the picture's size; their hatching is by far
// the slowest part of a drawing, so they are drawn once and copied for every drawing.
const QImage& BackgroundAndFrame(QSize size) {
    static QImage picture;
    if (picture.size() != size) {
        picture = QImage(size, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.fillRect(picture.rect(), DiagramBackground);
        DrawFrame(painter, DiagramMapping(size));
    }
    return picture;
}

bool CornersCoincide(const OutputEdge& edge) {
    return EdgeAngle(edge.TopLeft.x(), edge.TopLeft.y(), edge.TopRight.x(), edge.TopRight.y()) ==
           EdgeAngleNone;
}

} // namespace

// The logical width is 4.2 times the picture's width, the logical height 4 times its height;
// the smaller of the two scales serves both axes.
DiagramMapping::DiagramMapping(QSize size)
    : scale_(std::min(double(size.width()) / (size.width() * 42 / 10),
                      double(size.height()) / (size.height() * 4))) {}

QPoint DiagramMapping::ToPixel(QPoint logical) const {
    const double x = (double(logical.x()) - DiagramOrigin.x()) * scale_;
    const double y = (double(logical.y()) - DiagramOrigin.y()) * scale_;
    return QPoint(ToInt(std::round(x)), ToInt(std::round(y)));
}

// The bottom corners lie nine sixteenths of the top edge's length away from the top ones,
// a quarter turn clockwise on screen from the direction TL -> TR. Computed in single
// precision; the bottom corners are truncated toward zero.
std::array<QPoint, 4> OutputOutline(const OutputEdge& edge) {
    const QPoint tl = edge.TopLeft;
    const QPoint tr = edge.TopRight;
    const float dx = float(tr.x()) - float(tl.x());
    const float dn = float(tl.y()) - float(tr.y());
    const float length = std::sqrt(dx * dx + dn * dn);
    const float height = length * 9 * 0.0625f;
    const float ux = dn / length;
    const float uy = dx / length;
    const QPoint bl(ToInt(std::trunc(tl.x() + height * ux)),
                    ToInt(std::trunc(tl.y() + height * uy)));
    const QPoint br(ToInt(std::trunc(tr.x() + height * ux)),
                    ToInt(std::trunc(tr.y() + height * uy)));
    return {tl, tr, br, bl};
}

void DrawLayoutDiagram(QImage& image, const DiagramCorners& corners, bool singleOutputMode) {
    const DiagramMapping mapping(image.size());
    QPainter painter(&image);
    painter.drawImage(0, 0, BackgroundAndFrame(image.size()));
    const int outputs = singleOutputMode ? 1 : OutputCount;
    for (int n = 0; n < outputs; ++n) {
        if (CornersCoincide(corners[n]))
            continue;
        DrawOutline(painter, ToPixels(mapping, OutputOutline(corners[n])), OutputColours[n]);
    }
}

// Measured counter-clockwise on screen (y grows downward): an edge pointing down gives a
// negative angle, one pointing up a positive angle in whole degrees.
double EdgeAngle(int x1, int y1, int x2, int y2) {
    const auto dx = static_cast<long long>(x2) - x1;
    const auto dy = static_cast<long long>(y2) - y1;
    if (dx == 0 && dy == 0)
        return EdgeAngleNone;
    const double a = std::atan2(double(dy), double(dx)) * 180.0 / std::numbers::pi;
    return a >= 0 ? -a : -std::trunc(a);
}

} // namespace pelmora
