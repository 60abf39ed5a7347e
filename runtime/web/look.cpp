#include "runtime/web/look.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace forms::web {

std::string cssColor(Color color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", unsigned(color.toRgb()));
    return text;
}

std::string fontFamilies(const Font &font)
{
    // The runtime's lookalikes, each served face right after the one it
    // copies, then whatever the browser has.
    std::string families;
    for (const std::string &family : typefaceOf(font).families) {
        families += "\"" + family + "\", ";
        if (family == "Comic Neue")
            families += "\"Korvo Comic\", ";
        else if (family == "Roboto Condensed")
            families += "\"Korvo Condensed\", ";
    }
    return families + "sans-serif";
}

int fontPixels(const Font &font)
{
    return std::max(1, static_cast<int>(std::lround(font.size * StandardDpi / 72.0)));
}

int fontWeight(const Font &font)
{
    return typefaceOf(font).black ? 900 : font.bold ? 700 : 400;
}

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string svgOpen(Size box)
{
    const std::string w = std::to_string(box.width), h = std::to_string(box.height);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " "
           + h + "\" aria-hidden=\"true\" focusable=\"false\">";
}

} // namespace

std::string shapeSvg(const ShapeStyle &style, Size box, int id)
{
    const RectF shape = shapeOutline({0, 0, box.width, box.height}, style.shape);
    const double pen = style.borderWidth;
    // The pen runs inside the outline, as on the desktop.
    const double left = shape.left + pen / 2, top = shape.top + pen / 2;
    const double width = std::max(0.0, shape.width - pen), height = std::max(0.0, shape.height - pen);
    const bool oval = style.shape == ShapeKind::Circle || style.shape == ShapeKind::Oval;
    const std::string outline = oval ? "<ellipse cx=\"" + number(left + width / 2) + "\" cy=\""
                                           + number(top + height / 2) + "\" rx=\"" + number(width / 2) + "\" ry=\""
                                           + number(height / 2) + "\""
                                     : "<rect x=\"" + number(left) + "\" y=\"" + number(top) + "\" width=\""
                                           + number(width) + "\" height=\"" + number(height) + "\"";

    std::string svg = svgOpen(box);
    if (style.fillStyle == FillStyle::Solid) {
        svg += outline + " fill=\"" + cssColor(style.fillColor) + "\"/>";
    } else if (style.fillStyle == FillStyle::DiagonalCross) {
        const std::string clip = "korvo-clip-" + std::to_string(id);
        svg += "<clipPath id=\"" + clip + "\">" + outline + "/></clipPath><path clip-path=\"url(#" + clip
               + ")\" fill=\"none\" stroke-width=\"1\" stroke=\"" + cssColor(style.fillColor) + "\" d=\"";
        for (const Segment &line : crossHatch(box, 8))
            svg += "M" + std::to_string(line.from.x) + " " + std::to_string(line.from.y) + "L"
                   + std::to_string(line.to.x) + " " + std::to_string(line.to.y);
        svg += "\"/>";
    }
    if (pen > 0)
        svg += outline + " fill=\"none\" stroke=\"" + cssColor(style.borderColor) + "\" stroke-width=\"" + number(pen)
               + "\"/>";
    return svg + "</svg>";
}

std::string lineSvg(const LineStyle &style, Size box, Point a, Point b)
{
    // Through the middle of its pixels.
    const double half = style.width % 2 ? 0.5 : 0;
    return svgOpen(box) + "<line x1=\"" + number(a.x + half) + "\" y1=\"" + number(a.y + half) + "\" x2=\""
           + number(b.x + half) + "\" y2=\"" + number(b.y + half) + "\" stroke=\"" + cssColor(style.color)
           + "\" stroke-width=\"" + std::to_string(std::max(1, style.width)) + "\"/></svg>";
}

} // namespace forms::web
