// The forms runtime on Qt, where only Qt can show it: an unloaded form's
// window destroyed, the end check asleep behind a box waiting in Qt's nested
// event loop, and the real QMessageBox. The rest is the seam suite's.

#include "runtime/qt/native.h"
#include "fixture.h"
#include "runtime/application.h"
#include "seam/testforms.h"

#include <QtTest>
#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <ctime>

using namespace forms;

namespace {

// What the process has spent on the processor so far, in milliseconds.
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void unloadedFormsWindowIsDestroyed();
    void endCheckWaitsQuietlyBehindAMessageBox();
    void realMessageBoxHasTitleAndOneButton();
};

void TestRuntime::unloadedFormsWindowIsDestroyed()
{
    TestForm &first = instance<TestForm>();
    first.Show();
    QPointer<QWidget> oldWindow = qt::window(first);
    Unload(first);
    QVERIFY(!oldWindow->isVisible());
    QTRY_VERIFY(oldWindow.isNull()); // destroyed once no handler runs
}

void TestRuntime::endCheckWaitsQuietlyBehindAMessageBox()
{
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    OtherForm &other = instance<OtherForm>();
    int wakeUps = 0;
    double cpu = 0;
    bool endedDuringBox = false;
    app.setMessageBoxHook([&](const std::string &, const std::string &) {
        // Half a second of the player reading the box, in a nested event
        // loop as a real box runs one.
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        const auto counter = connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
        const double before = cpuMilliseconds();
        QEventLoop wait;
        QTimer::singleShot(500, &wait, &QEventLoop::quit);
        wait.exec();
        cpu = cpuMilliseconds() - before;
        disconnect(counter);
        endedDuringBox = app.hasEnded();
    });

    // One burst of input: a form unloads, then a handler waits in a box.
    Dispatcher::instance().dispatch(nullptr, [&] { Unload(other); });
    Dispatcher::instance().dispatch(nullptr, [] { MsgBox("espera"); });
    QVERIFY2(wakeUps < 50, qPrintable(QStringLiteral("%1 wake-ups during the box").arg(wakeUps)));
    QVERIFY2(cpu < 150, qPrintable(QStringLiteral("%1 ms of processor during the box").arg(cpu)));
    QVERIFY(!endedDuringBox);
    QTest::qWait(20);
    QVERIFY(!app.hasEnded()); // one form is still loaded

    // The last form goes from a handler that then waits in a box: the program
    // ends once that handler has returned, not before.
    wakeUps = 0;
    Dispatcher::instance().dispatch(nullptr, [&] {
        Unload(form);
        MsgBox("adiós");
    });
    QVERIFY2(wakeUps < 50, qPrintable(QStringLiteral("%1 wake-ups during the box").arg(wakeUps)));
    QVERIFY(!endedDuringBox);
    QTRY_VERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
}

void TestRuntime::realMessageBoxHasTitleAndOneButton()
{
    TestForm &form = instance<TestForm>();
    form.Show();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(form)));
    QString title, text;
    int buttons = -1;
    bool answered = false;
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        buttons = box->buttons().size();
        QTest::keyClick(box, Qt::Key_Return);
        answered = true;
    });
    closer.start();
    form.cmdOther.onClick([] { MsgBox("Encestaste!!!!!!!"); });
    form.cmdOther.click();
    closer.stop();
    QVERIFY(answered);
    QCOMPARE(title, QStringLiteral("Korvo"));
    QCOMPARE(text, QStringLiteral("Encestaste!!!!!!!"));
    QCOMPARE(buttons, 1);
}

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
