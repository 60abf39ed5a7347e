// A storm of player input against the real windows: thousands of random
// clicks, keys, menu picks and timer ticks, every message box answered, and
// after each one the checks a player relies on. Seeded, so a failure can be
// played again: KORVO_STORM_SEED and KORVO_STORM_ACTIONS override the run.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "fixture.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "sysinfomemory.h"

#include <QtTest>
#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <random>

using namespace forms;

namespace {

// The game's numbers, written out again so the storm does not judge the
// game by its own code.
constexpr std::array<int, 9> LeftStops {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500};
constexpr std::array<int, 9> TopStops {0, 500, 1000, 1500, 2000, 2300, 2700, 3100, 3500};
const QString AimMessage = QStringLiteral("Ahora tirá la otra pelota");
const QString Basket = QStringLiteral("Encestaste!!!!!!!");
const QString Miss = QStringLiteral("Erraste");
const QString AskReset = QStringLiteral("Presione reiniciar para tirar de nuevo");
const QString NoSysInfo = QStringLiteral("System Information Is Unavailable At This Time");

quint32 envNumber(const char *name, quint32 fallback)
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

QtMessageHandler g_qtMessages = nullptr;

// The offscreen platform has no stacking order nor size hints and says so
// at every Show and every message box: thousands of lines that would hide a
// real warning, and QtTest stops printing after two thousand.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        g_qtMessages(type, context, message);
}

// Real ticks would make a run depend on the machine's speed: the gate holds
// the game's timers back, and the storm lets one tick through when it
// decides time has passed. A let-through tick takes the timer's own path.
class TickGate : public QObject
{
public:
    using QObject::QObject;

    void watch(QTimer *timer) { timer->installEventFilter(this); }

    // Delivers one tick as the clock would; a stopped timer cannot tick.
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
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::Timer && !m_open; }

private:
    bool m_open = false;
};

// What the player does: a gesture of the hand.
enum class Gesture {
    ClickTirar,
    ClickReset,
    ClickAnywhere,
    Enter,
    Space,
    Escape,
    Tab,
    BackTab,
    Letter,
    F1,
    F8,
    MenuStats,
    MenuAbout,
    TickTimer1,
    TickTimer2,
    ClickOk,
    ClickSysInfo,
    CloseAbout,
    ActivateGame,
    ActivateAbout,
};

// What the gesture means to the game, worked out from where it landed.
enum class Command { None, Tirar, Reiniciar, TickTimer1, TickTimer2, Stats, About, CloseAbout, SysInfo };

const char *name(Gesture gesture)
{
    static const char *const names[] = {"click Tirar",
                                        "click Reiniciar",
                                        "click anywhere",
                                        "Enter",
                                        "Space",
                                        "Esc",
                                        "Tab",
                                        "Shift+Tab",
                                        "letter",
                                        "F1",
                                        "F8",
                                        "menu Estadísticas",
                                        "menu Acerca",
                                        "tick Timer1",
                                        "tick Timer2",
                                        "click OK",
                                        "click System Info",
                                        "About close box",
                                        "activate game",
                                        "activate About"};
    return names[int(gesture)];
}

// The game as the storm expects it, moved by the commands alone.
struct Model
{
    bool timer1 = true;
    bool timer2 = false;
    int paso = 0;
    int reversa = 0;
    float left = 600;
    float top = 240;
    QString message;
    int attempts = 0;
    int baskets = 0;
    int misses = 0;
    bool panel = true;
    bool about = false;

    void tick(bool vertical)
    {
        if (paso >= 0 && paso <= 8)
            (vertical ? top : left) = float((vertical ? TopStops : LeftStops)[size_t(paso)]);
        paso += reversa == 0 ? 1 : -1;
        if (paso == 8)
            reversa = -1;
        if (paso < 1)
            reversa = 0;
    }

    // Returns the message box the press shows, if any.
    QString tirar()
    {
        QString box;
        if (timer1) {
            timer1 = false;
            message = AimMessage;
            timer2 = true;
        } else if (timer2) {
            timer2 = false;
            message.clear();
            const bool scores = left > 2099 && left < 3199 && top > 1499 && top < 2301;
            box = scores ? Basket : Miss;
            ++(scores ? baskets : misses);
            ++attempts;
        } else {
            box = AskReset;
        }
        paso = 0;
        return box;
    }

