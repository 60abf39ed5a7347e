// The forms runtime: numbers and texts, form lifetime, keys, timers, message
// boxes and the dispatch point, driven through real windows where it matters.

#include "runtime/qt/native.h"
#include "fixture.h"
#include "runtime/application.h"
#include "runtime/basic.h"
#include "runtime/controls.h"
#include "runtime/form.h"

#include <QtTest>
#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <ctime>
#include <limits>

using namespace forms;

namespace {

// A small form with the pieces the runtime offers, counting what happens.
class TestForm : public Form
{
public:
    static inline int loads = 0;

    TestForm()
        : Form(
            "TestForm",
            {.caption = "Prueba", .clientWidth = 4500, .clientHeight = 3000, .borderStyle = BorderStyle::FixedSingle}),
          cmdOK(*this, "cmdOK", {150, 150, 1200, 375}, {.caption = "OK", .tabIndex = 1, .isDefault = true}),
          cmdOther(*this, "cmdOther", {150, 750, 1200, 375}, {.caption = "Otro", .tabIndex = 0}),
          cmdCancel(*this, "cmdCancel", {150, 1350, 1200, 375},
                    {.caption = "Cancelar", .tabIndex = 2, .isCancel = true}),
          lblRight(*this, "lblRight", {1500, 150, 2400, 285},
                   {.caption = "x", .alignment = Alignment::Right, .autoSize = true}),
          imgBall(*this, "imgBall", {1500, 1500, 1035, 1095}, {.picture = "none"}),
          Timer1(*this, "Timer1", 10, false)
    {
        cmdOK.onClick([this] { ++okClicks; });
        cmdOther.onClick([this] { ++otherClicks; });
        cmdCancel.onClick([this] { ++cancelClicks; });
        Timer1.onTimer([this] { ++ticks; });
    }

    void Form_Load() override
    {
        ++loads;
        ++myLoads;
    }

    CommandButton cmdOK;
    CommandButton cmdOther;
    CommandButton cmdCancel;
    Label lblRight;
    Image imgBall;
    Timer Timer1;
    int okClicks = 0, otherClicks = 0, cancelClicks = 0, ticks = 0, myLoads = 0;
};

class PreviewForm : public Form
{
public:
    PreviewForm() : Form("PreviewForm", {.clientWidth = 3000, .clientHeight = 1500, .keyPreview = true}) { }
    void Form_KeyPress(int &KeyAscii) override
    {
        keys.push_back(KeyAscii);
        if (KeyAscii == 'q')
            Unload(*this);
        if (KeyAscii == 'z')
            KeyAscii = 0;
    }
    std::vector<int> keys;
};

class OtherForm : public Form
{
public:
    OtherForm() : Form("OtherForm", {.clientWidth = 1500, .clientHeight = 1500}) { }
};

// What the process has spent on the processor so far, in milliseconds.
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

TestForm &shownTestForm()
{
    TestForm &form = instance<TestForm>();
    form.Show();
    if (!QTest::qWaitForWindowActive(qt::window(form)))
        qWarning("the test form did not become active");
    return form;
}

} // namespace

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void valReadsLeadingNumber_data();
    void valReadsLeadingNumber();
    void valOverflowsBeyondDouble();
    void roundingTiesToEven_data();
    void roundingTiesToEven();
    void numberToTextIsPlainDigits_data();
    void numberToTextIsPlainDigits();
    void integerArithmeticOverflows();
    void colorsResolveToClassicScheme();

    void formLoadsOnFirstUseOnly();
    void unloadedFormComesBackFresh();
    void programEndsWhenLastFormUnloads();
    void endCheckWaitsQuietlyBehindAMessageBox();
    void closeBoxUnloadsForm();
    void endUnloadsEverythingAndStopsEvents();

    void enterPressesDefaultButtonFromAnywhere();
    void escapePressesCancelButton();
    void spacePressesFocusedButton();
    void firstFocusFollowsTabIndex();
    void keyPreviewSeesCharactersFirst();

    void timerTicksWhileEnabled();
    void ticksWaitWhileMessageBoxIsOpen();
    void untrappedErrorIsReportedAndEndsProgram();
    void realMessageBoxHasTitleAndOneButton();

    void imageKeepsSinglePrecisionTwips();
    void rightAlignedAutoSizeLabelKeepsRightEdge();
};

