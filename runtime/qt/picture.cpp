#include "runtime/qt/picture.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <tuple>

namespace forms::qt {

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

// What the artwork says of itself in its root element: its size and title.
struct Facts
{
    QSize size;
    QString title;
};

// Read once per picture, from the root element and its direct children, so
// neither the title nor the size costs a second parse of the whole drawing.
Facts facts(const std::string &name)
{
    static QHash<QString, Facts> known;
    const QString key = QString::fromStdString(name);
    auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;

    Facts read;
    QFile file(picturePath(name));
    if (!name.empty() && file.open(QIODevice::ReadOnly)) {
        QXmlStreamReader xml(&file);
        if (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("svg")) {
                // Stated in plain pixels on the root, or else worked out by
                // the renderer.
                bool wide = false, high = false;
                const int width = xml.attributes().value(QLatin1String("width")).toInt(&wide);
                const int height = xml.attributes().value(QLatin1String("height")).toInt(&high);
                if (wide && high && width > 0 && height > 0) {
                    read.size = QSize(width, height);
                } else {
                    QSvgRenderer renderer(picturePath(name));
                    if (renderer.isValid())
                        read.size = renderer.defaultSize();
                }
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("title")) {
                    read.title = xml.readElementText().simplified();
                    break;
                }
                xml.skipCurrentElement();
            }
        }
    }
    known.insert(key, read);
    return read;
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
    return facts(name).title;
}

QSize pictureSize(const std::string &name)
{
    // Asked on every paint: answered from what was read the first time.
    return facts(name).size;
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

} // namespace forms::qt
