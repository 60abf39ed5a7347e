// The About dialog as a player meets it from the game window, and its
// "System Info..." button on an in-memory system.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "sysinfomemory.h"

#include <QtTest>
#include <QLabel>
#include <QPushButton>

using namespace forms;

namespace {

int openAboutWindows()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String("frmAbout") && window->isVisible();
    return count;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        startTest();
        auto memory = std::make_unique<sysinfo::MemoryPlatform>();
        m_system = memory.get();
        frmAbout::platform() = std::move(memory);
    }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void dialogShowsTitleVersionAndText();
    void dialogIsAToolWindowAtItsPlace();
    void reopenedDialogLoadsAfresh();
    void sweepKeepsRunningWhileOpen();
    void closingGameFirstKeepsProgramUntilDialogCloses();

    void sysInfoStartsRegisteredTool();
    void sysInfoWithoutToolSaysUnavailable();
    void sysInfoAccessKeyIsAltS();

private:
    sysinfo::MemoryPlatform *m_system = nullptr;
};

void TestAbout::dialogShowsTitleVersionAndText()
{
    frmAbout &about = instance<frmAbout>();
    QCOMPARE(QString::fromStdString(about.caption()), QStringLiteral("Acerca del autor"));
    QCOMPARE(QString::fromStdString(about.lblVersion.caption()), QStringLiteral("Versión 1.1"));
    QCOMPARE(QString::fromStdString(about.lblTitle.caption()), QStringLiteral("Tabrinex Korvo Game"));
    const QString description = QString::fromStdString(about.lblDescription.caption());
    QVERIFY(description.startsWith(
        QStringLiteral("Muchas gracias por usar este programa. Para más información, ayuda, trucos y más visite ")));
    QVERIFY(description.contains(QStringLiteral(" y ")));
    QVERIFY(qobject_cast<QLabel *>(qt::widget(about.lblDescription))->wordWrap());

    auto *ok = qobject_cast<QPushButton *>(qt::widget(about.cmdOK));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(qobject_cast<QPushButton *>(qt::widget(about.cmdSysInfo))->text(), QStringLiteral("&System Info..."));
    QCOMPARE(qt::widget(about.picIcon)->size(), QSize(94, 42)); // 90 x 38 plus the border
    QCOMPARE(qt::client(about)->size(), QSize(382, 237));
}

void TestAbout::dialogIsAToolWindowAtItsPlace()
{
    Form1 &game = shownGame();
    frmAbout &about = openAbout(game);
    QWidget *window = qt::window(about);
    QCOMPARE(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->pos(), window->screen()->geometry().topLeft() + QPoint(156, 126)); // 2340, 1890 twips
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(window->parentWidget() == nullptr); // no owner
}

void TestAbout::reopenedDialogLoadsAfresh()
{
    Form1 &game = shownGame();
    frmAbout &first = openAbout(game);
    first.lblVersion.setCaption("cambiado");
    QTest::keyClick(qt::window(first), Qt::Key_Escape);
    QVERIFY(!isLoaded<frmAbout>());
    qt::window(game)->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(game)));
    frmAbout &second = openAbout(game);
    QCOMPARE(QString::fromStdString(second.lblVersion.caption()), QStringLiteral("Versión 1.1"));
    QCOMPARE(openAboutWindows(), 1);
}

void TestAbout::sweepKeepsRunningWhileOpen()
{
    Form1 &game = runningGame();
    openAbout(game);
    const float start = game.Picture2.left();
    QTRY_VERIFY(game.Picture2.left() != start);
    QVERIFY(game.Timer1.enabled());
}

void TestAbout::closingGameFirstKeepsProgramUntilDialogCloses()
{
    auto &app = Application::instance();
    Form1 &game = shownGame();
    frmAbout &about = openAbout(game);
    qt::window(game)->close();
    QVERIFY(!isLoaded<Form1>());
    QTest::qWait(50);
    QVERIFY(!app.hasEnded());
    QVERIFY(qt::window(about)->isVisible());
    QTest::keyClick(qt::window(about), Qt::Key_Escape);
    QTRY_VERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
}

void TestAbout::sysInfoStartsRegisteredTool()
{
    m_system->setString(sysinfo::HKeyLocalMachine, sysinfo::MsinfoKey, "PATH",
                        "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    std::vector<std::string> boxes;
    Application::instance().setMessageBoxHook(
        [&](const std::string &, const std::string &text) { boxes.push_back(text); });
    frmAbout &about = instance<frmAbout>();
    about.Show();
    QTest::mouseClick(qt::widget(about.cmdSysInfo), Qt::LeftButton);
    QVERIFY(boxes.empty());
    QCOMPARE(m_system->started(),
             (std::vector<std::string> {"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"}));
    QVERIFY(isLoaded<frmAbout>()); // the dialog stays open
}

void TestAbout::sysInfoWithoutToolSaysUnavailable()
{
    std::vector<std::pair<std::string, std::string>> boxes;
    Application::instance().setMessageBoxHook(
        [&](const std::string &title, const std::string &text) { boxes.emplace_back(title, text); });
    frmAbout &about = instance<frmAbout>();
    about.cmdSysInfo.click();
    QCOMPARE(boxes.size(), size_t(1));
    QCOMPARE(QString::fromStdString(boxes[0].first), QStringLiteral("Korvo"));
    QCOMPARE(QString::fromStdString(boxes[0].second), QStringLiteral("System Information Is Unavailable At This Time"));
    QVERIFY(m_system->started().empty());
    std::string value = "sin tocar";
    QVERIFY(!about.GetKeyValue(sysinfo::HKeyLocalMachine, sysinfo::MsinfoKey, "PATH", value));
    QVERIFY(value.empty());
}

void TestAbout::sysInfoAccessKeyIsAltS()
{
    m_system->setString(sysinfo::HKeyLocalMachine, sysinfo::MsinfoKey, "PATH", "C:\\msinfo32.exe");
    Form1 &game = shownGame();
    frmAbout &about = openAbout(game);
    QTest::keyClick(qt::window(about), Qt::Key_S, Qt::AltModifier);
    // An access key presses its button the way a click looks: down, then up.
    QTRY_COMPARE(m_system->started(), (std::vector<std::string> {"C:\\msinfo32.exe"}));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
