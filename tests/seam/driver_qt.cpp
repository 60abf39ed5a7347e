// The seam suite on Qt, offscreen: real windows, real keys through Qt's
// event path, real time. QT_SCALE_FACTOR=2 makes the screen 192 DPI.

#include "driver.h"
#include "fixture.h"
#include "runtime/application.h"
#include "runtime/keyboard.h"
#include "runtime/qt/native.h"
#include "runtime/qt/widgets.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace forms;

namespace {

Qt::Key qtKey(int key, bool shift)
{
    switch (key) {
    case keys::Enter:
        return Qt::Key_Return;
    case keys::Escape:
        return Qt::Key_Escape;
    case keys::Tab:
        return shift ? Qt::Key_Backtab : Qt::Key_Tab;
    case keys::Space:
        return Qt::Key_Space;
    default:
        if (key >= keys::F1 && key < keys::F1 + 24)
            return Qt::Key(Qt::Key_F1 + (key - keys::F1));
        return Qt::Key(key); // letters and digits
    }
}

QString textOf(int key)
{
    switch (key) {
    case keys::Enter:
        return QStringLiteral("\r");
    case keys::Escape:
        return QString(QChar(27));
    case keys::Space:
        return QStringLiteral(" ");
    default:
        if ((key >= 'A' && key <= 'Z'))
            return QString(QChar(key - 'A' + 'a'));
        if (key >= '0' && key <= '9')
            return QString(QChar(key));
        return {};
    }
}

// Where a key goes: the focused control of the active window, or the window.
QWidget *keyTarget()
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *active = QApplication::activeWindow();
    return focus && focus->window() == active ? focus : active;
}

// A key as the window system delivers it: the shortcut map first, then the
// widget; a repeat flagged as one.
void send(int key, bool press, bool repeat)
{
    QWidget *target = keyTarget();
    if (!target)
        return;
    const Qt::Key code = qtKey(key, false);
    const QString text = textOf(key);
    if (press && qt_sendShortcutOverrideEvent(target, 0, code, Qt::NoModifier, text, repeat))
        return;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, code, Qt::NoModifier, text, repeat);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(target, &event);
}

Rect toRect(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// The backend's own boxes, watched for from inside their event loop.
struct BoxReader
{
    QTimer watch;
    std::function<void(const std::string &, const std::string &)> read;
    bool reading = false;
};

std::unique_ptr<BoxReader> &boxReader()
{
    static std::unique_ptr<BoxReader> reader;
    return reader;
}

QtMessageHandler g_qtMessages = nullptr;

// The offscreen platform has no stacking order nor size hints and says so
// at every Show and every message box: thousands of lines in a storm that
// would hide a real warning.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        g_qtMessages(type, context, message);
}

} // namespace

