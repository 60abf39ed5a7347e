#pragma once
// How the web backend draws: colours and fonts as CSS says them, and the
// shapes and lines as SVG.

#include "runtime/controls.h"
#include "runtime/pixels.h"

#include <string>

namespace forms::web {

// "#rrggbb", system colours in the classic scheme.
std::string cssColor(Color color);

// The font's CSS family list: the layout's name first, then the runtime's
// lookalikes, with the faces served with the page among them.
std::string fontFamilies(const Font &font);
// The font's size in CSS pixels, rounded as the desktop build rounds it.
int fontPixels(const Font &font);
// Its CSS weight: 400, 700 bold, 900 for a black display face.
int fontWeight(const Font &font);

// A shape in a box of the given size, with its id to keep its clip apart.
std::string shapeSvg(const ShapeStyle &style, Size box, int id);
// A line from `a` to `b`, both in the drawing's own box.
std::string lineSvg(const LineStyle &style, Size box, Point a, Point b);

} // namespace forms::web
