// The layout diagram as drawing steps: the 1920 x 1080 frame and each output's 16:9 outline,
// drawn from the outputs' top-left and top-right corners, in logical units. A face renders
// the steps on its own surface through the isotropic mapping below, so every face puts the
// same pixels on screen.
#pragma once

#include "editor/parameters.h"

#include <array>
#include <optional>
#include <string>
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

// A logical position between whole units, as a pixel maps back.
struct LogicalPoint {
    double X = 0;
    double Y = 0;
};

// The isotropic logical-to-pixel mapping of a picture of width x height pixels.
class DiagramMapping {
  public:
    DiagramMapping(int width, int height);
    // The picture shown at another size than the layout's: the drawing at the layout's size
    // scaled by the largest factor that fits, so that it keeps its aspect.
    static DiagramMapping Scaled(int width, int height);
    double Scale() const { return scale_; }
    Point ToPixel(Point logical) const;
    LogicalPoint ToLogical(Point pixel) const;

  private:
    explicit DiagramMapping(double scale) : scale_(scale) {}
    double scale_;
};

// A corner the user can grab and move: the top-left or top-right corner of an output.
struct DiagramHandle {
    int Output = 1; // 1..4
    ParamKind Corner = ParamKind::TopLeft;
    friend bool operator==(const DiagramHandle&, const DiagramHandle&) = default;
};

// Half the side of a handle's square mark, in pixels; a hot handle's is larger.
inline constexpr int HandleRadius = 3;
inline constexpr int HotHandleRadius = 5;
inline constexpr int SelectionMarkRadius = 7;
inline constexpr Rgb SelectionMarkColour{0, 0, 0};

// The handles in Tab order: TL and TR of TV1..TV4 (of TV1 only in single-output mode). An
// output whose corners coincide keeps its handles, so that it can be pulled apart again.
std::vector<DiagramHandle> DiagramHandles(bool singleOutputMode);
Point HandlePoint(const DiagramCorners& corners, DiagramHandle handle);

// The handle whose grab area (its hot mark) holds the pixel, the nearest one if several do;
// of handles at the same place the one drawn last, which lies on top.
std::optional<DiagramHandle> HitHandle(const DiagramCorners& corners, bool singleOutputMode,
                                       const DiagramMapping& mapping, Point pixel);

enum class DrawOp {
    Hatch,   // fill the points' bounding box with a diagonal-cross hatch in the colour
    Outline, // a closed one-pixel line through the points in the colour
    // A handle's mark around Points[0]: a filled square of HandleRadius, of HotHandleRadius
    // while the pointer is over it or drags it; the selected handle's square outline.
    Handle,
    HotHandle,
    SelectionMark,
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
    std::u16string Status; // the selected handle's name and position, for a tooltip
};

// The hatched frame, then the outlines of TV1..TV4 in order (TV1 only in single-output
// mode); an output whose two corners coincide is left out.
DiagramDrawing LayoutDiagram(const DiagramCorners& corners, bool singleOutputMode);

// The handles' marks, drawn over the outlines in the outputs' colours.
void AddHandleMarks(DiagramDrawing& drawing, const DiagramCorners& corners, bool singleOutputMode,
                    std::optional<DiagramHandle> hot, std::optional<DiagramHandle> selected);

// Half the side, in pixels, of the square a handle step draws.
int MarkRadius(DrawOp op);

// The corners of the output picture whose top edge is `edge`, in the order TL, TR, BR, BL.
std::array<Point, 4> OutputOutline(const OutputEdge& edge);

// Direction of the edge (x1, y1) -> (x2, y2) in degrees, between -180 and 180;
// EdgeAngleNone when the points coincide.
inline constexpr double EdgeAngleNone = -999;
double EdgeAngle(int x1, int y1, int x2, int y2);

} // namespace pelmora
