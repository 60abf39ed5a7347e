#pragma once
// What the test programs share: every test starts from nothing and leaves no
// window behind, and the game is shown as a player meets it, with real time
// standing still unless a test asks for it.

#include "game/form1.h"
#include "game/frmsplash.h"
#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/native.h"
#include "screens/frmabout.h"

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QtTest>

namespace fixture {

// Holds back the ticks of every form's timers: a test that calls
// Timer1_Timer itself is not overtaken by the real 100 ms timer whenever the
// event loop turns (a wait for a window, a message box). The timers stay
// enabled, as the game's phase is which one is.
class StoppedTime : public QObject
{
public:
    // One tick let through, on the timer's own path, as the clock would.
    bool tick(QTimer *timer)
    {
        if (!timer->isActive())
            return false;
        QTimerEvent event(timer->timerId());
        m_open = true;
        QCoreApplication::sendEvent(timer, &event);
        m_open = false;
        return true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return !m_open && event->type() == QEvent::Timer && qobject_cast<QTimer *>(watched) && watched->parent()
               && forms::qt::FormWindow::formOf(qobject_cast<QWidget *>(watched->parent()));
    }

private:
    bool m_open = false;
};

inline QPointer<StoppedTime> &stoppedTime()
{
    static QPointer<StoppedTime> filter;
    return filter;
}

inline void stopTime()
{
    if (!stoppedTime()) {
        stoppedTime() = new StoppedTime;
        qApp->installEventFilter(stoppedTime());
    }
}

inline void releaseTime()
{
    delete stoppedTime();
}

} // namespace fixture

// Each test's init(): nothing loaded, nothing ended, time running.
inline void startTest()
{
    fixture::releaseTime();
    forms::Application::instance().reset();
}

// Each test's cleanup(): everything unloaded; false, after saying which, if a
// top-level window is still open.
inline bool nothingLeftBehind()
{
    startTest();
    bool none = true;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            qWarning("left open: %s \"%s\"", window->metaObject()->className(), qPrintable(window->windowTitle()));
            none = false;
        }
    }
    return none;
}

// Waits for the window to become the active one, as keys and shortcuts need.
inline bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The game window, shown and active, as it is once the splash has gone, its
// sweep ticking in real time.
inline Form1 &runningGame()
{
    Form1 &game = forms::instance<Form1>();
    game.Show();
    if (!QTest::qWaitForWindowActive(forms::qt::window(game)))
        qWarning("the game window did not become active");
    return game;
}

// The game window shown and active, with real time standing still: the test
// moves the balls by calling the timers' handlers.
inline Form1 &shownGame()
{
    fixture::stopTime();
    return runningGame();
}

// As the program starts: the splash loaded and shown through the runtime.
inline frmSplash &startProgram()
{
    forms::Dispatcher::instance().dispatch(nullptr, [] { forms::instance<frmSplash>().Show(); });
    frmSplash *splash = forms::loadedInstance<frmSplash>();
    if (!QTest::qWaitForWindowActive(forms::qt::window(*splash)))
        qWarning("the splash did not become active");
    return *splash;
}

// F1 in the game window, and the About dialog it opens, active.
inline frmAbout &openAbout(Form1 &game)
{
    QTest::keyClick(forms::qt::window(game), Qt::Key_F1);
    frmAbout *about = forms::loadedInstance<frmAbout>();
    if (about && !QTest::qWaitForWindowActive(forms::qt::window(*about)))
        qWarning("the About dialog did not become active");
    return *about;
}

// A form by the name a data row gives it.
inline forms::Form &formNamed(const std::string &name)
{
    if (name == "frmSplash")
        return forms::instance<frmSplash>();
    if (name == "frmAbout")
        return forms::instance<frmAbout>();
    return forms::instance<Form1>();
}

// A label's caption as the player reads it.
inline QString text(const forms::Label &label)
{
    return QString::fromStdString(label.caption());
}
