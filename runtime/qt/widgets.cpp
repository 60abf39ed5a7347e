#include "runtime/qt/widgets.h"
#include "runtime/qt/look.h"
#include "runtime/qt/picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>

namespace forms::qt {

ImageWidget::ImageWidget(QWidget *parent, const Image &image)
    : QWidget(parent),
      m_image(image),
      m_box(toPixels(image.bounds().width, StandardDpi), toPixels(image.bounds().height, StandardDpi))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAccessibleName(pictureTitle(pictureName()));
    // One pixel of slack so the picture can sit on a device pixel between two
    // logical ones.
    resize(m_box + QSize(1, 1));
}

void ImageWidget::place()
{
    // The nearest device pixel, as a logical pixel and what is left over.
    const qreal ratio = devicePixelRatioF();
    const auto split = [ratio](float twips, int &logical, qreal &offset) {
        const double device = toPixels(twips, int(std::lround(StandardDpi * ratio)));
        logical = static_cast<int>(std::floor(device / ratio));
        offset = device / ratio - logical;
    };
    int x = 0, y = 0;
    qreal dx = 0, dy = 0;
    split(m_image.left(), x, dx);
    split(m_image.top(), y, dy);
    const QRect before = geometry();
    const bool shifted = QPointF(dx, dy) != m_offset;
    m_offset = QPointF(dx, dy);
    move(x, y);
    if (!shifted && geometry() == before)
        return;
    // Drawn now rather than when the event loop comes round to it: a click
    // handled in between must find on screen the position the program reads.
    // Only the area the picture left and the area it entered are redrawn.
    if (isVisible())
        parentWidget()->repaint(QRegion(before) + geometry());
    else
        update();
}

QPixmap ImageWidget::picture() const
{
    // Stretched, the picture fills the control's box; otherwise it keeps its
    // own size.
    const QSize natural = pictureSize(pictureName());
    if (natural.isEmpty())
        return {};
    return renderPicture(pictureName(), m_image.style().stretch ? m_box : natural, devicePixelRatioF());
}

void ImageWidget::paintEvent(QPaintEvent *)
{
    const QPixmap pixmap = picture();
    if (pixmap.isNull())
        return;
    QPainter painter(this);
    // Cut to the control's box, from its top-left.
    painter.setClipRect(QRectF(m_offset, QSizeF(m_box)));
    painter.drawPixmap(m_offset, pixmap);
}

PictureBoxWidget::PictureBoxWidget(QWidget *parent, const PictureBoxStyle &style)
    : QWidget(parent),
      m_picture(style.picture),
      m_border(style.border)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(style.backColor));
    palette.setColor(QPalette::WindowText, toQColor(style.foreColor));
    setPalette(palette);
    setAutoFillBackground(true);
    setAccessibleName(pictureTitle(m_picture));
}

void PictureBoxWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    int inset = 0;
    if (m_border) {
        // The classic sunken border: grey and black outside, white and light
        // grey inside.
        inset = 2;
        drawEdge(painter, rect(), Edge::Sunken);
    }
    const QSize natural = pictureSize(m_picture);
    if (natural.isEmpty())
        return;
    painter.setClipRect(rect().adjusted(inset, inset, -inset, -inset));
    painter.drawPixmap(QPoint(inset, inset), renderPicture(m_picture, natural, devicePixelRatioF()));
}

DrawnWidget::DrawnWidget(QWidget *parent, const Control &control) : QWidget(parent), m_control(control)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void DrawnWidget::paintEvent(QPaintEvent *)
{
    // The balls pass over the target every tick: it is drawn once for its
    // size and pixel ratio, and copied where they uncover it.
    const qreal ratio = devicePixelRatioF();
    if (m_drawn.isNull() || !qFuzzyCompare(m_drawn.devicePixelRatio(), ratio)
        || m_drawn.deviceIndependentSize() != QSizeF(size())) {
        m_drawn = QPixmap((QSizeF(size()) * ratio).toSize());
        m_drawn.setDevicePixelRatio(ratio);
        m_drawn.fill(Qt::transparent);
        QPainter painter(&m_drawn);
        if (const auto *shape = dynamic_cast<const Shape *>(&m_control))
            draw(painter, shape->style());
        else if (const auto *line = dynamic_cast<const Line *>(&m_control))
            draw(painter, *line);
    }
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_drawn);
}

void DrawnWidget::draw(QPainter &painter, const ShapeStyle &style) const
{
    painter.setRenderHint(QPainter::Antialiasing);

    const RectF shape = shapeOutline({0, 0, width(), height()}, style.shape);
    const QRectF box(shape.left, shape.top, shape.width, shape.height);
    const qreal pen = style.borderWidth;
    const QRectF outline = box.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    QPainterPath path;
    if (style.shape == ShapeKind::Circle || style.shape == ShapeKind::Oval)
        path.addEllipse(outline);
    else
        path.addRect(outline);

    if (style.fillStyle == FillStyle::Solid) {
        painter.fillPath(path, toQColor(style.fillColor));
    } else if (style.fillStyle == FillStyle::DiagonalCross) {
        painter.save();
        painter.setClipPath(path);
        painter.setPen(QPen(toQColor(style.fillColor), 1.0));
        for (const Segment &line : crossHatch({width(), height()}, 8))
            painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
        painter.restore();
    }
    if (pen > 0) {
        painter.setPen(QPen(toQColor(style.borderColor), pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
}

void DrawnWidget::draw(QPainter &painter, const Line &line) const
{
    // Through the middle of its pixels, from where the ends are in the
    // container.
    const LineStyle &style = line.style();
    const auto [a, b] = line.ends();
    const QPointF half = style.width % 2 ? QPointF(0.5, 0.5) : QPointF(0, 0);
    const QPointF origin = pos();
    QPen pen(toQColor(style.color), style.width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(a.x, a.y) - origin + half, QPointF(b.x, b.y) - origin + half);
}

} // namespace forms::qt
