#pragma once
// Where things are on the screen: twips as pixels at a DPI, and the geometry
// of what the runtime lays out itself (auto-sized labels, shapes, lines).

#include "runtime/layout.h"

#include <vector>

namespace forms {

struct Point
{
    int x = 0;
    int y = 0;
    friend bool operator==(const Point &, const Point &) = default;
};

struct Size
{
    int width = 0;
    int height = 0;
    friend bool operator==(const Size &, const Size &) = default;
};

// A box in pixels; right() and bottom() are just outside it.
struct Rect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const Rect &, const Rect &) = default;
};

// The DPI at which one pixel is 15 twips.
constexpr int StandardDpi = 96;

// Twips to the nearest pixel at `dpi` (1440 twips to the inch).
int toPixels(double twips, int dpi);
Rect toPixels(const Bounds &bounds, int dpi);
// A length drawn at 96 DPI (a pen, a gap) at `dpi`: at least one pixel.
int scaled(int pixels, int dpi);

// Where an auto-sized label goes once its text measures `text`: a
// right-aligned label keeps the right edge of its box, the others the left.
Rect fitToText(const Rect &box, Size text, Alignment alignment);

struct RectF
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The outline of a shape in its box: circles and squares take the shorter
// side, centred.
RectF shapeOutline(const Rect &box, ShapeKind shape);

struct Segment
{
    Point from;
    Point to;
};

// A diagonal cross hatch over an area of the given size, lines `gap` pixels
// apart both ways, drawn as lines rather than a brush pattern so that they
// stay crisp and evenly spaced at any scale. Clip them to the shape.
std::vector<Segment> crossHatch(Size area, int gap);

// The box a line from `a` to `b` is drawn in, `pad` pixels round its ends.
Rect lineBox(Point a, Point b, int pad);

} // namespace forms