void TestRuntime::valReadsLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("digits") << "42" << 42.0;
    QTest::newRow("leading blanks and trailing text") << "  12abc" << 12.0;
    QTest::newRow("tab and newline skipped") << "\t\n7" << 7.0;
    QTest::newRow("blanks inside") << "1 2 3" << 123.0;
    QTest::newRow("negative") << "-3.5" << -3.5;
    QTest::newRow("plus sign") << "+8" << 8.0;
    QTest::newRow("leading point") << ".25" << 0.25;
    QTest::newRow("second point ends it") << "3.2.1" << 3.2;
    QTest::newRow("comma ends it") << "1,5" << 1.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("unfinished exponent") << "12e" << 12.0;
    QTest::newRow("letters first") << "abc12" << 0.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
}

void TestRuntime::valReadsLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Val(text.toStdString()), value);
}

void TestRuntime::valOverflowsBeyondDouble()
{
    try {
        Val("1e400");
        QFAIL("no overflow");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), errors::Overflow);
    }
}

void TestRuntime::roundingTiesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("0.5 to 0") << 0.5 << 0 << false;
    QTest::newRow("1.5 to 2") << 1.5 << 2 << false;
    QTest::newRow("2.5 to 2") << 2.5 << 2 << false;
    QTest::newRow("12.5 to 12") << 12.5 << 12 << false;
    QTest::newRow("37.5 to 38") << 37.5 << 38 << false;
    QTest::newRow("-1.5 to -2") << -1.5 << -2 << false;
    QTest::newRow("-2.5 to -2") << -2.5 << -2 << false;
    QTest::newRow("33.33 to 33") << 100.0 / 3 << 33 << false;
    QTest::newRow("66.67 to 67") << 200.0 / 3 << 67 << false;
    QTest::newRow("largest") << 32767.0 << 32767 << false;
    QTest::newRow("32767.4") << 32767.4 << 32767 << false;
    QTest::newRow("32767.5 overflows") << 32767.5 << 0 << true;
    QTest::newRow("32768 overflows") << 32768.0 << 0 << true;
    QTest::newRow("smallest") << -32768.0 << -32768 << false;
    QTest::newRow("-32768.5 is even") << -32768.5 << -32768 << false;
    QTest::newRow("-32768.6 overflows") << -32768.6 << 0 << true;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << true;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0 << true;
}

void TestRuntime::roundingTiesToEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QFETCH(bool, overflows);
    try {
        const int result = roundToInteger(value);
        QVERIFY2(!overflows, "expected an overflow");
        QCOMPARE(result, rounded);
    } catch (const RuntimeError &error) {
        QVERIFY2(overflows, error.what());
        QCOMPARE(error.number(), errors::Overflow);
    }
}

void TestRuntime::numberToTextIsPlainDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("one") << 1.0 << "1";
    QTest::newRow("hundred") << 100.0 << "100";
    QTest::newRow("negative") << -12.0 << "-12";
    QTest::newRow("large whole") << 123456789.0 << "123456789";
    QTest::newRow("fraction") << 1.5 << "1.5";
}

void TestRuntime::numberToTextIsPlainDigits()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numberToText(value)), text);
}

void TestRuntime::integerArithmeticOverflows()
{
    Integer top = 32767;
    Integer bottom = -32768;
    QCOMPARE((top - 1).value(), 32766);
    QCOMPARE((bottom + 1).value(), -32767);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, top + 1);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, bottom - 1);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, Integer(40000));
    QVERIFY(Integer(-1) < Integer(0));
    QVERIFY(Integer(8) == 8);
}

void TestRuntime::colorsResolveToClassicScheme()
{
    QCOMPARE(Color::rgb(0x00C00000).toRgb(), 0x0000C0u); // dark blue
    QCOMPARE(Color::rgb(0x000000FF).toRgb(), 0xFF0000u); // red
    QCOMPARE(colors::MenuText.toRgb(), 0x000000u);
    QCOMPARE(colors::WindowBackground.toRgb(), 0xFFFFFFu);
    QCOMPARE(colors::TitleBarText.toRgb(), 0xFFFFFFu);
    QCOMPARE(colors::HighlightText.toRgb(), 0xFFFFFFu);
    QCOMPARE(colors::ButtonText.toRgb(), 0x000000u);
}