    void reiniciar()
    {
        paso = 0;
        reversa = 0;
        timer1 = true;
        message.clear();
        top = 0;
    }

    static QString count(int n) { return n ? QString::number(n) : QString(); }
    QStringList counters() const
    {
        // Whole percent, halves to the even neighbour (the default rounding
        // mode of nearbyint).
        const QString porc =
            attempts ? QString::number(int(std::nearbyint(double(baskets) / attempts * 100))) : QString();
        return {count(attempts), count(baskets), count(misses), porc};
    }
};

struct Box
{
    QString title;
    QString text;
    QStringList countersWhileOpen;
};

class Storm
{
public:
    // With real boxes every message box is a real modal QMessageBox, read
    // and answered with Enter from inside its own event loop; otherwise the
    // runtime's hook hands the box over.
    Storm(quint32 seed, Form1 &game, sysinfo::MemoryPlatform &system, bool realBoxes = false)
        : m_rng(seed),
          m_game(game),
          m_system(system)
    {
        m_gate.watch(qt::timer(game.Timer1));
        m_gate.watch(qt::timer(game.Timer2));
        if (realBoxes) {
            m_boxWatch.setInterval(0);
            QObject::connect(&m_boxWatch, &QTimer::timeout, [this] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box || m_answering)
                    return;
                m_answering = true;
                answer(box->windowTitle().toStdString(), box->text().toStdString());
                if (m_rng() % 2)
                    pressBehind(box);
                QTest::keyClick(box, Qt::Key_Return);
                m_answering = false;
            });
            m_boxWatch.start();
        } else {
            Application::instance().setMessageBoxHook(
                [this](const std::string &title, const std::string &text) { answer(title, text); });
        }
    }

    // Plays one gesture and checks the game afterwards. Returns what went
    // wrong, or empty text.
    QString play()
    {
        const Gesture gesture = pick();
        const bool refused = m_rng() % 2;
        m_system.setRefuseStarts(refused);
        const QStringList countersBefore = counters();
        const size_t startedBefore = m_system.started().size();
        m_boxes.clear();
        m_heldTicks.clear();
        m_error.clear();

        const Command command = perform(gesture);
        settle();

        QStringList expectedBoxes;
        switch (command) {
        case Command::None:
            break;
        case Command::Tirar:
            if (const QString box = m_model.tirar(); !box.isEmpty())
                expectedBoxes << box;
            break;
        case Command::Reiniciar:
            m_model.reiniciar();
            break;
        case Command::TickTimer1:
        case Command::TickTimer2:
            m_model.tick(command == Command::TickTimer2);
            break;
        case Command::Stats:
            m_model.panel = !m_model.panel;
            break;
        case Command::About:
            m_model.about = true;
            break;
        case Command::CloseAbout:
            m_model.about = false;
            break;
        case Command::SysInfo:
            if (refused)
                expectedBoxes << NoSysInfo;
            break;
        }
        ++m_commands[size_t(command)];
        m_heldTickCount += int(m_heldTicks.size());
        // Ticks that fell due while a box was up, each once, after it.
        for (bool vertical : m_heldTicks)
            m_model.tick(vertical);
        m_trail.push_back(QString::fromUtf8(name(gesture)));
        if (m_trail.size() > 12)
            m_trail.pop_front();

        if (!m_error.isEmpty())
            return m_error;
        QStringList seenBoxes;
        for (const Box &box : m_boxes)
            seenBoxes << box.text;
        if (seenBoxes != expectedBoxes)
            return QStringLiteral("message boxes %1, expected %2").arg(seenBoxes.join('|'), expectedBoxes.join('|'));
        const size_t starts = command == Command::SysInfo && !refused ? 1 : 0;
        if (m_system.started().size() != startedBefore + starts)
            return QStringLiteral("the system information tool started %1 times, expected %2")
                .arg(m_system.started().size() - startedBefore)
                .arg(starts);
        if (const QString broken = invariants(countersBefore); !broken.isEmpty())
            return broken;
        return compareWithModel();
    }

    // How often each command was played, and how many ticks were held back
    // behind a message box: a storm that never reached a path proves nothing
    // about it.
    int played(Command command) const { return m_commands[size_t(command)]; }
    int heldTicks() const { return m_heldTickCount; }
    int pressedBehind() const { return m_pressedBehind; }

    QString trail() const { return QStringList(m_trail.begin(), m_trail.end()).join(QStringLiteral(", ")); }
    const Model &model() const { return m_model; }

    void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    bool activate(QWidget *window)
    {
        if (QApplication::activeWindow() == window)
            return true;
        window->activateWindow();
        for (int i = 0; i < 20 && QApplication::activeWindow() != window; ++i)
            QCoreApplication::processEvents();
        return QApplication::activeWindow() == window || QTest::qWaitForWindowActive(window);
    }

    QStringList counters() const
    {
        return {text(m_game.lblIntentos), text(m_game.lblEncesto), text(m_game.lblErro), text(m_game.lblPorc)};
    }

