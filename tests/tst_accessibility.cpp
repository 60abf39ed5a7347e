// What a screen reader finds in the windows, read through Qt's accessibility
// interfaces: names for everything a player can reach, counters with their
// values, pictures named after their artwork, message boxes as alerts.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "game/frmsplash.h"

#include <QtTest>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

using namespace forms;

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        qWarning("no accessible interface for %s", qPrintable(object->objectName()));
    return iface;
}

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString valueOf(const Control &control)
{
    QAccessibleInterface *iface = accessible(qt::widget(control));
    return iface ? iface->text(QAccessible::Value) : QString();
}

// The widgets that Tab reaches in a window.
QList<QWidget *> reachable(QWidget *window)
{
    QList<QWidget *> widgets;
    for (QWidget *widget : window->findChildren<QWidget *>())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window))
            widgets << widget;
    return widgets;
}

// The names of an accessible's children, in order.
QStringList childNames(QAccessibleInterface *iface)
{
    QStringList names;
    for (int i = 0; iface && i < iface->childCount(); ++i)
        names << iface->child(i)->text(QAccessible::Name);
    return names;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Korvo Game")); }
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void everyReachableControlHasAName_data();
    void everyReachableControlHasAName();
    void tirarCanBePressedByAScreenReader();
    void menusAreReadWithTheirItems();
    void statisticsPanelIsReadWithItsLabels();
    void countersReadWhatTheyCountAndTheirValue();
    void messageLineIsReadAsItsText();
    void picturesAreNamedGraphics();
    void splashWindowHasAName();
    void windowsAreAFrameAndADialog();
    void messageBoxIsAnAlert();
};

void TestAccessibility::everyReachableControlHasAName_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("game") << "Form1" << QStringList {"Tirar", "Reiniciar"};
    QTest::newRow("about") << "frmAbout" << QStringList {"OK", "System Info..."};
}

void TestAccessibility::everyReachableControlHasAName()
{
    QFETCH(QString, form);
    QFETCH(QStringList, names);
    Form &shown = formNamed(form.toStdString());
    shown.Show();
    QVERIFY(QTest::qWaitForWindowExposed(qt::window(shown)));

    QStringList found;
    for (QWidget *widget : reachable(qt::window(shown))) {
        const QString name = nameOf(widget);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName() + " has no accessible name"));
        found << name;
    }
    found.sort();
    names.sort();
    QCOMPARE(found, names);
    QVERIFY(!nameOf(qt::window(shown)).isEmpty());
}

void TestAccessibility::tirarCanBePressedByAScreenReader()
{
    Form1 &game = shownGame();
    QAccessibleInterface *iface = accessible(qt::widget(game.cmdTirar));
    QVERIFY(iface && iface->actionInterface());
    QCOMPARE(iface->role(), QAccessible::Button);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(game.Timer2.enabled());
    QCOMPARE(QString::fromStdString(game.lbl.caption()), QStringLiteral("Ahora tirá la otra pelota"));
}

void TestAccessibility::menusAreReadWithTheirItems()
{
    Form1 &game = shownGame();
    auto *bar = qt::window(game)->findChild<QMenuBar *>();
    QVERIFY(bar);
    QCOMPARE(childNames(accessible(bar)), (QStringList {"Archivo", "Herramientas", "Ayuda"}));
    QCOMPARE(childNames(accessible(qt::menu(game.geg))), QStringList {"Salir"});
    QCOMPARE(childNames(accessible(qt::menu(game.fhrfdh))), QStringList {"Acerca..."});

    QAccessibleInterface *tools = accessible(qt::menu(game.mnefwf));
    QVERIFY(tools);
    QCOMPARE(tools->childCount(), 1);
    QAccessibleInterface *stats = tools->child(0);
    QCOMPARE(stats->text(QAccessible::Name), QStringLiteral("Estadísticas visibles"));
    QVERIFY(stats->state().checkable);
    QVERIFY(stats->state().checked);
    game.mnuStats_Click();
    QVERIFY(!stats->state().checked);
}

void TestAccessibility::statisticsPanelIsReadWithItsLabels()
{
    Form1 &game = instance<Form1>();
    QCOMPARE(nameOf(qt::widget(game.Frame1)), QStringLiteral("Estadísticas"));
    QCOMPARE(nameOf(qt::widget(game.Label2)), QStringLiteral("Veces que tiró:"));
    QCOMPARE(nameOf(qt::widget(game.Label3)), QStringLiteral("Veces que encestó:"));
    QCOMPARE(nameOf(qt::widget(game.Label4)), QStringLiteral("Veces que erró:"));
    QCOMPARE(nameOf(qt::widget(game.Label5)), QStringLiteral("Efectividad:"));
}

