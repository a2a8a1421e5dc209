// Pixel checks on a rendered diagram: logical points are placed with the picture's own
// mapping formula, independently of the drawing code, and found within one pixel.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <cmath>

namespace pelmora::testing {

inline constexpr double DiagramScale = 480.0 / 2016.0;

// The expected colours, written out rather than taken from the drawing code.
inline const QColor Red(255, 0, 0);
inline const QColor Green(0, 255, 0);
inline const QColor Blue(0, 0, 255);
inline const QColor Magenta(255, 0, 255);
inline const QColor Yellow(255, 255, 0);
inline const QColor White(255, 255, 255);

inline QPoint Pixel(double x, double y) {
    return QPoint(int(std::lround((x + 40) * DiagramScale)),
                  int(std::lround((y + 18) * DiagramScale)));
}

// Whether `colour` is at the pixel of logical (x, y) or next to it.
inline bool ColourNear(const QImage& image, double x, double y, const QColor& colour) {
    const QPoint centre = Pixel(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixelColor(p) == colour)
                return true;
        }
    return false;
}

// Whether the logical segment a -> b is drawn in `colour` along its inner 90 %.
inline bool SegmentDrawn(const QImage& image, QPointF a, QPointF b, const QColor& colour) {
    constexpr int Samples = 40;
    for (int i = 2; i <= Samples - 2; ++i) {
        const QPointF p = a + (b - a) * (double(i) / Samples);
        if (!ColourNear(image, p.x(), p.y(), colour))
            return false;
    }
    return true;
}

inline int PixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

} // namespace pelmora::testing
