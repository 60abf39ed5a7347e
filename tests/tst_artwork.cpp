// Every picture a layout names is compiled into the program: a missing one
// would show as an empty box, and no player could tell us why.

#include "runtime/qt/native.h"
#include "fixture.h"
#include "runtime/application.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "game/frmsplash.h"
#include "runtime/qt/picture.h"
#include "runtime/qt/widgets.h"

#include <QtTest>
#include <QSvgRenderer>

#include <set>

using namespace forms;
using namespace forms::qt;

namespace {

// The pictures a loaded form shows, read from its widgets.
std::set<std::string> picturesOf(const Form &form)
{
    std::set<std::string> names;
    for (const QWidget *widget : qt::window(form)->findChildren<QWidget *>()) {
        if (const auto *image = dynamic_cast<const ImageWidget *>(widget))
            names.insert(image->pictureName());
        else if (const auto *box = dynamic_cast<const PictureBoxWidget *>(widget))
            names.insert(box->pictureName());
    }
    return names;
}

bool hasOpaquePixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void everyPictureTheLayoutsNameIsCompiledIn_data();
    void everyPictureTheLayoutsNameIsCompiledIn();
    void everyWindowHasItsIcon();
};

void TestArtwork::everyPictureTheLayoutsNameIsCompiledIn_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("frmSplash") << "frmSplash" << QStringList {"splash-dunk-1", "splash-dunk-2"};
    QTest::newRow("Form1") << "Form1" << QStringList {"ball", "dunk", "logo"};
    QTest::newRow("frmAbout") << "frmAbout" << QStringList {"logo"};
}

void TestArtwork::everyPictureTheLayoutsNameIsCompiledIn()
{
    QFETCH(QString, form);
    QFETCH(QStringList, expected);
    const Form *loaded = form == QLatin1String("frmSplash") ? static_cast<Form *>(&instance<frmSplash>())
                         : form == QLatin1String("Form1")   ? static_cast<Form *>(&instance<Form1>())
                                                            : static_cast<Form *>(&instance<frmAbout>());
    QStringList named;
    for (const std::string &name : picturesOf(*loaded)) {
        named << QString::fromStdString(name);
        QVERIFY2(pictureExists(name), name.c_str());
        QSvgRenderer renderer(picturePath(name));
        QVERIFY2(renderer.isValid(), name.c_str());
        const QSize size = pictureSize(name);
        QVERIFY2(!size.isEmpty(), name.c_str());
        for (qreal ratio : {1.0, 2.0})
            QVERIFY2(hasOpaquePixel(renderPicture(name, size, ratio).toImage()), name.c_str());
    }
    // The walk found what the layout holds, so an empty list cannot pass.
    QCOMPARE(named, expected);
}

void TestArtwork::everyWindowHasItsIcon()
{
    for (const Form *form : {static_cast<Form *>(&instance<Form1>()), static_cast<Form *>(&instance<frmAbout>())}) {
        const QList<QSize> sizes = qt::window(*form)->windowIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)), form->name().c_str());
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
