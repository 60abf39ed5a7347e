// The game window: its layout and menus as a player meets them, and the two
// sweeps, driven tick by tick.

#include "game/aim.h"
#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"

#include <QtTest>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace forms;

namespace {

// Sets the sweep's state, ticks `ticks` times and reports what it showed.
struct Sweep
{
    Form1 &game;
    bool vertical;

    float coordinate() const { return vertical ? game.Picture1.top() : game.Picture2.left(); }
    void tick() { vertical ? game.Timer2_Timer() : game.Timer1_Timer(); }
};

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void windowHasItsStoredSize();
    void controlsStandWhereStored();
    void statisticsPanelStartsEmpty();
    void menusCarryCaptionsAndShortcuts();
    void tirarHasFocusAndTakesEnter();
    void targetLiesOnTheBallsLines();

    void sweepSequences_data();
    void sweepSequences();
    void fullSweepTurnsAtBothEnds();
    void sweepStartsFromStoredPositions();
    void tickWithoutStopMovesNothing();

    void statisticsMenuPickTogglesPanel();
    void closingWindowEndsProgram();
    void realTimerStepsThroughConsecutiveStops();
};

void TestGame::windowHasItsStoredSize()
{
    Form1 &game = shownGame();
    QCOMPARE(QString::fromStdString(game.caption()), QStringLiteral("Korvo Game"));
    QWidget *client = qt::client(game);
    QCOMPARE(client->size(), QSize(690, 524)); // 10350 x 7860 twips
    QVERIFY(!qt::window(game)->windowIcon().isNull());
    // A fixed border: the window cannot be resized.
    QCOMPARE(qt::window(game)->minimumSize(), qt::window(game)->maximumSize());
    // Menu text black behind everything.
    QCOMPARE(client->palette().color(QPalette::Window), QColor(Qt::black));
}

void TestGame::controlsStandWhereStored()
{
    Form1 &game = instance<Form1>();
    QCOMPARE(qt::widget(game.Frame1)->geometry(), QRect(32, 360, 217, 113));
    QCOMPARE(qt::widget(game.Picture4)->geometry(), QRect(16, 32, 97, 41));
    QCOMPARE(qt::widget(game.Picture3)->geometry(), QRect(392, 24, 289, 441));
    QCOMPARE(qt::widget(game.cmdReset)->geometry(), QRect(288, 296, 73, 25));
    QCOMPARE(qt::widget(game.cmdTirar)->geometry(), QRect(288, 208, 73, 65));
    QCOMPARE(qt::widget(game.Label1)->geometry(), QRect(8, 488, 353, 33));
    QCOMPARE(qt::widget(game.lbl)->geometry(), QRect(8, 328, 281, 25));
    QCOMPARE(qt::widget(game.Shape1)->geometry(), QRect(152, 96, 129, 137));
    QCOMPARE(qt::widget(game.Label3)->geometry(), QRect(24, 40, 97, 17));
    QCOMPARE(qt::widget(game.lblPorc)->geometry(), QRect(136, 72, 33, 17));

    auto *tirar = qobject_cast<QPushButton *>(qt::widget(game.cmdTirar));
    QCOMPARE(tirar->text(), QStringLiteral("Tirar"));
    QVERIFY(tirar->isDefault());
    QCOMPARE(qobject_cast<QPushButton *>(qt::widget(game.cmdReset))->text(), QStringLiteral("Reiniciar"));
    QCOMPARE(qobject_cast<QGroupBox *>(qt::widget(game.Frame1))->title(), QStringLiteral("Estadísticas"));
    QCOMPARE(text(game.Label1), QStringLiteral("www.tabrinex.com.ar"));

    // Each control is found by its name.
    for (const char *name : {"Frame1", "Picture4", "Picture3", "cmdReset", "cmdTirar", "Picture2", "Picture1", "Label1",
                             "lbl", "Shape1", "lblIntentos", "lblEncesto", "lblErro", "lblPorc"})
        QVERIFY2(qt::window(game)->findChild<QWidget *>(name), name);
}