private:
    frmAbout *about() const { return loadedInstance<frmAbout>(); }

    Gesture pick()
    {
        struct Weighted
        {
            Gesture gesture;
            int weight;
        };
        static const Weighted always[] = {
            {Gesture::ClickTirar, 8}, {Gesture::ClickReset, 5}, {Gesture::ClickAnywhere, 4},
            {Gesture::Enter, 10},     {Gesture::Space, 5},      {Gesture::Escape, 3},
            {Gesture::Tab, 3},        {Gesture::BackTab, 2},    {Gesture::Letter, 2},
            {Gesture::F1, 3},         {Gesture::F8, 3},         {Gesture::MenuStats, 2},
            {Gesture::MenuAbout, 2},
        };
        static const Weighted withAbout[] = {
            {Gesture::ClickOk, 2},      {Gesture::ClickSysInfo, 2},  {Gesture::CloseAbout, 2},
            {Gesture::ActivateGame, 5}, {Gesture::ActivateAbout, 2},
        };
        std::vector<Weighted> pool(std::begin(always), std::end(always));
        if (about())
            pool.insert(pool.end(), std::begin(withAbout), std::end(withAbout));
        // Time passes far more often than the player acts.
        if (m_model.timer1)
            pool.push_back({Gesture::TickTimer1, 60});
        if (m_model.timer2)
            pool.push_back({Gesture::TickTimer2, 60});
        // A player who aims presses when the moving ball is over the ring.
        const bool horizontalOnTarget = m_model.timer1 && (m_model.left == 2500 || m_model.left == 3000);
        const bool verticalOnTarget = !m_model.timer1 && m_model.timer2 && m_model.top >= 1500 && m_model.top <= 2300;
        if (horizontalOnTarget || verticalOnTarget)
            pool.push_back({Gesture::Enter, 150});
        int total = 0;
        for (const Weighted &w : pool)
            total += w.weight;
        int roll = int(m_rng() % quint32(total));
        for (const Weighted &w : pool) {
            if (roll < w.weight)
                return w.gesture;
            roll -= w.weight;
        }
        return pool.back().gesture;
    }

    // Keys go to the focused control of the active window; with no window
    // active the player first clicks the game.
    QWidget *keyTarget()
    {
        QWidget *active = QApplication::activeWindow();
        if (!active) {
            activate(qt::window(m_game));
            active = QApplication::activeWindow();
        }
        QWidget *focus = QApplication::focusWidget();
        return focus && focus->window() == active ? focus : active;
    }

    bool gameActive() const { return QApplication::activeWindow() == qt::window(m_game); }
    bool aboutActive() const { return about() && QApplication::activeWindow() == qt::window(*about()); }

    Command buttonCommand(const QWidget *button) const
    {
        if (button == qt::widget(m_game.cmdTirar))
            return Command::Tirar;
        if (button == qt::widget(m_game.cmdReset))
            return Command::Reiniciar;
        if (frmAbout *dialog = about()) {
            if (button == qt::widget(dialog->cmdOK))
                return Command::CloseAbout;
            if (button == qt::widget(dialog->cmdSysInfo))
                return Command::SysInfo;
        }
        return Command::None;
    }

    Command key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = keyTarget();
        if (!target)
            return fail("no window takes keys"), Command::None;
        const bool game = gameActive();
        const bool dialog = aboutActive();
        const Command focused = buttonCommand(QApplication::focusWidget());
        QTest::keyClick(target, Qt::Key(key), modifiers);
        switch (key) {
        case Qt::Key_Return:
            return game ? Command::Tirar : dialog ? Command::CloseAbout : Command::None;
        case Qt::Key_Space:
            return focused;
        case Qt::Key_Escape:
            return dialog ? Command::CloseAbout : Command::None;
        case Qt::Key_F1:
            return game ? Command::About : Command::None;
        case Qt::Key_F8:
            return game ? Command::Stats : Command::None;
        default:
            return Command::None;
        }
    }

    Command click(QWidget *button)
    {
        if (!activate(button->window()))
            return fail("the window under the click did not become active"), Command::None;
        const Command command = buttonCommand(button);
        QTest::mouseClick(button, Qt::LeftButton);
        return command;
    }

    Command perform(Gesture gesture)
    {
        switch (gesture) {
        case Gesture::ClickTirar:
            return click(qt::widget(m_game.cmdTirar));
        case Gesture::ClickReset:
            return click(qt::widget(m_game.cmdReset));
        case Gesture::ClickAnywhere: {
            QWidget *client = qt::client(m_game);
            const QPoint point(int(m_rng() % quint32(client->width())), int(m_rng() % quint32(client->height())));
            QWidget *hit = client->childAt(point);
            QWidget *target = hit ? hit : client;
            if (!activate(qt::window(m_game)))
                return fail("the game did not become active"), Command::None;
            const Command command = buttonCommand(hit);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, point));
            return command;
        }
        case Gesture::Enter:
            return key(Qt::Key_Return);
        case Gesture::Space:
            return key(Qt::Key_Space);
        case Gesture::Escape:
            return key(Qt::Key_Escape);
        case Gesture::Tab:
            return key(Qt::Key_Tab);
        case Gesture::BackTab:
            return key(Qt::Key_Backtab, Qt::ShiftModifier);
        case Gesture::Letter:
            return key(Qt::Key_A + int(m_rng() % 26));
        case Gesture::F1:
            return key(Qt::Key_F1);
        case Gesture::F8:
            return key(Qt::Key_F8);
        case Gesture::MenuStats:
            if (!activate(qt::window(m_game)))
                return fail("the game did not become active"), Command::None;
            qt::action(m_game.mnuStats)->trigger();
            return Command::Stats;
        case Gesture::MenuAbout:
            if (!activate(qt::window(m_game)))
                return fail("the game did not become active"), Command::None;
            qt::action(m_game.mnuAbout)->trigger();
            return Command::About;
        case Gesture::TickTimer1:
            return m_gate.tick(qt::timer(m_game.Timer1)) ? Command::TickTimer1 : Command::None;
        case Gesture::TickTimer2:
            return m_gate.tick(qt::timer(m_game.Timer2)) ? Command::TickTimer2 : Command::None;
        case Gesture::ClickOk:
            return click(qt::widget(about()->cmdOK));
        case Gesture::ClickSysInfo:
            return click(qt::widget(about()->cmdSysInfo));
        case Gesture::CloseAbout:
            qt::window(*about())->close();
            return Command::CloseAbout;
        case Gesture::ActivateGame:
            if (!activate(qt::window(m_game)))
                fail("the game did not become active");
            return Command::None;
        case Gesture::ActivateAbout:
            if (!activate(qt::window(*about())))
                fail("the About dialog did not become active");
            return Command::None;
        }
        return Command::None;
    }

    // The player reads the box and presses OK. While it is up the game
    // must stand still, even when its timers fall due.
    void answer(const std::string &title, const std::string &boxText)
    {
        m_boxes.push_back({QString::fromStdString(title), QString::fromStdString(boxText), counters()});
        if (m_boxes.back().title != QLatin1String("Korvo"))
            fail("a message box without the application title");
        const int paso = m_game.paso.value();
        for (int i = int(m_rng() % 3); i > 0; --i) {
            const bool vertical = m_rng() % 2;
            if (m_gate.tick(qt::timer((vertical ? m_game.Timer2 : m_game.Timer1)))
                && std::find(m_heldTicks.begin(), m_heldTicks.end(), vertical) == m_heldTicks.end())
                m_heldTicks.push_back(vertical);
        }
        if (m_game.paso.value() != paso)
            fail("a tick ran while a message box was up");
    }

    // While a box is up the player presses keys and clicks on the windows
    // behind it, as the window system delivers them: none may reach the game.
    void pressBehind(QWidget *box)
    {
        for (int i = 0; i < 20 && !box->isActiveWindow(); ++i)
            QCoreApplication::processEvents();
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape,
                                       Qt::Key_F1,     Qt::Key_F4,    Qt::Key_F8};
        frmAbout *dialog = about();
        QWidget *behind = dialog && m_rng() % 2 ? qt::window(*dialog) : qt::window(m_game);
        const int paso = m_game.paso.value();
        QTest::keyClick(behind->windowHandle(), keys[m_rng() % std::size(keys)]);
        QWidget *button = behind == qt::window(m_game) ? qt::widget(m_game.cmdTirar) : qt::widget(dialog->cmdOK);
        QTest::mouseClick(behind->windowHandle(), Qt::LeftButton, {}, button->mapTo(behind, QPoint(5, 5)));
        ++m_pressedBehind;
        if (m_game.paso.value() != paso || Application::instance().hasEnded())
            fail("input behind a message box reached the game");
    }

    void fail(const char *what)
    {
        if (m_error.isEmpty())
            m_error = QLatin1String(what);
    }

    // What a player relies on, whatever happened before.
    QString invariants(const QStringList &countersBefore) const
    {
        Application &app = Application::instance();
        if (app.hasEnded() || !isLoaded<Form1>())
            return QStringLiteral("the program ended (exit code %1)").arg(app.exitCode());

        const QStringList now = counters();
        for (const QString &caption : now) {
            for (QChar c : caption) {
                if (!c.isDigit())
                    return QStringLiteral("a counter reads \"%1\"").arg(caption);
            }
        }
        const int attempts = now[0].toInt(), baskets = now[1].toInt(), misses = now[2].toInt();
        if (attempts != baskets + misses)
            return QStringLiteral("attempts %1 != baskets %2 + misses %3").arg(attempts).arg(baskets).arg(misses);
        const QString porc =
            attempts ? QString::number(int(std::nearbyint(double(baskets) / attempts * 100))) : QString();
        if (now[3] != porc)
            return QStringLiteral("effectiveness reads %1, expected %2").arg(now[3], porc);

        if (now != countersBefore) {
            const bool judged = !m_boxes.empty() && (m_boxes[0].text == Basket || m_boxes[0].text == Miss);
            if (!judged)
                return QStringLiteral("counters changed without a judged shot");
            if (m_boxes[0].countersWhileOpen != countersBefore)
                return QStringLiteral("counters changed before the box was answered");
            for (int i = 0; i < 3; ++i) {
                if (now[i].toInt() < countersBefore[i].toInt())
                    return QStringLiteral("a counter went down");
            }
            if (attempts != countersBefore[0].toInt() + 1)
                return QStringLiteral("a judged shot did not count one attempt");
        }

        const bool t1 = m_game.Timer1.enabled(), t2 = m_game.Timer2.enabled();
        if (qt::timer(m_game.Timer1)->isActive() != t1 || qt::timer(m_game.Timer2)->isActive() != t2)
            return QStringLiteral("a timer runs against its enabled flag");
        const int paso = m_game.paso.value(), reversa = m_game.reversa.value();
        if (paso < -1 || paso > 9)
            return QStringLiteral("paso is %1").arg(paso);
        if (reversa != 0 && reversa != -1)
            return QStringLiteral("reversa is %1").arg(reversa);
        const float left = m_game.Picture2.left(), top = m_game.Picture1.top();
        const auto onStop = [](const auto &stops, float at) {
            return std::find(stops.begin(), stops.end(), int(at)) != stops.end() && float(int(at)) == at;
        };
        if (!onStop(LeftStops, left) || (!onStop(TopStops, top) && top != 240))
            return QStringLiteral("a ball stands between stops (%1, %2)").arg(left).arg(top);

        int aboutWindows = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            aboutWindows += window->objectName() == QLatin1String("frmAbout");
        if (aboutWindows > 1)
            return QStringLiteral("%1 About dialogs").arg(aboutWindows);
        frmAbout *dialog = about();
        if (bool(dialog) != (aboutWindows == 1) || (dialog && !qt::window(*dialog)->isVisible()))
            return QStringLiteral("the About dialog is loaded but not shown, or shown but not loaded");
        if (m_game.Frame1.visible() != m_game.mnuStats.checked())
            return QStringLiteral("the statistics panel and its check mark disagree");
        return {};
    }

    QString compareWithModel() const
    {
        const auto differ = [](const char *what, auto seen, auto expected) {
            QString s, e;
            QDebug(&s) << seen;
            QDebug(&e) << expected;
            return QStringLiteral("%1 is %2, expected %3").arg(QLatin1String(what), s.trimmed(), e.trimmed());
        };
        if (m_game.Timer1.enabled() != m_model.timer1)
            return differ("Timer1", m_game.Timer1.enabled(), m_model.timer1);
        if (m_game.Timer2.enabled() != m_model.timer2)
            return differ("Timer2", m_game.Timer2.enabled(), m_model.timer2);
        if (m_game.paso.value() != m_model.paso)
            return differ("paso", m_game.paso.value(), m_model.paso);
        if (m_game.reversa.value() != m_model.reversa)
            return differ("reversa", m_game.reversa.value(), m_model.reversa);
        if (m_game.Picture2.left() != m_model.left)
            return differ("Picture2.Left", m_game.Picture2.left(), m_model.left);
        if (m_game.Picture1.top() != m_model.top)
            return differ("Picture1.Top", m_game.Picture1.top(), m_model.top);
        if (text(m_game.lbl) != m_model.message)
            return differ("the message line", text(m_game.lbl), m_model.message);
        if (counters() != m_model.counters())
            return differ("the statistics", counters(), m_model.counters());
        if (m_game.Frame1.visible() != m_model.panel)
            return differ("the statistics panel", m_game.Frame1.visible(), m_model.panel);
        if (bool(about()) != m_model.about)
            return differ("the About dialog", bool(about()), m_model.about);
        return {};
    }

    std::mt19937 m_rng;
    Form1 &m_game;
    sysinfo::MemoryPlatform &m_system;
    TickGate m_gate;
    Model m_model;
    std::vector<Box> m_boxes;
    std::vector<bool> m_heldTicks; // vertical or not, in the order they fell due
    QString m_error;
    std::deque<QString> m_trail;
    std::array<int, size_t(Command::SysInfo) + 1> m_commands {};
    int m_heldTickCount = 0;
    QTimer m_boxWatch;
    bool m_answering = false;
    int m_pressedBehind = 0;
};

} // namespace

