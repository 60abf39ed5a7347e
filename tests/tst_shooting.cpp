// Shooting and statistics, played as a player plays: through the real
// buttons and keys, with every message box answered.

#include "game/aim.h"
#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "game/shot.h"

#include <QtTest>

using namespace forms;

namespace {

struct Box
{
    QString text;
    QStringList countersWhileOpen; // attempts, baskets, misses, effectiveness
};

class Player
{
public:
    explicit Player(Form1 &game) : m_game(game)
    {
        Application::instance().setMessageBoxHook([this](const std::string &title, const std::string &text) {
            QCOMPARE(QString::fromStdString(title), QStringLiteral("Korvo"));
            boxes.push_back({QString::fromStdString(text), counters()});
        });
    }

    QStringList counters() const
    {
        QStringList values;
        for (const Label *label : {&m_game.lblIntentos, &m_game.lblEncesto, &m_game.lblErro, &m_game.lblPorc})
            values << QString::fromStdString(label->caption());
        return values;
    }

    void enter() { QTest::keyClick(qt::window(m_game), Qt::Key_Return); }
    void reset() { QTest::mouseClick(qt::widget(m_game.cmdReset), Qt::LeftButton); }

    // Puts the running sweep's ball on a stop with one tick.
    void tickTo(int stop)
    {
        m_game.paso = stop;
        m_game.Timer1.enabled() ? m_game.Timer1_Timer() : m_game.Timer2_Timer();
    }

    // One whole shot from the horizontal aim: freeze at hStop, then at vStop.
    void shoot(int hStop, int vStop)
    {
        tickTo(hStop);
        enter();
        tickTo(vStop);
        enter();
    }

    void basket() { shoot(4, 4); }
    void miss() { shoot(3, 4); }

    std::vector<Box> boxes;

private:
    Form1 &m_game;
};

} // namespace

class TestShooting : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void targetZoneHasStrictBounds_data();
    void targetZoneHasStrictBounds();
    void onlyTheInnerStopsScore();
    void verticalBallReadOnlyWhenHorizontalInside();

    void firstPressFreezesHorizontalBall();
    void firstJudgedShotCounts_data();
    void firstJudgedShotCounts();
    void countersChangeOnlyAfterOk();
    void effectivenessRoundsHalvesToEven_data();
    void effectivenessRoundsHalvesToEven();
    void secondPressBeforeVerticalTickMisses();
    void tirarAfterJudgedShotOnlyAsksForReset();
    void countersKeepCountingWhilePanelHidden();

    void resetDuringHorizontalAimRestarts();
    void resetAfterJudgedShotStartsNextShot();
    void resetDuringVerticalAimRunsBothSweeps();
    void tirarWhileBothSweepsRunStopsHorizontal();
    void tirarKeepsDirection();

    void enterPressesTirarAfterResetClicked();
    void spacePressesFocusedButton();
};

void TestShooting::targetZoneHasStrictBounds_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::addColumn<bool>("scores");
    QTest::newRow("2100, 1500") << 2100.0f << 1500.0f << true;
    QTest::newRow("2099 is outside") << 2099.0f << 2000.0f << false;
    QTest::newRow("3198, 2300") << 3198.0f << 2300.0f << true;
    QTest::newRow("3199 is outside") << 3199.0f << 2000.0f << false;
    QTest::newRow("1499 is outside") << 2500.0f << 1499.0f << false;
    QTest::newRow("2301 is outside") << 2500.0f << 2301.0f << false;
    QTest::newRow("2099.5 is inside") << 2099.5f << 1499.5f << true;
}

void TestShooting::targetZoneHasStrictBounds()
{
    QFETCH(float, left);
    QFETCH(float, top);
    QFETCH(bool, scores);
    QCOMPARE(shot::scores(left, [top] { return top; }), scores);
}

void TestShooting::onlyTheInnerStopsScore()
{
    // Of all 81 pairs of stops only Left 2500 or 3000 with Top 1500, 2000 or
    // 2300 score; Left 2000 and Top 2700 are near misses.
    for (int left : aim::horizontalStops) {
        for (int top : aim::verticalStops) {
            const bool expected = (left == 2500 || left == 3000) && (top == 1500 || top == 2000 || top == 2300);
            QVERIFY2(shot::scores(float(left), [top] { return float(top); }) == expected,
                     qPrintable(QString("%1, %2").arg(left).arg(top)));
        }
    }
}

void TestShooting::verticalBallReadOnlyWhenHorizontalInside()
{
    int reads = 0;
    const auto top = [&reads] {
        ++reads;
        return 2000.0f;
    };
    QVERIFY(!shot::scores(2000.0f, top));
    QCOMPARE(reads, 0);
    QVERIFY(shot::scores(2500.0f, top));
    QCOMPARE(reads, 1);
}