void TestRuntime::formLoadsOnFirstUseOnly()
{
    TestForm::loads = 0;
    QVERIFY(!isLoaded<TestForm>());
    TestForm &first = instance<TestForm>();
    TestForm &again = instance<TestForm>();
    QCOMPARE(&first, &again);
    QCOMPARE(TestForm::loads, 1);
    QVERIFY(first.isLoaded());
    QVERIFY(!qt::window(first)->isVisible()); // loaded, not shown
}

void TestRuntime::unloadedFormComesBackFresh()
{
    TestForm::loads = 0;
    TestForm &first = instance<TestForm>();
    first.Show();
    first.cmdOK.click();
    QCOMPARE(first.okClicks, 1);
    QPointer<QWidget> oldWindow = qt::window(first);
    Unload(first);
    QVERIFY(!isLoaded<TestForm>());
    QVERIFY(!oldWindow->isVisible());
    QTRY_VERIFY(oldWindow.isNull()); // destroyed once no handler runs

    TestForm &second = instance<TestForm>();
    QCOMPARE(second.okClicks, 0);
    QCOMPARE(second.myLoads, 1);
    QCOMPARE(TestForm::loads, 2);
}

void TestRuntime::programEndsWhenLastFormUnloads()
{
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    OtherForm &other = instance<OtherForm>();
    Unload(form);
    QTest::qWait(20);
    QVERIFY(!app.hasEnded()); // another form is still loaded
    Unload(other);
    QTRY_VERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
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

void TestRuntime::closeBoxUnloadsForm()
{
    TestForm &form = shownTestForm();
    instance<OtherForm>();
    qt::window(form)->close();
    QVERIFY(!isLoaded<TestForm>());
    QVERIFY(isLoaded<OtherForm>());
}

void TestRuntime::endUnloadsEverythingAndStopsEvents()
{
    auto &app = Application::instance();
    TestForm &form = shownTestForm();
    instance<OtherForm>().Show();
    form.Timer1.setEnabled(true);
    QPushButton *ok = qt::window(form)->findChild<QPushButton *>("cmdOK");
    End();
    QVERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
    QVERIFY(!isLoaded<TestForm>());
    QVERIFY(!isLoaded<OtherForm>());
    QVERIFY(app.loadedForms().empty());
    QVERIFY(!form.Timer1.enabled());
    ok->click(); // a click that arrives after End runs nothing
    QCOMPARE(form.okClicks, 0);
}

void TestRuntime::enterPressesDefaultButtonFromAnywhere()
{
    TestForm &form = shownTestForm();
    qt::widget(form.cmdCancel)->setFocus();
    QTest::keyClick(qt::window(form), Qt::Key_Return);
    QCOMPARE(form.okClicks, 1);
    QTest::keyClick(qt::window(form), Qt::Key_Enter);
    QCOMPARE(form.okClicks, 2);
    QCOMPARE(form.cancelClicks, 0);
    QCOMPARE(form.otherClicks, 0);
}

void TestRuntime::escapePressesCancelButton()
{
    TestForm &form = shownTestForm();
    QTest::keyClick(qt::window(form), Qt::Key_Escape);
    QCOMPARE(form.cancelClicks, 1);
    QCOMPARE(form.okClicks, 0);
}

void TestRuntime::spacePressesFocusedButton()
{
    TestForm &form = shownTestForm();
    qt::widget(form.cmdOther)->setFocus();
    QTest::keyClick(qt::widget(form.cmdOther), Qt::Key_Space);
    QCOMPARE(form.otherClicks, 1);
    QCOMPARE(form.okClicks, 0);
}

void TestRuntime::firstFocusFollowsTabIndex()
{
    TestForm &form = shownTestForm();
    QCOMPARE(QApplication::focusWidget(), qt::widget(form.cmdOther)); // tab index 0
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), qt::widget(form.cmdOK));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), qt::widget(form.cmdCancel));
}

