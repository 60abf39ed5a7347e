// The windows on a high-DPI screen: ctest runs this at QT_SCALE_FACTOR 1, 1.5
// and 2. The layout stays in logical pixels and pictures are rendered from
// their vector sources at the device pixel ratio, so they stay crisp.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "game/frmsplash.h"
#include "runtime/qt/picture.h"
#include "runtime/qt/widgets.h"

#include <QtTest>

#include <cmath>

using namespace forms;
using namespace forms::qt;

namespace {

qreal expectedScale()
{
    return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
}

QRect geometryOf(const std::string &form, const QString &control)
{
    Form &shown = formNamed(form);
    if (control == QLatin1String("client"))
        return QRect(QPoint(0, 0), qt::client(shown)->size());
    auto *widget = qt::window(shown)->findChild<QWidget *>(control);
    return widget ? widget->geometry() : QRect();
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void windowsUseTheScreenScale();
    void layoutStaysInLogicalPixels_data();
    void layoutStaysInLogicalPixels();
    void ballIsRenderedFromItsVectorSource();
    void ballIsDrawnPixelForPixel();
};

void TestHighDpi::windowsUseTheScreenScale()
{
    for (const char *name : {"Form1", "frmAbout", "frmSplash"}) {
        Form &form = formNamed(name);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(qt::window(form)));
        QCOMPARE(qt::window(form)->devicePixelRatioF(), expectedScale());
    }
}

void TestHighDpi::layoutStaysInLogicalPixels_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("game client") << "Form1"
                                 << "client" << QRect(0, 0, 690, 524);
    QTest::newRow("Tirar") << "Form1"
                           << "cmdTirar" << QRect(288, 208, 73, 65);
    QTest::newRow("statistics") << "Form1"
                                << "Frame1" << QRect(32, 360, 217, 113);
    QTest::newRow("attempts, inside the frame") << "Form1"
                                                << "lblIntentos" << QRect(136, 24, 33, 17);
    QTest::newRow("photograph") << "Form1"
                                << "Picture3" << QRect(392, 24, 289, 441);
    QTest::newRow("horizontal ball, with its slack pixel") << "Form1"
                                                           << "Picture2" << QRect(40, 128, 70, 74);
    QTest::newRow("About client") << "frmAbout"
                                  << "client" << QRect(0, 0, 382, 237);
    QTest::newRow("About OK") << "frmAbout"
                              << "cmdOK" << QRect(283, 175, 84, 23);
    QTest::newRow("splash client") << "frmSplash"
                                   << "client" << QRect(0, 0, 492, 283);
    QTest::newRow("splash frame") << "frmSplash"
                                  << "Frame1" << QRect(8, 8, 472, 270);
}

void TestHighDpi::layoutStaysInLogicalPixels()
{
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    formNamed(form.toStdString()).Show();
    QCOMPARE(geometryOf(form.toStdString(), control), geometry);
}

void TestHighDpi::ballIsRenderedFromItsVectorSource()
{
    const qreal scale = expectedScale();
    Form1 &game = instance<Form1>();
    game.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(game)));
    auto *ball = dynamic_cast<ImageWidget *>(qt::widget(game.Picture2));
    QVERIFY(ball);

    // 69 x 73 pixels times the scale: 138 x 146 device pixels at scale 2.
    const QPixmap drawn = ball->picture();
    QCOMPARE(drawn.size(), QSize(qRound(69 * scale), qRound(73 * scale)));
    QCOMPARE(drawn.devicePixelRatio(), scale);
    if (scale == 1.0)
        return;

    // A 69 x 73 bitmap blown up would lose the detail of the vector source.
    const QImage crisp = drawn.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage blownUp = renderPicture("ball", QSize(69, 73), 1.0)
                               .toImage()
                               .scaled(crisp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int differing = 0;
    for (int y = 0; y < crisp.height(); ++y)
        for (int x = 0; x < crisp.width(); ++x)
            differing += crisp.pixel(x, y) != blownUp.pixel(x, y);
    QVERIFY2(differing > crisp.width() * crisp.height() / 10, qPrintable(QString::number(differing)));
}

void TestHighDpi::ballIsDrawnPixelForPixel()
{
    // What reaches the window is that rendering, one device pixel for one:
    // every opaque pixel of the ball appears unchanged in the window.
    const qreal scale = expectedScale();
    Form1 &game = instance<Form1>();
    game.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(game)));
    auto *ball = dynamic_cast<ImageWidget *>(qt::widget(game.Picture2));
    QVERIFY(ball);
    const QImage picture = ball->picture().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage window = qt::client(game)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(window.size(), (QSizeF(690, 524) * scale).toSize());

    const QPoint origin = (QPointF(ball->pos()) * scale).toPoint();
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) != 255)
                continue;
            ++opaque;
            if (window.pixel(origin + QPoint(x, y)) != picture.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
        }
    }
    QVERIFY(opaque > picture.width() * picture.height() / 2);
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