class TestStorm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { g_qtMessages = qInstallMessageHandler(quietPlatform); }
    void cleanupTestCase() { qInstallMessageHandler(g_qtMessages); }
    void init()
    {
        startTest();
        auto memory = std::make_unique<sysinfo::MemoryPlatform>();
        memory->setString(sysinfo::HKeyLocalMachine, sysinfo::MsinfoKey, "PATH", "C:\\msinfo32.exe");
        m_system = memory.get();
        frmAbout::platform() = std::move(memory);
    }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void playerStorm();
    void stormWithRealMessageBoxes();
    void endingsLeaveNothingBehind_data();
    void endingsLeaveNothingBehind();

private:
    sysinfo::MemoryPlatform *m_system = nullptr;
};

void TestStorm::playerStorm()
{
    const quint32 seed = envNumber("KORVO_STORM_SEED", 20240611);
    const quint32 actions = envNumber("KORVO_STORM_ACTIONS", 20000);
    Form1 &game = instance<Form1>();
    game.Show();
    Storm storm(seed, game, *m_system);
    QVERIFY(storm.activate(qt::window(game)));

    for (quint32 i = 0; i < actions; ++i) {
        const QString error = storm.play();
        QVERIFY2(error.isEmpty(), qPrintable(QStringLiteral("seed %1, action %2: %3\n  last actions: %4")
                                                 .arg(seed)
                                                 .arg(i)
                                                 .arg(error, storm.trail())));
    }
    const Model &end = storm.model();
    qInfo("seed %u: %u actions; %d shots judged (%d baskets), %d Tirar, %d Reiniciar, %d ticks, %d About opened, "
          "%d closed, %d System Info, %d ticks held behind a box",
          seed, actions, end.attempts, end.baskets, storm.played(Command::Tirar), storm.played(Command::Reiniciar),
          storm.played(Command::TickTimer1) + storm.played(Command::TickTimer2), storm.played(Command::About),
          storm.played(Command::CloseAbout), storm.played(Command::SysInfo), storm.heldTicks());
    if (actions >= 20000) {
        QVERIFY(end.attempts > 800);
        QVERIFY(end.baskets > 100);
        QVERIFY(end.misses > 200);
        QVERIFY(storm.played(Command::About) > 100);
        QVERIFY(storm.played(Command::CloseAbout) > 100);
        QVERIFY(storm.played(Command::SysInfo) > 50);
        QVERIFY(storm.heldTicks() > 5);
    }
}