void TestGame::statisticsPanelStartsEmpty()
{
    Form1 &game = instance<Form1>();
    QCOMPARE(text(game.Label2), QStringLiteral("Veces que tiró:"));
    QCOMPARE(text(game.Label3), QStringLiteral("Veces que encestó:"));
    QCOMPARE(text(game.Label4), QStringLiteral("Veces que erró:"));
    QCOMPARE(text(game.Label5), QStringLiteral("Efectividad:"));
    for (const Label *counter : {&game.lblIntentos, &game.lblEncesto, &game.lblErro, &game.lblPorc, &game.lbl})
        QVERIFY2(counter->caption().empty(), counter->name().c_str());
    QVERIFY(game.Frame1.visible());

    // The longest caption fits its 97-pixel label in the classic 8-point face.
    auto *label = qobject_cast<QLabel *>(qt::widget(game.Label3));
    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
             qPrintable(QString::number(label->fontMetrics().horizontalAdvance(label->text()))));
}

void TestGame::menusCarryCaptionsAndShortcuts()
{
    Form1 &game = instance<Form1>();
    QMenuBar *bar = qt::window(game)->findChild<QMenuBar *>();
    QVERIFY(bar);
    QStringList titles;
    for (QAction *action : bar->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList {"Archivo", "Herramientas", "Ayuda"}));

    QCOMPARE(qt::action(game.mnuSalir)->text(), QStringLiteral("Salir"));
    QCOMPARE(qt::action(game.mnuSalir)->shortcut(), QKeySequence(Qt::Key_F4));
    QCOMPARE(qt::action(game.mnuStats)->text(), QStringLiteral("Estadísticas visibles"));
    QCOMPARE(qt::action(game.mnuStats)->shortcut(), QKeySequence(Qt::Key_F8));
    QVERIFY(game.mnuStats.checked());
    QVERIFY(qt::action(game.mnuStats)->isChecked());
    QCOMPARE(qt::action(game.mnuAbout)->text(), QStringLiteral("Acerca..."));
    QCOMPARE(qt::action(game.mnuAbout)->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(!game.mnuSalir.checked());
}

void TestGame::tirarHasFocusAndTakesEnter()
{
    Form1 &game = shownGame();
    QCOMPARE(QApplication::focusWidget(), qt::widget(game.cmdTirar));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), qt::widget(game.cmdReset));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), qt::widget(game.cmdTirar));
}

void TestGame::targetLiesOnTheBallsLines()
{
    Form1 &game = instance<Form1>();
    const QRectF target = qt::widget(game.Shape1)->geometry();
    const QRectF horizontalBall = qt::widget(game.Picture2)->geometry().adjusted(0, 0, -1, -1); // less the slack pixel
    const QRectF verticalBall = qt::widget(game.Picture1)->geometry().adjusted(0, 0, -1, -1);
    QVERIFY(qAbs(target.center().y() - horizontalBall.center().y()) <= 1.0);
    QVERIFY(qAbs(target.center().x() + 2 - verticalBall.center().x()) <= 1.0); // 30 twips left
}

void TestGame::sweepSequences_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("paso");
    QTest::addColumn<int>("reversa");
    QTest::addColumn<QList<int>>("shown"); // -1: the tick showed nothing
    QTest::addColumn<int>("pasoAfter");
    QTest::addColumn<int>("reversaAfter");

    QTest::newRow("eight ticks up to stop 7")
        << false << 0 << 0 << QList<int> {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000} << 8 << -1;
    QTest::newRow("ninth tick shows stop 8")
        << false << 0 << 0 << QList<int> {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500} << 7 << -1;
    QTest::newRow("turning at the bottom") << false << 1 << -1 << QList<int> {1000} << 0 << 0;
    QTest::newRow("then climbs again") << false << 1 << -1 << QList<int> {1000, 600} << 1 << 0;
    QTest::newRow("vertical starting downwards rests three ticks")
        << true << 0 << -1 << QList<int> {0, -1, 0} << 1 << 0;
    QTest::newRow("vertical stops are uneven")
        << true << 0 << 0 << QList<int> {0, 500, 1000, 1500, 2000, 2300, 2700, 3100, 3500, 3100} << 6 << -1;
}

