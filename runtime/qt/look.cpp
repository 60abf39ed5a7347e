#include "runtime/qt/look.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>

namespace forms::qt {

QColor toQColor(Color color)
{
    return QColor::fromRgb(QRgb(0xFF000000u | color.toRgb()));
}

QFont toQFont(const Font &font)
{
    // Lookalikes for the faces the layouts name, tried in order. Naming them
    // outright matters: left to itself, fontconfig may answer an unknown
    // display face with a symbol font.
    QStringList families;
    int weight = font.bold ? QFont::Bold : QFont::Normal;
    if (font.name.empty() || font.name == "MS Sans Serif" || font.name == "Arial") {
        if (font.name == "Arial")
            families << "Arial";
        families << "Liberation Sans"
                 << "Arimo"
                 << "DejaVu Sans";
    } else if (font.name == "Comic Sans MS") {
        families << "Comic Sans MS"
                 << "Comic Neue"
                 << "Liberation Sans"
                 << "DejaVu Sans";
    } else if (font.name == "Compacta Blk BT") {
        families << "Compacta Blk BT"
                 << "Roboto Condensed"
                 << "DejaVu Sans Condensed"
                 << "Liberation Sans Narrow"
                 << "DejaVu Sans";
        weight = QFont::Black;
    } else {
        families << QString::fromStdString(font.name) << "Liberation Sans"
                 << "DejaVu Sans";
    }
    QFont result;
    result.setFamilies(families);
    result.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size * 96.0 / 72.0))));
    result.setWeight(QFont::Weight(weight));
    result.setItalic(font.italic);
    result.setStyleStrategy(QFont::PreferAntialias);
    return result;
}

void applyClassicLook(QApplication &app)
{
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        app.setStyle(style);
    else if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    QPalette palette;
    palette.setColor(QPalette::Window, toQColor(colors::ButtonFace));
    palette.setColor(QPalette::WindowText, toQColor(colors::WindowText));
    palette.setColor(QPalette::Base, toQColor(colors::WindowBackground));
    palette.setColor(QPalette::AlternateBase, toQColor(colors::ButtonFace));
    palette.setColor(QPalette::Text, toQColor(colors::WindowText));
    palette.setColor(QPalette::Button, toQColor(colors::ButtonFace));
    palette.setColor(QPalette::ButtonText, toQColor(colors::ButtonText));
    palette.setColor(QPalette::BrightText, toQColor(colors::ThreeDHighlight));
    palette.setColor(QPalette::Light, toQColor(colors::ThreeDHighlight));
    palette.setColor(QPalette::Midlight, toQColor(colors::ThreeDLight));
    palette.setColor(QPalette::Mid, toQColor(colors::ButtonShadow));
    palette.setColor(QPalette::Dark, toQColor(colors::ButtonShadow));
    palette.setColor(QPalette::Shadow, toQColor(colors::ThreeDDarkShadow));
    palette.setColor(QPalette::Highlight, toQColor(colors::Highlight));
    palette.setColor(QPalette::HighlightedText, toQColor(colors::HighlightText));
    palette.setColor(QPalette::ToolTipBase, toQColor(colors::InfoBackground));
    palette.setColor(QPalette::ToolTipText, toQColor(colors::InfoText));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, toQColor(colors::GrayText));
    app.setPalette(palette);
    app.setFont(toQFont(Font {}));
}

void drawEdge(QPainter &painter, const QRect &r, Edge edge)
{
    // Outer then inner line, top-left then bottom-right, as Windows draws them.
    const bool raised = edge == Edge::Raised;
    const Color outerTopLeft = raised ? colors::ThreeDLight : colors::ButtonShadow;
    const Color innerTopLeft = raised ? colors::ThreeDHighlight : colors::ThreeDDarkShadow;
    const Color outerBottomRight = raised ? colors::ThreeDDarkShadow : colors::ThreeDHighlight;
    const Color innerBottomRight = raised ? colors::ButtonShadow : colors::ThreeDLight;

    painter.setPen(toQColor(outerTopLeft));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(toQColor(innerTopLeft));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    painter.setPen(toQColor(outerBottomRight));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(toQColor(innerBottomRight));
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
}

} // namespace forms::qt
