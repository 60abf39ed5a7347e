// Renders the program's icons and pictures from their SVG sources at build
// time: PNG files for the desktop's icon theme, the Windows .ico, and the
// pictures a Windows build carries as resources at 100, 150 and 200 %, drawn
// by the same renderer as the game's pictures on Linux so they look alike.
//
//   korvo-render-icon png SOURCE.svg SIZE OUTPUT.png
//   korvo-render-icon ico OUTPUT.ico SOURCE.svg:SIZE...
//   korvo-render-icon picture SOURCE.svg PERCENT OUTPUT.png

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstdio>

namespace {

QImage render(const QString &source, QSize size)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QImage render(const QString &source, int size)
{
    return render(source, QSize(size, size));
}

// A picture's size as the game lays it out on Linux: plain pixels on the root
// element, or else what the renderer works out. Read the same way, so that a
// picture is as large on Windows at 100 % as it is there.
QSize naturalSize(const QString &source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("svg"))
        return {};
    bool wide = false, high = false;
    const int width = xml.attributes().value(QLatin1String("width")).toInt(&wide);
    const int height = xml.attributes().value(QLatin1String("height")).toInt(&high);
    if (wide && high && width > 0 && height > 0)
        return QSize(width, height);
    QSvgRenderer renderer(source);
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Quality 0 is zlib's strongest compression: the pictures travel inside the program.
    image.save(&buffer, "PNG", 0);
    return bytes;
}

void put16(QByteArray &out, quint16 value)
{
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void put32(QByteArray &out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

// An .ico whose images are stored as PNG, which Windows reads since Vista; Qt's
// own ICO writer keeps only one image.
QByteArray ico(const QList<QImage> &images)
{
    QList<QByteArray> pngs;
    for (const QImage &image : images)
        pngs << png(image);
    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        out.append(char(side >= 256 ? 0 : side)); // 0 means 256
        out.append(char(side >= 256 ? 0 : side));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);  // colour planes
        put16(out, 32); // bits per pixel
        put32(out, quint32(pngs[i].size()));
        put32(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &bytes : pngs)
        out += bytes;
    return out;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int fail(const char *message, const QString &what)
{
    std::fprintf(stderr, "korvo-render-icon: %s: %s\n", message, qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing paths into an image needs no screen and no GUI application.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.size() == 4 && args[0] == QLatin1String("png")) {
        const QImage image = render(args[1], args[2].toInt());
        if (image.isNull())
            return fail("cannot render", args[1]);
        return write(args[3], png(image)) ? 0 : fail("cannot write", args[3]);
    }
    if (args.size() == 4 && args[0] == QLatin1String("picture")) {
        bool number = false;
        const int percent = args[2].toInt(&number);
        const QSize natural = naturalSize(args[1]);
        if (!number || percent <= 0 || natural.isEmpty())
            return fail("cannot size", args[1]);
        // To the nearest pixel: 69 × 73 at 150 % is 104 × 110.
        const QSize size(qRound(natural.width() * percent / 100.0), qRound(natural.height() * percent / 100.0));
        const QImage image = render(args[1], size);
        if (image.isNull())
            return fail("cannot render", args[1]);
        return write(args[3], png(image)) ? 0 : fail("cannot write", args[3]);
    }
    if (args.size() >= 3 && args[0] == QLatin1String("ico")) {
        QList<QImage> images;
        for (const QString &entry : args.mid(2)) {
            const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
            const QImage image = render(entry.left(colon), entry.mid(colon + 1).toInt());
            if (colon < 0 || image.isNull())
                return fail("cannot render", entry);
            images << image;
        }
        return write(args[1], ico(images)) ? 0 : fail("cannot write", args[1]);
    }
    std::fprintf(stderr, "usage: korvo-render-icon png SOURCE.svg SIZE OUTPUT.png\n"
                         "       korvo-render-icon ico OUTPUT.ico SOURCE.svg:SIZE...\n"
                         "       korvo-render-icon picture SOURCE.svg PERCENT OUTPUT.png\n");
    return 2;
}
