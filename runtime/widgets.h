#pragma once
// The Qt widgets behind the lightweight controls, and the conversions from
// layout units to Qt's.

#include "controls.h"
#include "layout.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

namespace forms {

int toPixels(int twips);
QRect toPixels(const Bounds &bounds);
QColor toQColor(Color color);
// The layout's font, resolved to an installed lookalike, sized in
// device-independent pixels so that text and layout scale together.
QFont toQFont(const Font &font);

// A picture at single-precision twips, drawn on the nearest device pixel,
// with its transparent parts showing what lies beneath.
class ImageWidget : public QWidget
{
public:
    ImageWidget(QWidget *parent, std::string picture, bool stretch, QSize box);
    void moveTo(float leftTwips, float topTwips);
    const std::string &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::string m_picture;
    bool m_stretch;
    QSize m_box;
    QPointF m_offset; // sub-pixel part of the position, in logical pixels
};

class PictureBoxWidget : public QWidget
{
public:
    PictureBoxWidget(QWidget *parent, const PictureBoxStyle &style);
    const std::string &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::string m_picture;
    bool m_border;
};

class ShapeWidget : public QWidget
{
public:
    ShapeWidget(QWidget *parent, const ShapeStyle &style);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ShapeStyle m_style;
};

class LineWidget : public QWidget
{
public:
    LineWidget(QWidget *parent, QLineF line, const LineStyle &style);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLineF m_line; // relative to the widget
    LineStyle m_style;
};

} // namespace forms