namespace driver {

void fresh()
{
    boxReader().reset();
    startTest();
}

int screenDpi()
{
    return int(std::lround(StandardDpi * QGuiApplication::primaryScreen()->devicePixelRatio()));
}

int deviceScale()
{
    return int(std::lround(QGuiApplication::primaryScreen()->devicePixelRatio()));
}

void show(Form &form)
{
    form.Show();
    if (!QTest::qWaitForWindowActive(qt::window(form)))
        MESSAGE("the window did not become active: " << form.name());
}

void activate(Form &form)
{
    qt::window(form)->activateWindow();
    if (!QTest::qWaitForWindowActive(qt::window(form)))
        MESSAGE("the window did not become active: " << form.name());
}

bool isActive(const Form &form)
{
    return QApplication::activeWindow() == qt::window(form);
}

bool isVisible(const Form &form)
{
    return qt::window(form)->isVisible();
}

const Form *activeForm()
{
    const QWidget *active = QApplication::activeWindow();
    return active ? qt::FormWindow::formOf(active) : nullptr;
}

int openWindows(const std::string &formName)
{
    int count = 0;
    for (const QWidget *window : QApplication::topLevelWidgets())
        count += window->isVisible() && (formName.empty() || window->objectName().toStdString() == formName);
    return count;
}

Rect frame(const Form &form)
{
    return toRect(qt::window(form)->frameGeometry());
}

Rect workArea()
{
    return toRect(QGuiApplication::primaryScreen()->availableGeometry());
}

Size clientSize(const Form &form)
{
    const QSize size = qt::client(form)->size();
    return {size.width(), size.height()};
}

Rect placed(const Control &control)
{
    return toRect(qt::widget(control)->geometry());
}

Point drawnAt(const Image &image)
{
    const auto *widget = static_cast<const qt::ImageWidget *>(qt::widget(image));
    const QPointF device = (QPointF(widget->pos()) + widget->offset()) * widget->devicePixelRatioF();
    return {int(std::lround(device.x())), int(std::lround(device.y()))};
}

bool isVisible(const Control &control)
{
    return qt::widget(control)->isVisible();
}

bool isChecked(const MenuItem &item)
{
    return qt::action(item)->isChecked();
}

const Control *focused()
{
    const QWidget *active = QApplication::activeWindow();
    const Form *form = active ? qt::FormWindow::formOf(active) : nullptr;
    if (!form)
        return nullptr;
    for (const Control *control : form->controls()) {
        if (qt::widget(*control) == QApplication::focusWidget())
            return control;
    }
    return nullptr;
}

void press(int key, bool shift)
{
    if (QWidget *target = keyTarget())
        QTest::keyClick(target, qtKey(key, shift), shift ? Qt::ShiftModifier : Qt::NoModifier);
}

void hold(int key)
{
    send(key, true, false);
}

void repeat(int key)
{
    send(key, true, true);
}

void release(int key)
{
    send(key, false, false);
}

void click(CommandButton &button)
{
    QTest::mouseClick(qt::widget(button), Qt::LeftButton);
}

void clickAt(Form &form, Point point)
{
    QWidget *client = qt::client(form);
    QWidget *hit = client->childAt(point.x, point.y);
    QWidget *target = hit ? hit : client;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, QPoint(point.x, point.y)));
}

void answerBoxes(std::function<void(const std::string &, const std::string &)> read)
{
    auto reader = std::make_unique<BoxReader>();
    reader->read = std::move(read);
    reader->watch.setInterval(0);
    QObject::connect(&reader->watch, &QTimer::timeout, [reader = reader.get()] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || reader->reading)
            return;
        reader->reading = true;
        reader->read(box->windowTitle().toStdString(), box->text().toStdString());
        QTest::keyClick(box, Qt::Key_Return);
        reader->reading = false;
    });
    reader->watch.start();
    boxReader() = std::move(reader);
}

// As the window system delivers them: to the window, not to a widget, so
// that Qt's modality decides.
void pressBehindBox(Form &form, int key)
{
    QWidget *box = QApplication::activeModalWidget();
    for (int i = 0; i < 20 && box && !box->isActiveWindow(); ++i)
        QCoreApplication::processEvents();
    QTest::keyClick(qt::window(form)->windowHandle(), qtKey(key, false));
}

void clickBehindBox(CommandButton &button)
{
    QWidget *window = qt::window(button.form());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, qt::widget(button)->mapTo(window, QPoint(5, 5)));
}

void pick(MenuItem &item)
{
    qt::action(item)->trigger();
}

void closeBox(Form &form)
{
    qt::window(form)->close();
}

void stopTime()
{
    fixture::stopTime();
}

bool tick(Timer &timer)
{
    stopTime();
    return fixture::stoppedTime()->tick(qt::timer(timer));
}

bool isTicking(const Timer &timer)
{
    return qt::timer(timer)->isActive();
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void wait(int ms)
{
    QTest::qWait(ms);
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    return QTest::qWaitFor(done, ms);
}

} // namespace driver

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    g_qtMessages = qInstallMessageHandler(quietPlatform);
    Application::instance(); // the backend makes itself ready
    doctest::Context context(argc, argv);
    return context.run();
}
