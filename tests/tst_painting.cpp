// What a sweep tick draws: the ball is on screen where the game put it as soon
// as the tick returns, and only the area it left and the area it entered are
// redrawn. ctest runs this at QT_SCALE_FACTOR 1 and 2.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "runtime/qt/picture.h"

#include <QtTest>
#include <QPaintEvent>
#include <QBackingStore>
#include <QDirIterator>
#include <QSvgRenderer>

using namespace forms;
using namespace forms::qt;

namespace {

// The regions the game window's widgets paint, in window coordinates.
class PaintLog : public QObject
{
public:
    explicit PaintLog(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }

    QRegion painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->window() == m_window)
                painted += static_cast<QPaintEvent *>(event)->region().translated(widget->mapTo(m_window, QPoint()));
        }
        return false;
    }

private:
    QWidget *m_window;
};

// The game window with its sweep stopped: the ticks are driven by hand here.

QRect inWindow(const QWidget *widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint()), widget->size());
}

// What the window's backing store holds, the picture the window system is
// given to show, against the window drawn afresh from the controls as they
// are now.
QString differenceOnScreen(QWidget *window)
{
    QPaintDevice *store = window->backingStore()->paintDevice();
    if (store->devType() != QInternal::Image)
        return QStringLiteral("the backing store is not an image");
    const QImage shown = static_cast<QImage *>(store)->convertToFormat(QImage::Format_RGB32);
    const QImage fresh = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.size() != fresh.size())
        return QStringLiteral("sizes differ: %1x%2 on screen").arg(shown.width()).arg(shown.height());
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != fresh.pixel(x, y))
                return QStringLiteral("device pixel %1,%2 differs").arg(x).arg(y);
    return {};
}

// Both sweeps: the horizontal one, then the vertical one.
void sweepRows()
{
    QTest::addColumn<bool>("vertical");
    QTest::newRow("horizontal sweep") << false;
    QTest::newRow("vertical sweep") << true;
}

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void ballIsOnScreenWhenTheTickReturns_data();
    void ballIsOnScreenWhenTheTickReturns();
    void tickRedrawsOnlyWhereTheBallWasAndIs_data();
    void tickRedrawsOnlyWhereTheBallWasAndIs();
    void moveWithinADevicePixelRedrawsNothing();
    void picturesKeepTheSizeTheyAreDrawnFor();
};

void TestPainting::ballIsOnScreenWhenTheTickReturns_data()
{
    sweepRows();
}

void TestPainting::ballIsOnScreenWhenTheTickReturns()
{
    // A press handled right after a tick is judged on the stop that tick
    // drew: no event may have to run before the screen shows it. Over a
    // whole back-and-forth the ball also crosses the target, which must
    // come back untouched where the ball uncovers it.
    QFETCH(bool, vertical);
    Form1 &game = shownGame();
    QWidget *window = qt::window(game);
    for (int tick = 0; tick < 17; ++tick) {
        vertical ? game.Timer2_Timer() : game.Timer1_Timer();
        const QString difference = differenceOnScreen(window);
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("tick %1: %2").arg(tick).arg(difference)));
    }
}

void TestPainting::tickRedrawsOnlyWhereTheBallWasAndIs_data()
{
    sweepRows();
}

void TestPainting::tickRedrawsOnlyWhereTheBallWasAndIs()
{
    QFETCH(bool, vertical);
    Form1 &game = shownGame();
    QWidget *window = qt::window(game);
    QWidget *ball = qt::widget((vertical ? game.Picture1 : game.Picture2));
    for (int tick = 0; tick < 16; ++tick) {
        const QRect before = inWindow(ball);
        PaintLog log(window);
        vertical ? game.Timer2_Timer() : game.Timer1_Timer();
        QCoreApplication::processEvents(); // anything left for later is drawn too
        const QRect after = inWindow(ball);
        if (after == before) { // the first stop is where the ball stands already
            QVERIFY2(log.painted.isEmpty(), qPrintable(QStringLiteral("tick %1 drew a ball that stayed").arg(tick)));
            continue;
        }
        QVERIFY2(log.painted.contains(after), qPrintable(QStringLiteral("tick %1 did not draw the ball").arg(tick)));
        const QRegion beyond = log.painted - (QRegion(before) + after);
        QVERIFY2(beyond.isEmpty(), qPrintable(QStringLiteral("tick %1 drew outside the ball, around %2,%3")
                                                  .arg(tick)
                                                  .arg(beyond.boundingRect().x())
                                                  .arg(beyond.boundingRect().y())));
    }
}

void TestPainting::moveWithinADevicePixelRedrawsNothing()
{
    // Twips are finer than device pixels: a move that lands on the same
    // device pixel leaves the screen as it is.
    Form1 &game = shownGame();
    game.Picture1.setTop(0);
    QCoreApplication::processEvents();
    const QRect before = inWindow(qt::widget(game.Picture1));
    PaintLog log(qt::window(game));
    game.Picture1.setTop(1);
    QCoreApplication::processEvents();
    QCOMPARE(game.Picture1.top(), 1.0f);
    QCOMPARE(inWindow(qt::widget(game.Picture1)), before);
    QVERIFY(log.painted.isEmpty());
}

void TestPainting::picturesKeepTheSizeTheyAreDrawnFor()
{
    // The size is read from the root element alone: it must be the size the
    // whole drawing gives itself, for every picture the program carries.
    int pictures = 0;
    for (QDirIterator art(QStringLiteral(":/art")); art.hasNext();) {
        const QString path = art.next();
        const std::string name = QFileInfo(path).completeBaseName().toStdString();
        QSvgRenderer drawing(path);
        QVERIFY2(drawing.isValid(), qPrintable(path));
        QCOMPARE(pictureSize(name), drawing.defaultSize());
        ++pictures;
    }
    QVERIFY(pictures >= 5);
    QVERIFY(pictureSize("no-such-picture").isEmpty());
    QVERIFY(pictureSize("").isEmpty());
}

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
