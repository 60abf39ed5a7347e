#include "picture.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <tuple>

namespace forms {

namespace {

struct Key
{
    QString name;
    QSize size;
    qreal ratio;
    bool operator==(const Key &other) const
    {
        return name == other.name && size == other.size && qFuzzyCompare(ratio, other.ratio);
    }
};

size_t qHash(const Key &key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.size.width(), key.size.height(), qRound(key.ratio * 1000));
}

QHash<Key, QPixmap> &cache()
{
    static QHash<Key, QPixmap> pixmaps;
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
    QFile file(picturePath(name));
    if (name.empty() || !file.open(QIODevice::ReadOnly))
        return {};
    // The title, if any, is a direct child of the root element.
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement())
        return {};
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("title"))
            return xml.readElementText().simplified();
        xml.skipCurrentElement();
    }
    return {};
}

QSize pictureSize(const std::string &name)
{
    if (!pictureExists(name))
        return {};
    QSvgRenderer renderer(picturePath(name));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QPixmap renderPicture(const std::string &name, QSize size, qreal devicePixelRatio)
{
    const Key key {QString::fromStdString(name), size, devicePixelRatio};
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

} // namespace forms