void TestAccessibility::countersReadWhatTheyCountAndTheirValue()
{
    Form1 &game = shownGame();
    const std::vector<std::pair<Label *, QString>> counters {
        {&game.lblIntentos, "Veces que tiró"},
        {&game.lblEncesto, "Veces que encestó"},
        {&game.lblErro, "Veces que erró"},
        {&game.lblPorc, "Efectividad"},
    };
    for (const auto &[label, name] : counters) {
        QAccessibleInterface *iface = accessible(qt::widget(*label));
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Value), QString()); // nothing counted yet
        QVERIFY(iface->valueInterface());
        QCOMPARE(iface->valueInterface()->currentValue().toDouble(), 0.0);
    }

    // One basket: both balls frozen on their middle stop.
    Application::instance().setMessageBoxHook([](const std::string &, const std::string &) {});
    game.paso = 4;
    game.Timer1_Timer();
    game.cmdTirar.click();
    game.paso = 4;
    game.Timer2_Timer();
    game.cmdTirar.click();

    QCOMPARE(valueOf(game.lblIntentos), QStringLiteral("1"));
    QCOMPARE(valueOf(game.lblEncesto), QStringLiteral("1"));
    QCOMPARE(valueOf(game.lblErro), QString());
    QCOMPARE(valueOf(game.lblPorc), QStringLiteral("100"));
    QCOMPARE(accessible(qt::widget(game.lblPorc))->valueInterface()->currentValue().toDouble(), 100.0);
    // The name stays what the label counts, whatever the count.
    QCOMPARE(nameOf(qt::widget(game.lblPorc)), QStringLiteral("Efectividad"));
}

void TestAccessibility::messageLineIsReadAsItsText()
{
    Form1 &game = shownGame();
    QAccessibleInterface *iface = accessible(qt::widget(game.lbl));
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::StaticText);
    game.cmdTirar.click();
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Ahora tirá la otra pelota"));
    QCOMPARE(nameOf(qt::widget(game.Label1)), QStringLiteral("www.tabrinex.com.ar"));
}

void TestAccessibility::picturesAreNamedGraphics()
{
    Form1 &game = instance<Form1>();
    frmSplash &splash = instance<frmSplash>();
    frmAbout &about = instance<frmAbout>();
    const std::vector<std::pair<const Control *, QString>> pictures {
        {&game.Picture1, "Pelota de básquet"},
        {&game.Picture2, "Pelota de básquet"},
        {&game.Picture3, "Un jugador volcando la pelota en el aro"},
        {&game.Picture4, "Logo de Korvo"},
        {&splash.imgLogo, "Una mano mete la pelota en el aro"},
        {&splash.Image1, "Un jugador vuela hacia el aro en un estadio"},
        {&about.picIcon, "Logo de Korvo"},
    };
    for (const auto &[picture, name] : pictures) {
        QAccessibleInterface *iface = accessible(qt::widget(*picture));
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Graphic);
        QCOMPARE(iface->text(QAccessible::Name), name);
    }
}

void TestAccessibility::splashWindowHasAName()
{
    // The splash has no title bar: it is named after the program.
    frmSplash &splash = instance<frmSplash>();
    QVERIFY(qt::window(splash)->windowTitle().isEmpty());
    QCOMPARE(nameOf(qt::window(splash)), QStringLiteral("Korvo Game"));
    QCOMPARE(nameOf(qt::window(instance<Form1>())), QStringLiteral("Korvo Game"));
    QCOMPARE(nameOf(qt::window(instance<frmAbout>())), QStringLiteral("Acerca del autor"));
}

void TestAccessibility::windowsAreAFrameAndADialog()
{
    // A screen reader announces a frame or a dialog when it comes up.
    QAccessibleInterface *game = accessible(qt::window(instance<Form1>()));
    QAccessibleInterface *about = accessible(qt::window(instance<frmAbout>()));
    QVERIFY(game && about);
    QCOMPARE(game->role(), QAccessible::Window);
    QCOMPARE(game->text(QAccessible::Name), QStringLiteral("Korvo Game"));
    QCOMPARE(about->role(), QAccessible::Dialog);
    QCOMPARE(about->text(QAccessible::Name), QStringLiteral("Acerca del autor"));
}

void TestAccessibility::messageBoxIsAnAlert()
{
    // The real box, closed from a timer once it is up.
    Form1 &game = shownGame();
    QAccessible::Role role = QAccessible::NoRole;
    QString name, value;
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (QAccessibleInterface *iface = accessible(box)) {
            role = iface->role();
            name = iface->text(QAccessible::Name);
            value = iface->text(QAccessible::Value);
        }
        QTest::keyClick(box, Qt::Key_Return);
    });
    closer.start();
    game.cmdTirar.click();
    game.cmdTirar.click(); // the vertical ball has not moved: a miss
    closer.stop();
    QCOMPARE(role, QAccessible::AlertMessage);
    QCOMPARE(name, QStringLiteral("Korvo"));
    QCOMPARE(value, QStringLiteral("Erraste"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
