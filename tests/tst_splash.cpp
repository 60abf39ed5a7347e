// The start-up splash: what it shows, and how it gives way to the game.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "game/frmsplash.h"

#include <QtTest>
#include <QLabel>

using namespace forms;

namespace {

int openGameWindows()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String("Form1") && window->isVisible();
    return count;
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void showsProductAndVersion();
    void isBorderlessCentredAndOutOfTaskbar();
    void productNameUsesHeavyCondensedFace();
    void timerTickUnloadsSplashAndOpensGame();
    void keyOpensGameAtOnce();
    void timerAndKeyTogetherOpenOneGame();
    void heldKeyThatClosesAWindowDoesNotShoot_data();
    void heldKeyThatClosesAWindowDoesNotShoot();
    void clicksChangeNothing();
};

void TestSplash::showsProductAndVersion()
{
    frmSplash &splash = instance<frmSplash>();
    QCOMPARE(text(splash.lblVersion), QStringLiteral("Version 1.1.1"));
    QCOMPARE(text(splash.lblCompanyProduct), QStringLiteral("Tabrinex™"));
    QCOMPARE(text(splash.lblProductName), QStringLiteral("Korvo Game"));
    QCOMPARE(text(splash.lblPlatform), QStringLiteral("Para Windows 95/98/NT/2000/XP"));
    QVERIFY(!splash.lblCompany.caption().empty());
    QVERIFY(splash.Timer1.enabled());
    QCOMPARE(splash.Timer1.interval(), 1500);

    // White text on blue; the two right-aligned lines end at the same edge.
    auto *version = qobject_cast<QLabel *>(qt::widget(splash.lblVersion));
    QCOMPARE(version->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(version->palette().color(QPalette::Window), QColor(0, 0, 255));
    QCOMPARE(qt::widget(splash.lblVersion)->geometry().right(), qt::widget(splash.lblPlatform)->geometry().right());
    // Auto-sized labels show their whole text.
    for (const Label *label :
         {&splash.lblCompanyProduct, &splash.lblProductName, &splash.lblPlatform, &splash.lblVersion}) {
        auto *widget = qobject_cast<QLabel *>(qt::widget(*label));
        QVERIFY2(widget->fontMetrics().horizontalAdvance(widget->text()) <= widget->width(), label->name().c_str());
        QVERIFY2(qt::widget(splash.Frame1)->rect().contains(widget->geometry()), label->name().c_str());
    }
}

void TestSplash::isBorderlessCentredAndOutOfTaskbar()
{
    frmSplash &splash = startProgram();
    QWidget *window = qt::window(splash);
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY((window->windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    QCOMPARE(qt::client(splash)->size(), QSize(492, 283));
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY(qAbs(window->geometry().center().x() - screen.center().x()) <= 4);
    QVERIFY(qAbs(window->geometry().center().y() - screen.center().y()) <= 4);
}

void TestSplash::productNameUsesHeavyCondensedFace()
{
    frmSplash &splash = instance<frmSplash>();
    const QFontInfo info(qt::widget(splash.lblProductName)->font());
    const QStringList lookalikes {"Compacta Blk BT", "Roboto Condensed", "DejaVu Sans Condensed"};
    QVERIFY2(lookalikes.contains(info.family()), qPrintable(info.family()));
    QVERIFY(info.weight() >= QFont::Bold);
    QCOMPARE(info.pixelSize(), 37); // 27.75 points at 96 dpi
}

void TestSplash::timerTickUnloadsSplashAndOpensGame()
{
    frmSplash &splash = startProgram();
    splash.Timer1_Timer();
    QVERIFY(!isLoaded<frmSplash>());
    QVERIFY(isLoaded<Form1>());
    QVERIFY(qt::window(*loadedInstance<Form1>())->isVisible());
    QTest::qWait(20);
    QVERIFY(!Application::instance().hasEnded());
}

void TestSplash::keyOpensGameAtOnce()
{
    frmSplash &splash = startProgram();
    QTest::keyClick(qt::window(splash), Qt::Key_X);
    QVERIFY(!isLoaded<frmSplash>());
    QVERIFY(isLoaded<Form1>());
    Form1 *game = loadedInstance<Form1>();
    QVERIFY(qt::window(*game)->isVisible());

    // Past the splash's 1.5 s the program still runs, with the same one game.
    QTest::qWait(1700);
    QVERIFY(!Application::instance().hasEnded());
    QCOMPARE(loadedInstance<Form1>(), game);
    QCOMPARE(openGameWindows(), 1);
}

void TestSplash::timerAndKeyTogetherOpenOneGame()
{
    frmSplash &splash = startProgram();
    QWidget *window = qt::window(splash);
    qt::timer(splash.Timer1)->start(0); // falls due in the same turn as the key
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
    QTRY_VERIFY(isLoaded<Form1>());
    QTest::qWait(50);
    QVERIFY(!isLoaded<frmSplash>());
    QCOMPARE(openGameWindows(), 1);
    QCOMPARE(Application::instance().loadedForms().size(), size_t(1));
}

void TestSplash::heldKeyThatClosesAWindowDoesNotShoot_data()
{
    // An X server sends each repeat of a held key as a release and a press
    // with the same time, which Qt flags only when both have arrived (the
    // seam suite holds keys whose repeats are flagged). Enter closes the
    // splash through its key preview, and the About dialog through its OK
    // button.
    QTest::addColumn<bool>("flagged");
    QTest::addColumn<bool>("about");
    QTest::newRow("splash, repeats as release and press") << false << false;
    QTest::newRow("About, repeats as release and press") << false << true;
}

void TestSplash::heldKeyThatClosesAWindowDoesNotShoot()
{
    QFETCH(bool, flagged);
    QFETCH(bool, about);
    std::vector<std::string> boxes;
    Application::instance().setMessageBoxHook(
        [&](const std::string &, const std::string &text) { boxes.push_back(text); });
    // Enter as the window system delivers it, at a time in milliseconds.
    const auto enter = [](QWidget *window, bool press, ulong time, bool repeat) {
        const QString text = QStringLiteral("\r");
        if (press && qt_sendShortcutOverrideEvent(window, time, Qt::Key_Return, Qt::NoModifier, text, repeat))
            return;
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, text, repeat);
        event.setTimestamp(time);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::sendEvent(window, &event);
    };
    const auto repeat = [&](QWidget *window, ulong time) {
        enter(window, false, time, flagged);
        enter(window, true, time, flagged);
    };

    if (about) {
        Form1 &game = shownGame();
        QTest::keyClick(qt::window(game), Qt::Key_F1);
        QVERIFY(isLoaded<frmAbout>());
        QVERIFY(QTest::qWaitForWindowActive(qt::window(instance<frmAbout>())));
        enter(qt::window(instance<frmAbout>()), true, 1000, false);
        QVERIFY(!isLoaded<frmAbout>());
        qt::window(game)->activateWindow();
    } else {
        frmSplash &splash = startProgram();
        enter(qt::window(splash), true, 1000, false);
    }
    QVERIFY(isLoaded<Form1>());
    Form1 &game = *loadedInstance<Form1>();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(game)));

    // Still held: the key's repeats reach the game window and do nothing.
    for (ulong time = 1500; time < 1700; time += 40)
        repeat(qt::window(game), time);
    QVERIFY(game.Timer1.enabled());
    QVERIFY(!game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QString());
    QVERIFY(boxes.empty());
    QCOMPARE(text(game.lblIntentos), QString());

    // Released, then pressed again: Enter presses "Tirar", and held inside
    // the game it keeps pressing it.
    enter(qt::window(game), false, 2000, false);
    enter(qt::window(game), true, 2500, false);
    QVERIFY(game.Timer2.enabled());
    QCOMPARE(text(game.lbl), QStringLiteral("Ahora tirá la otra pelota"));
    repeat(qt::window(game), 3000);
    QCOMPARE(boxes, std::vector<std::string> {"Erraste"});
    QCOMPARE(text(game.lblIntentos), QStringLiteral("1"));
}

void TestSplash::clicksChangeNothing()
{
    frmSplash &splash = startProgram();
    QTest::mouseClick(qt::window(splash), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(qt::widget(splash.lblProductName), Qt::LeftButton);
    QTest::mouseClick(qt::widget(splash.Frame1), Qt::LeftButton);
    QVERIFY(isLoaded<frmSplash>());
    QVERIFY(!isLoaded<Form1>());
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
