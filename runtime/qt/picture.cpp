#include "runtime/qt/picture.h"
#include "runtime/artwork.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace forms::qt {

namespace {

// Every picture as rendered, by name, size and pixel ratio.
QHash<QString, QPixmap> &cache()
{
    static QHash<QString, QPixmap> pixmaps;
    return pixmaps;
}

} // namespace

QString picturePath(const std::string &name)
{
    return QStringLiteral(":/art/%1.svg").arg(QString::fromStdString(name));
}

bool pictureExists(const std::string &name)
{
    return !name.empty() && QFile::exists(picturePath(name));
}

QString pictureTitle(const std::string &name)
{
    const std::string_view title = pictureFacts(name).title;
    return QString::fromUtf8(title.data(), qsizetype(title.size()));
}

QSize pictureSize(const std::string &name)
{
    const PictureFacts facts = pictureFacts(name);
    return {facts.width, facts.height};
}

QPixmap renderPicture(const std::string &name, QSize size, qreal devicePixelRatio)
{
    const QString key = QStringLiteral("%1@%2x%3@%4")
                            .arg(QString::fromStdString(name))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    auto found = cache().constFind(key);
    if (found != cache().constEnd())
        return *found;

    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QPixmap pixmap(pixels.isEmpty() ? QSize(1, 1) : pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(picturePath(name));
    if (renderer.isValid() && !pixels.isEmpty()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    cache().insert(key, pixmap);
    return pixmap;
}

QIcon iconFromPictures(const std::vector<std::string> &names)
{
    QIcon icon;
    for (const auto &name : names) {
        const QSize size = pictureSize(name);
        if (size.isEmpty())
            continue;
        // Each size as drawn, and twice that for high-DPI title bars.
        icon.addPixmap(renderPicture(name, size, 1.0));
        icon.addPixmap(renderPicture(name, size * 2, 1.0));
    }
    return icon;
}

} // namespace forms::qt
