#pragma once
// The classic look the game keeps on every desktop, in Qt's terms: the style
// and palette, a layout's boxes, colours and fonts, and the 3-D edges.

#include "runtime/layout.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QApplication;
class QPainter;

namespace forms::qt {

QColor toQColor(Color color);
// The layout's font, resolved to an installed lookalike, sized in
// device-independent pixels so that text and layout scale together.
QFont toQFont(const Font &font);

// Qt's "Windows" style with the classic scheme's colours, whatever the
// desktop's theme, and the classic default font.
void applyClassicLook(QApplication &app);

// The classic two-pixel 3-D edge just inside `rect`: raised like a window's
// border, or sunken like a picture box's.
enum class Edge { Raised, Sunken };
void drawEdge(QPainter &painter, const QRect &rect, Edge edge);

} // namespace forms::qt