void TestStorm::stormWithRealMessageBoxes()
{
    const quint32 seed = envNumber("KORVO_STORM_SEED", 20240611) + 1;
    Form1 &game = instance<Form1>();
    game.Show();
    Storm storm(seed, game, *m_system, true);
    QVERIFY(storm.activate(qt::window(game)));
    for (int i = 0; i < 10000; ++i) {
        const QString error = storm.play();
        QVERIFY2(error.isEmpty(),
                 qPrintable(QStringLiteral("seed %1 with real boxes, action %2: %3\n  last actions: %4")
                                .arg(seed)
                                .arg(i)
                                .arg(error, storm.trail())));
    }
    qInfo("seed %u with real boxes: 10000 actions, %d shots judged, %d System Info, %d ticks held behind a box, "
          "%d keys and clicks behind a box",
          seed, storm.model().attempts, storm.played(Command::SysInfo), storm.heldTicks(), storm.pressedBehind());
    QVERIFY(storm.model().attempts > 200);
    QVERIFY(storm.pressedBehind() > 200);
}

void TestStorm::endingsLeaveNothingBehind_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("ending");
    for (quint32 seed = 1; seed <= 4; ++seed) {
        for (const char *ending : {"F4", "Salir", "close box"})
            QTest::addRow("%s after storm %u", ending, seed) << seed << QString::fromLatin1(ending);
    }
}

