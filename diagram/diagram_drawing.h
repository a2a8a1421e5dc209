// The layout diagram as a picture: the 1920 x 1080 frame and each output's 16:9 outline,
// drawn from the outputs' top-left and top-right corners in device pixel units.
#pragma once

#include "editor/parameters.h"

#include <QColor>
#include <QImage>
#include <QPoint>

#include <array>

namespace pelmora {

// The top edge of one output's picture, in device pixel units (y grows downward).
struct OutputEdge {
    QPoint TopLeft;
    QPoint TopRight;
};
using DiagramCorners = std::array<OutputEdge, OutputCount>;

// The colours of TV1..TV4: their diagram outlines and their output groups' captions.
inline const std::array<QColor, OutputCount> OutputColours = {
    QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 0, 255)};
inline const QColor DiagramBackground(255, 255, 255);
inline const QColor DiagramFrameColour(255, 255, 0);

// Logical point (-40, -18) is the picture's top-left pixel; one scale serves both axes.
inline constexpr QPoint DiagramOrigin(-40, -18);

// The isotropic logical-to-pixel mapping of a picture of `size` pixels.
class DiagramMapping {
  public:
    explicit DiagramMapping(QSize size);
    double Scale() const { return scale_; }
    QPoint ToPixel(QPoint logical) const;

  private:
    double scale_;
};

// Redraws `image` completely: white background, the hatched frame, then the outlines of
// TV1..TV4 in order (TV1 only in single-output mode); an output whose two corners
// coincide is left out.
void DrawLayoutDiagram(QImage& image, const DiagramCorners& corners, bool singleOutputMode);

// The corners of the output picture whose top edge is `edge`, in the order TL, TR, BR, BL.
std::array<QPoint, 4> OutputOutline(const OutputEdge& edge);

// Direction of the edge (x1, y1) -> (x2, y2) in degrees, between -180 and 180;
// EdgeAngleNone when the points coincide.
inline constexpr double EdgeAngleNone = -999;
double EdgeAngle(int x1, int y1, int x2, int y2);

} // namespace pelmora
