// The layout diagram as drawing steps: the 1920 x 1080 frame and each output's 16:9 outline,
// drawn from the outputs' top-left and top-right corners, in logical units. A face renders
// the steps on its own surface through the isotropic mapping below, so every face puts the
// same pixels on screen.
#pragma once

#include "editor/parameters.h"

#include <array>
#include <vector>

namespace pelmora {

struct Rgb {
    unsigned char R, G, B;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Point {
    int X = 0;
    int Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// The top edge of one output's picture, in device pixel units (y grows downward).
struct OutputEdge {
    Point TopLeft;
    Point TopRight;
};
using DiagramCorners = std::array<OutputEdge, OutputCount>;

// The colours of TV1..TV4: their diagram outlines and their output groups' captions.
inline constexpr std::array<Rgb, OutputCount> OutputColours = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 255}}};
inline constexpr Rgb DiagramBackground{255, 255, 255};
inline constexpr Rgb DiagramFrameColour{255, 255, 0};

// The diagram window: a tool window without a caption holding a sunken frame and the picture.
struct DiagramWindowLayout {
    int Left, Top, Width, Height;
};
inline constexpr DiagramWindowLayout DiagramWindow{1292, 79, 496, 290};
inline constexpr DiagramWindowLayout DiagramBevel{3, 4, 489, 282};
inline constexpr DiagramWindowLayout DiagramPicture{7, 9, 480, 270};

// Logical point (-40, -18) is the picture's top-left pixel; one scale serves both axes.
inline constexpr Point DiagramOrigin{-40, -18};

// The isotropic logical-to-pixel mapping of a picture of width x height pixels.
class DiagramMapping {
  public:
    DiagramMapping(int width, int height);
    double Scale() const { return scale_; }
    Point ToPixel(Point logical) const;

  private:
    double scale_;
};

enum class DrawOp {
    Hatch,   // fill the points' bounding box with a diagonal-cross hatch in the colour
    Outline, // a closed one-pixel line through the points in the colour
};

struct DrawStep {
    DrawOp Op;
    Rgb Colour;
    std::array<Point, 4> Points; // logical units
};

// A complete picture: the background colour, then the steps in order.
struct DiagramDrawing {
    Rgb Background = DiagramBackground;
    std::vector<DrawStep> Steps;
};

// The hatched frame, then the outlines of TV1..TV4 in order (TV1 only in single-output
// mode); an output whose two corners coincide is left out.
DiagramDrawing LayoutDiagram(const DiagramCorners& corners, bool singleOutputMode);

// The corners of the output picture whose top edge is `edge`, in the order TL, TR, BR, BL.
std::array<Point, 4> OutputOutline(const OutputEdge& edge);

// Direction of the edge (x1, y1) -> (x2, y2) in degrees, between -180 and 180;
// EdgeAngleNone when the points coincide.
inline constexpr double EdgeAngleNone = -999;
double EdgeAngle(int x1, int y1, int x2, int y2);

} // namespace pelmora