void TestStorm::endingsLeaveNothingBehind()
{
    QFETCH(quint32, seed);
    QFETCH(QString, ending);
    Application &app = Application::instance();
    Form1 &game = instance<Form1>();
    game.Show();
    Storm storm(seed, game, *m_system);
    QVERIFY(storm.activate(qt::window(game)));
    for (int i = 0; i < 300; ++i) {
        const QString error = storm.play();
        QVERIFY2(error.isEmpty(), qPrintable(QStringLiteral("seed %1, action %2: %3").arg(seed).arg(i).arg(error)));
    }

    const bool aboutOpen = isLoaded<frmAbout>();
    QVERIFY(storm.activate(qt::window(game)));
    if (ending == QLatin1String("F4")) {
        QTest::keyClick(qt::window(game), Qt::Key_F4);
    } else if (ending == QLatin1String("Salir")) {
        qt::action(game.mnuSalir)->trigger();
    } else {
        qt::window(game)->close();
        storm.settle();
        QVERIFY(!isLoaded<Form1>());
        // With the About dialog still open the program goes on until it closes.
        QCOMPARE(app.hasEnded(), !aboutOpen);
        if (aboutOpen)
            qt::window(*loadedInstance<frmAbout>())->close();
    }
    storm.settle();
    QVERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
    QVERIFY(app.loadedForms().empty());
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

QTEST_MAIN(TestStorm)
#include "tst_storm.moc"
