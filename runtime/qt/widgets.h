#pragma once
// The Qt widgets behind the lightweight controls.

#include "runtime/controls.h"

#include <QLabel>
#include <QPixmap>
#include <QWidget>

class QPainter;

namespace forms::qt {

// A label whose caption is a count: a screen reader reads its accessible name
// with the caption as the value.
class CounterLabel : public QLabel
{
public:
    using QLabel::QLabel;
};

// A picture at single-precision twips, drawn on the nearest device pixel,
// with its transparent parts showing what lies beneath.
class ImageWidget : public QWidget
{
public:
    ImageWidget(QWidget *parent, const Image &image);
    // Moves the picture where the image's twips are and draws the change at
    // once: what the screen shows is always where the program has put it.
    void place();
    const std::string &pictureName() const { return m_image.style().picture; }
    // Where the picture stands inside the widget: the part of a logical pixel
    // that puts it on its device pixel.
    QPointF offset() const { return m_offset; }
    // The picture as it is drawn: rendered from its vector source at the
    // screen's device pixel ratio, never a small bitmap scaled up.
    QPixmap picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Image &m_image;
    QSize m_box;
    QPointF m_offset; // sub-pixel part of the position, in logical pixels
};

class PictureBoxWidget : public QWidget
{
public:
    PictureBoxWidget(QWidget *parent, const PictureBoxStyle &style);
    const std::string &pictureName() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::string m_picture;
    bool m_border;
};

// A shape or a line: drawn, never pressed, with what lies beneath showing
// round it.
class DrawnWidget : public QWidget
{
public:
    DrawnWidget(QWidget *parent, const Control &control);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void draw(QPainter &painter, const ShapeStyle &style) const;
    void draw(QPainter &painter, const Line &line) const;

    const Control &m_control;
    QPixmap m_drawn; // as drawn for the current size and pixel ratio
};

} // namespace forms::qt