void TestShooting::firstPressFreezesHorizontalBall()
{
    Form1 &game = shownGame();
    Player player(game);
    player.tickTo(4);
    player.enter();
    QVERIFY(!game.Timer1.enabled());
    QVERIFY(game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QStringLiteral("Ahora tirá la otra pelota"));
    QCOMPARE(game.paso.value(), 0);
    QVERIFY(player.boxes.empty());
    // The horizontal ball stays frozen while the vertical one sweeps.
    game.Timer2_Timer();
    game.Timer2_Timer();
    QCOMPARE(game.Picture2.left(), 2500.0f);
    QCOMPARE(game.Picture1.top(), 500.0f);
}

void TestShooting::firstJudgedShotCounts_data()
{
    QTest::addColumn<int>("hStop");
    QTest::addColumn<int>("vStop");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("counters");
    QTest::newRow("basket at 2500, 2300") << 4 << 5 << "Encestaste!!!!!!!" << QStringList {"1", "1", "", "100"};
    QTest::newRow("basket at 3000, 1500") << 5 << 3 << "Encestaste!!!!!!!" << QStringList {"1", "1", "", "100"};
    QTest::newRow("near miss at 2000, 2000") << 3 << 4 << "Erraste" << QStringList {"1", "", "1", "0"};
    QTest::newRow("near miss at 2500, 2700") << 4 << 6 << "Erraste" << QStringList {"1", "", "1", "0"};
}

