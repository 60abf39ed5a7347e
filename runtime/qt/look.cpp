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
    const Typeface face = typefaceOf(font);
    QStringList families;
    for (const std::string &family : face.families)
        families << QString::fromStdString(family);
    const int weight = face.black ? QFont::Black : font.bold ? QFont::Bold : QFont::Normal;
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
    // Each of Qt's roles from the system colour the classic scheme gives it.
    static const std::pair<QPalette::ColorRole, Color> roles[] = {
        {QPalette::Window, colors::ButtonFace},
        {QPalette::WindowText, colors::WindowText},
        {QPalette::Base, colors::WindowBackground},
        {QPalette::AlternateBase, colors::ButtonFace},
        {QPalette::Text, colors::WindowText},
        {QPalette::Button, colors::ButtonFace},
        {QPalette::ButtonText, colors::ButtonText},
        {QPalette::BrightText, colors::ThreeDHighlight},
        {QPalette::Light, colors::ThreeDHighlight},
        {QPalette::Midlight, colors::ThreeDLight},
        {QPalette::Mid, colors::ButtonShadow},
        {QPalette::Dark, colors::ButtonShadow},
        {QPalette::Shadow, colors::ThreeDDarkShadow},
        {QPalette::Highlight, colors::Highlight},
        {QPalette::HighlightedText, colors::HighlightText},
        {QPalette::ToolTipBase, colors::InfoBackground},
        {QPalette::ToolTipText, colors::InfoText},
    };
    QPalette palette;
    for (const auto &[role, color] : roles)
        palette.setColor(role, toQColor(color));
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
