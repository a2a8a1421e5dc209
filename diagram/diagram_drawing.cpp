#include "diagram/diagram_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelmora {

namespace {

// Logical points of the frame's outline: from (1, 0) to (1920, 1080).
constexpr std::array<Point, 4> FrameOutline = {
    {{1, 0}, {DefaultMaxX, 0}, {DefaultMaxX, DefaultMaxY}, {1, DefaultMaxY}}};

// Coordinates are kept far outside any picture but inside int, so that every input converts.
constexpr double CoordinateLimit = 1.0e7;

int ToInt(double value) {
    return static_cast<int>(std::clamp(value, -CoordinateLimit, CoordinateLimit));
}

bool CornersCoincide(const OutputEdge& edge) {
    return EdgeAngle(edge.TopLeft.X, edge.TopLeft.Y, edge.TopRight.X, edge.TopRight.Y) ==
           EdgeAngleNone;
}

} // namespace

// The logical width is 4.2 times the picture's width, the logical height 4 times its height;
// the smaller of the two scales serves both axes.
DiagramMapping::DiagramMapping(int width, int height)
    : scale_(std::min(double(width) / (width * 42 / 10), double(height) / (height * 4))) {}

DiagramMapping DiagramMapping::Scaled(int width, int height) {
    const double fit =
        std::min(double(width) / DiagramPicture.Width, double(height) / DiagramPicture.Height);
    return DiagramMapping(DiagramMapping(DiagramPicture.Width, DiagramPicture.Height).Scale() *
                          fit);
}

LogicalPoint DiagramMapping::ToLogical(Point pixel) const {
    return {pixel.X / scale_ + DiagramOrigin.X, pixel.Y / scale_ + DiagramOrigin.Y};
}

Point DiagramMapping::ToPixel(Point logical) const {
    const double x = (double(logical.X) - DiagramOrigin.X) * scale_;
    const double y = (double(logical.Y) - DiagramOrigin.Y) * scale_;
    return {ToInt(std::round(x)), ToInt(std::round(y))};
}

// The bottom corners lie nine sixteenths of the top edge's length away from the top ones,
// a quarter turn clockwise on screen from the direction TL -> TR. Computed in single
// precision; the bottom corners are truncated toward zero.
std::array<Point, 4> OutputOutline(const OutputEdge& edge) {
    const Point tl = edge.TopLeft;
    const Point tr = edge.TopRight;
    const float dx = float(tr.X) - float(tl.X);
    const float dn = float(tl.Y) - float(tr.Y);
    const float length = std::sqrt(dx * dx + dn * dn);
    const float height = length * 9 * 0.0625f;
    const float ux = dn / length;
    const float uy = dx / length;
    const Point bl{ToInt(std::trunc(tl.X + height * ux)), ToInt(std::trunc(tl.Y + height * uy))};
    const Point br{ToInt(std::trunc(tr.X + height * ux)), ToInt(std::trunc(tr.Y + height * uy))};
    return {tl, tr, br, bl};
}

DiagramDrawing LayoutDiagram(const DiagramCorners& corners, bool singleOutputMode) {
    DiagramDrawing drawing;
    drawing.Steps.push_back({DrawOp::Hatch, DiagramFrameColour, FrameOutline});
    drawing.Steps.push_back({DrawOp::Outline, DiagramFrameColour, FrameOutline});
    const int outputs = singleOutputMode ? 1 : OutputCount;
    for (int n = 0; n < outputs; ++n)
        if (!CornersCoincide(corners[n]))
            drawing.Steps.push_back({DrawOp::Outline, OutputColours[n], OutputOutline(corners[n])});
    return drawing;
}

std::vector<DiagramHandle> DiagramHandles(bool singleOutputMode) {
    std::vector<DiagramHandle> handles;
    for (int output = 1; output <= (singleOutputMode ? 1 : OutputCount); ++output)
        for (ParamKind corner : {ParamKind::TopLeft, ParamKind::TopRight})
            handles.push_back({output, corner});
    return handles;
}

Point HandlePoint(const DiagramCorners& corners, DiagramHandle handle) {
    const OutputEdge& edge = corners[handle.Output - 1];
    return handle.Corner == ParamKind::TopLeft ? edge.TopLeft : edge.TopRight;
}

std::optional<DiagramHandle> HitHandle(const DiagramCorners& corners, bool singleOutputMode,
                                       const DiagramMapping& mapping, Point pixel) {
    std::optional<DiagramHandle> hit;
    int nearest = HotHandleRadius;
    for (const DiagramHandle& handle : DiagramHandles(singleOutputMode)) {
        const Point mark = mapping.ToPixel(HandlePoint(corners, handle));
        const int distance = std::max(std::abs(mark.X - pixel.X), std::abs(mark.Y - pixel.Y));
        if (distance <= nearest) {
            nearest = distance;
            hit = handle;
        }
    }
    return hit;
}

void AddHandleMarks(DiagramDrawing& drawing, const DiagramCorners& corners, bool singleOutputMode,
                    std::optional<DiagramHandle> hot, std::optional<DiagramHandle> selected) {
    for (const DiagramHandle& handle : DiagramHandles(singleOutputMode)) {
        const Point at = HandlePoint(corners, handle);
        const DrawOp op = handle == hot ? DrawOp::HotHandle : DrawOp::Handle;
        drawing.Steps.push_back({op, OutputColours[handle.Output - 1], {at, at, at, at}});
    }
    if (selected) {
        const Point at = HandlePoint(corners, *selected);
        drawing.Steps.push_back({DrawOp::SelectionMark, SelectionMarkColour, {at, at, at, at}});
    }
}

int MarkRadius(DrawOp op) {
    switch (op) {
    case DrawOp::HotHandle:
        return HotHandleRadius;
    case DrawOp::SelectionMark:
        return SelectionMarkRadius;
    default:
        return HandleRadius;
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