void TestShooting::firstJudgedShotCounts()
{
    QFETCH(int, hStop);
    QFETCH(int, vStop);
    QFETCH(QString, message);
    QFETCH(QStringList, counters);

    Form1 &game = shownGame();
    Player player(game);
    player.shoot(hStop, vStop);
    QCOMPARE(player.boxes.size(), size_t(1));
    QCOMPARE(player.boxes[0].text, message);
    QCOMPARE(player.counters(), counters);
    QCOMPARE(text(game.lbl), QString());
    QVERIFY(!game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(game.paso.value(), 0);
}

void TestShooting::countersChangeOnlyAfterOk()
{
    Form1 &game = shownGame();
    Player player(game);
    player.basket();
    player.reset();
    player.miss();
    QCOMPARE(player.boxes.size(), size_t(2));
    QCOMPARE(player.boxes[0].countersWhileOpen, (QStringList {"", "", "", ""}));
    QCOMPARE(player.boxes[1].countersWhileOpen, (QStringList {"1", "1", "", "100"}));
    QCOMPARE(player.counters(), (QStringList {"2", "1", "1", "50"}));
}

void TestShooting::effectivenessRoundsHalvesToEven_data()
{
    QTest::addColumn<QString>("shots"); // B basket, M miss
    QTest::addColumn<QStringList>("counters");
    QTest::newRow("1 of 3") << "BMM" << QStringList {"3", "1", "2", "33"};
    QTest::newRow("2 of 3") << "BBM" << QStringList {"3", "2", "1", "67"};
    QTest::newRow("1 of 8 is 12.5") << "MMMBMMMM" << QStringList {"8", "1", "7", "12"};
    QTest::newRow("3 of 8 is 37.5") << "BMBMBMMM" << QStringList {"8", "3", "5", "38"};
    QTest::newRow("1 of 2 is 50") << "MB" << QStringList {"2", "1", "1", "50"};
}

void TestShooting::effectivenessRoundsHalvesToEven()
{
    QFETCH(QString, shots);
    QFETCH(QStringList, counters);
    Form1 &game = shownGame();
    Player player(game);
    for (QChar shot : shots) {
        shot == 'B' ? player.basket() : player.miss();
        player.reset();
    }
    QCOMPARE(player.counters(), counters);
    QCOMPARE(int(player.boxes.size()), int(shots.size()));
}

void TestShooting::secondPressBeforeVerticalTickMisses()
{
    Form1 &game = shownGame();
    Player player(game);
    // The very first shot: the vertical ball still stands at its stored Top 240.
    player.tickTo(4);
    player.enter();
    player.enter();
    QCOMPARE(game.Picture1.top(), 240.0f);
    QCOMPARE(player.boxes.back().text, QStringLiteral("Erraste"));

    // After Reiniciar it stands at Top 0.
    player.reset();
    QCOMPARE(game.Picture1.top(), 0.0f);
    player.tickTo(5);
    player.enter();
    player.enter();
    QCOMPARE(player.boxes.back().text, QStringLiteral("Erraste"));
    QCOMPARE(player.counters(), (QStringList {"2", "", "2", "0"}));
}

void TestShooting::tirarAfterJudgedShotOnlyAsksForReset()
{
    Form1 &game = shownGame();
    Player player(game);
    player.basket();
    game.paso = 6;
    for (int i = 0; i < 3; ++i)
        player.enter();
    QCOMPARE(player.boxes.size(), size_t(4));
    for (size_t i = 1; i < 4; ++i)
        QCOMPARE(player.boxes[i].text, QStringLiteral("Presione reiniciar para tirar de nuevo"));
    QCOMPARE(player.counters(), (QStringList {"1", "1", "", "100"}));
    QVERIFY(!game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(game.paso.value(), 0);
}

void TestShooting::countersKeepCountingWhilePanelHidden()
{
    Form1 &game = shownGame();
    Player player(game);
    QTest::keyClick(qt::window(game), Qt::Key_F8);
    QVERIFY(!game.Frame1.visible());
    player.miss();
    QTest::keyClick(qt::window(game), Qt::Key_F8);
    QVERIFY(game.Frame1.visible());
    QCOMPARE(player.counters(), (QStringList {"1", "", "1", "0"}));
}

void TestShooting::resetDuringHorizontalAimRestarts()
{
    Form1 &game = shownGame();
    Player player(game);
    player.tickTo(7);
    game.reversa = -1;
    player.reset();
    QVERIFY(game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(game.paso.value(), 0);
    QCOMPARE(game.reversa.value(), 0);
    QCOMPARE(game.Picture1.top(), 0.0f);
    QCOMPARE(game.Picture2.left(), 4000.0f); // moves only at the next tick
    game.Timer1_Timer();
    QCOMPARE(game.Picture2.left(), 600.0f);
}

void TestShooting::resetAfterJudgedShotStartsNextShot()
{
    Form1 &game = shownGame();
    Player player(game);
    player.basket();
    player.reset();
    QVERIFY(game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QString());
    QCOMPARE(player.counters(), (QStringList {"1", "1", "", "100"})); // never reset
}

void TestShooting::resetDuringVerticalAimRunsBothSweeps()
{
    Form1 &game = shownGame();
    Player player(game);
    player.tickTo(2);
    player.enter(); // vertical aim
    QCOMPARE(text(game.lbl), QStringLiteral("Ahora tirá la otra pelota"));
    player.reset();
    QVERIFY(game.Timer1.enabled());
    QVERIFY(game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QString());

    // Both ticks advance the one shared index: each ball shows every other stop.
    game.Timer1_Timer();
    game.Timer2_Timer();
    game.Timer1_Timer();
    game.Timer2_Timer();
    QCOMPARE(game.Picture2.left(), 1500.0f); // stops 0, 2
    QCOMPARE(game.Picture1.top(), 1500.0f);  // stops 1, 3
    QCOMPARE(game.paso.value(), 4);

    player.reset(); // stays with both running
    QVERIFY(game.Timer1.enabled());
    QVERIFY(game.Timer2.enabled());
    QVERIFY(player.boxes.empty());
}

void TestShooting::tirarWhileBothSweepsRunStopsHorizontal()
{
    Form1 &game = shownGame();
    Player player(game);
    player.tickTo(2);
    player.enter();
    player.reset();
    player.enter(); // both running: only the horizontal sweep stops
    QVERIFY(!game.Timer1.enabled());
    QVERIFY(game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QStringLiteral("Ahora tirá la otra pelota"));
    QVERIFY(player.boxes.empty());
    player.tickTo(4);
    player.enter();
    QCOMPARE(player.boxes.size(), size_t(1));
    QCOMPARE(player.counters()[0], QStringLiteral("1"));
}

void TestShooting::tirarKeepsDirection()
{
    Form1 &game = shownGame();
    Player player(game);
    // Stop the horizontal ball while it counts down: the vertical sweep starts
    // with reversa still -1 and rests three ticks on its first stop.
    game.paso = 6;
    game.reversa = -1;
    game.Timer1_Timer();
    player.enter();
    QCOMPARE(game.paso.value(), 0);
    QCOMPARE(game.reversa.value(), -1);
    QList<float> tops;
    for (int i = 0; i < 4; ++i) {
        game.Timer2_Timer();
        tops << game.Picture1.top();
    }
    QCOMPARE(tops, (QList<float> {0.0f, 0.0f, 0.0f, 500.0f}));
}

void TestShooting::enterPressesTirarAfterResetClicked()
{
    Form1 &game = shownGame();
    Player player(game);
    player.reset();
    QCOMPARE(QApplication::focusWidget(), qt::widget(game.cmdReset));
    player.enter();
    QVERIFY(!game.Timer1.enabled());
    QVERIFY(game.Timer2.enabled());
}

void TestShooting::spacePressesFocusedButton()
{
    Form1 &game = shownGame();
    Player player(game);
    player.enter(); // vertical aim
    qt::widget(game.cmdReset)->setFocus();
    QTest::keyClick(qt::widget(game.cmdReset), Qt::Key_Space);
    QVERIFY(game.Timer1.enabled()); // Reiniciar, not Tirar
    QVERIFY(game.Timer2.enabled());
    qt::widget(game.cmdTirar)->setFocus();
    QTest::keyClick(qt::widget(game.cmdTirar), Qt::Key_Space);
    QVERIFY(!game.Timer1.enabled());
}

QTEST_MAIN(TestShooting)
#include "tst_shooting.moc"