void TestRuntime::keyPreviewSeesCharactersFirst()
{
    instance<OtherForm>(); // keeps the program alive
    PreviewForm &form = instance<PreviewForm>();
    form.Show();
    QVERIFY(QTest::qWaitForWindowActive(qt::window(form)));
    QTest::keyClick(qt::window(form), Qt::Key_A, Qt::NoModifier);
    QTest::keyClick(qt::window(form), Qt::Key_Z, Qt::NoModifier);
    QTest::keyClick(qt::window(form), Qt::Key_Shift); // no character: not previewed
    QCOMPARE(form.keys, (std::vector<int> {'a', 'z'}));
    QTest::keyClick(qt::window(form), Qt::Key_Q, Qt::NoModifier);
    QVERIFY(!isLoaded<PreviewForm>());
}

void TestRuntime::timerTicksWhileEnabled()
{
    TestForm &form = instance<TestForm>();
    QCOMPARE(form.Timer1.interval(), 10);
    QTest::qWait(60);
    QCOMPARE(form.ticks, 0); // disabled
    form.Timer1.setEnabled(true);
    QTRY_VERIFY(form.ticks >= 3);
    form.Timer1.setEnabled(false);
    const int ticks = form.ticks;
    QTest::qWait(60);
    QCOMPARE(form.ticks, ticks);
}

void TestRuntime::ticksWaitWhileMessageBoxIsOpen()
{
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    int ticksDuringBox = -1;
    app.setMessageBoxHook([&](const std::string &, const std::string &) {
        // The player takes a while to answer; the timer keeps falling due.
        QTest::qWait(120);
        ticksDuringBox = form.ticks;
    });
    form.cmdOther.onClick([&] {
        form.Timer1.setEnabled(true);
        MsgBox("espera");
    });
    form.cmdOther.click();
    QCOMPARE(ticksDuringBox, 0);
    QCOMPARE(form.ticks, 1); // delivered once after the handler returned, not in a burst
}

void TestRuntime::untrappedErrorIsReportedAndEndsProgram()
{
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    std::vector<std::pair<std::string, std::string>> boxes;
    app.setMessageBoxHook([&](const std::string &title, const std::string &text) { boxes.emplace_back(title, text); });
    form.cmdOther.onClick([] { Integer(32767) + 1; });
    form.cmdOther.click();
    QCOMPARE(boxes.size(), size_t(1));
    QCOMPARE(QString::fromStdString(boxes[0].first), QStringLiteral("Korvo"));
    QVERIFY(QString::fromStdString(boxes[0].second).contains(QStringLiteral("Desbordamiento")));
    QVERIFY(QString::fromStdString(boxes[0].second).contains(QStringLiteral("'6'")));
    QVERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 1);
    QVERIFY(!isLoaded<TestForm>());
}

void TestRuntime::realMessageBoxHasTitleAndOneButton()
{
    TestForm &form = shownTestForm();
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

void TestRuntime::imageKeepsSinglePrecisionTwips()
{
    TestForm &form = instance<TestForm>();
    form.imgBall.setLeft(1000.0f);
    form.imgBall.setTop(2300.0f);
    QCOMPARE(form.imgBall.left(), 1000.0f);
    QCOMPARE(form.imgBall.top(), 2300.0f);
    // 1000 twips is 66.67 pixels: drawn on the nearest pixel at scale 1.
    QCOMPARE(qt::widget(form.imgBall)->pos(), QPoint(67, 153));
    form.imgBall.setLeft(1234.5f);
    QCOMPARE(form.imgBall.left(), 1234.5f);
}

void TestRuntime::rightAlignedAutoSizeLabelKeepsRightEdge()
{
    TestForm &form = instance<TestForm>();
    const int right = (1500 + 2400) / 15 - 1;
    form.lblRight.setCaption("Version 1.1.1");
    const QRect wide = qt::widget(form.lblRight)->geometry();
    QCOMPARE(wide.right(), right);
    form.lblRight.setCaption("1");
    const QRect narrow = qt::widget(form.lblRight)->geometry();
    QCOMPARE(narrow.right(), right);
    QVERIFY(narrow.width() < wide.width());
    QCOMPARE(QString::fromStdString(form.lblRight.caption()), QStringLiteral("1"));
}

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
