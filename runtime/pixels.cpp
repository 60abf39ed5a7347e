#include "runtime/pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace forms {

int toPixels(double twips, int dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

Rect toPixels(const Bounds &bounds, int dpi)
{
    return {toPixels(bounds.left, dpi), toPixels(bounds.top, dpi), toPixels(bounds.width, dpi),
            toPixels(bounds.height, dpi)};
}

int scaled(int pixels, int dpi)
{
    return std::max(1, static_cast<int>(std::lround(pixels * dpi / double(StandardDpi))));
}

Rect fitToText(const Rect &box, Size text, Alignment alignment)
{
    const int width = std::max(text.width, 1);
    const int left = alignment == Alignment::Right ? box.right() - width : box.left;
    return {left, box.top, width, text.height};
}

RectF shapeOutline(const Rect &box, ShapeKind shape)
{
    RectF outline {double(box.left), double(box.top), double(box.width), double(box.height)};
    if (shape == ShapeKind::Circle || shape == ShapeKind::Square) {
        const double side = std::min(outline.width, outline.height);
        outline.left += (outline.width - side) / 2;
        outline.top += (outline.height - side) / 2;
        outline.width = outline.height = side;
    }
    return outline;
}

std::vector<Segment> crossHatch(Size area, int gap)
{
    std::vector<Segment> lines;
    const int w = area.width, h = area.height;
    for (int d = -h; d < w + h; d += std::max(gap, 1)) {
        lines.push_back({{d, 0}, {d + h, h}});
        lines.push_back({{d, h}, {d + h, 0}});
    }
    return lines;
}

Rect lineBox(Point a, Point b, int pad)
{
    const int left = std::min(a.x, b.x) - pad;
    const int top = std::min(a.y, b.y) - pad;
    return {left, top, std::abs(a.x - b.x) + 2 * pad + 1, std::abs(a.y - b.y) + 2 * pad + 1};
}

} // namespace forms