void TestGame::sweepSequences()
{
    QFETCH(bool, vertical);
    QFETCH(int, paso);
    QFETCH(int, reversa);
    QFETCH(QList<int>, shown);
    QFETCH(int, pasoAfter);
    QFETCH(int, reversaAfter);

    Form1 &game = instance<Form1>();
    Sweep sweep {game, vertical};
    game.paso = paso;
    game.reversa = reversa;
    for (int expected : shown) {
        const float before = sweep.coordinate();
        sweep.tick();
        QCOMPARE(sweep.coordinate(), expected < 0 ? before : float(expected));
    }
    QCOMPARE(game.paso.value(), pasoAfter);
    QCOMPARE(game.reversa.value(), reversaAfter);
}

void TestGame::fullSweepTurnsAtBothEnds()
{
    Form1 &game = instance<Form1>();
    QList<int> stops;
    for (int i = 0; i < 17; ++i) {
        game.Timer1_Timer();
        stops << int(game.Picture2.left());
    }
    // 0..8 and back to 1: sixteen ticks, each end shown once; then 0 again.
    QCOMPARE(stops, (QList<int> {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 4000, 3500, 3000, 2500, 2000,
                                 1500, 1000, 600}));
    QCOMPARE(game.paso.value(), 1);
    QCOMPARE(game.reversa.value(), 0);
}

void TestGame::sweepStartsFromStoredPositions()
{
    Form1 &game = instance<Form1>();
    QCOMPARE(game.Picture2.left(), 600.0f);
    QCOMPARE(game.Picture1.top(), 240.0f); // not one of the vertical stops
    QCOMPARE(game.paso.value(), 0);
    QCOMPARE(game.reversa.value(), 0);
    QVERIFY(game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(game.Timer1.interval(), 100);
    QCOMPARE(game.Timer2.interval(), 100);
    QCOMPARE(qt::widget(game.Picture2)->pos(), QPoint(40, 128));
    QCOMPARE(qt::widget(game.Picture1)->pos(), QPoint(184, 16));
}

void TestGame::tickWithoutStopMovesNothing()
{
    Form1 &game = instance<Form1>();
    game.paso = -1;
    game.reversa = 0;
    game.Timer1_Timer();
    QCOMPARE(game.Picture2.left(), 600.0f);
    QCOMPARE(game.paso.value(), 0);
    game.paso = 9;
    game.reversa = -1;
    game.Timer2_Timer();
    QCOMPARE(game.Picture1.top(), 240.0f);
    QCOMPARE(game.paso.value(), 8);
}

void TestGame::statisticsMenuPickTogglesPanel()
{
    Form1 &game = shownGame();
    qt::action(game.mnuStats)->trigger();
    QVERIFY(!game.Frame1.visible());
    QVERIFY(!qt::action(game.mnuStats)->isChecked());
    qt::action(game.mnuStats)->trigger();
    QVERIFY(game.Frame1.visible());
    QVERIFY(qt::action(game.mnuStats)->isChecked());
}

void TestGame::closingWindowEndsProgram()
{
    auto &app = Application::instance();
    Form1 &game = shownGame();
    qt::window(game)->close();
    QVERIFY(!isLoaded<Form1>());
    QTRY_VERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
}

void TestGame::realTimerStepsThroughConsecutiveStops()
{
    Form1 &game = runningGame();
    QList<float> seen {game.Picture2.left()};
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1100) {
        QTest::qWait(5);
        if (game.Picture2.left() != seen.last())
            seen << game.Picture2.left();
    }
    // About ten ticks in a second, each one stop further along.
    QVERIFY2(seen.size() >= 8, qPrintable(QString::number(seen.size())));
    const auto &stops = aim::horizontalStops;
    for (qsizetype i = 1; i < seen.size(); ++i) {
        const auto from = std::find(stops.begin(), stops.end(), int(seen[i - 1])) - stops.begin();
        const auto to = std::find(stops.begin(), stops.end(), int(seen[i])) - stops.begin();
        QVERIFY2(std::abs(to - from) == 1, qPrintable(QString("%1 -> %2").arg(seen[i - 1]).arg(seen[i])));
    }
}

QTEST_MAIN(TestGame)
#include "tst_game.moc"
