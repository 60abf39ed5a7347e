// A storm of player input against the real windows: thousands of random
// clicks, keys, menu picks and timer ticks, every message box answered, and
// after each one the checks a player relies on. Seeded, so a failure can be
// played again: KORVO_STORM_SEED and KORVO_STORM_ACTIONS override the run.

#include "driver.h"
#include "game/form1.h"
#include "runtime/keyboard.h"
#include "screens/frmabout.h"
#include "sysinfomemory.h"
#include "testforms.h"

#include <doctest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

using namespace forms;

namespace {

// The game's numbers, written out again so the storm does not judge the
// game by its own code.
constexpr std::array<int, 9> LeftStops {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500};
constexpr std::array<int, 9> TopStops {0, 500, 1000, 1500, 2000, 2300, 2700, 3100, 3500};
const std::string AimMessage = "Ahora tirá la otra pelota";
const std::string Basket = "Encestaste!!!!!!!";
const std::string Miss = "Erraste";
const std::string AskReset = "Presione reiniciar para tirar de nuevo";
const std::string NoSysInfo = "System Information Is Unavailable At This Time";
constexpr int F4 = keys::F1 + 3;
constexpr int F8 = keys::F1 + 7;

std::uint32_t envNumber(const char *name, std::uint32_t fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::uint32_t(std::strtoul(value, nullptr, 10)) : fallback;
}

using Texts = std::vector<std::string>;

std::string joined(const Texts &texts, const char *separator)
{
    std::string all;
    for (const std::string &text : texts)
        all += (all.empty() ? "" : separator) + text;
    return all;
}

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
    std::string message;
    int attempts = 0;
    int baskets = 0;
    int misses = 0;
    bool panel = true;
    bool about = false;

    void tick(bool vertical)
    {
        if (paso >= 0 && paso <= 8)
            (vertical ? top : left) = float((vertical ? TopStops : LeftStops)[std::size_t(paso)]);
        paso += reversa == 0 ? 1 : -1;
        if (paso == 8)
            reversa = -1;
        if (paso < 1)
            reversa = 0;
    }

    // Returns the message box the press shows, if any.
    std::string tirar()
    {
        std::string box;
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

    static std::string count(int n) { return n ? std::to_string(n) : std::string(); }
    Texts counters() const
    {
        // Whole percent, halves to the even neighbour (the default rounding
        // mode of nearbyint).
        const std::string porc =
            attempts ? std::to_string(int(std::nearbyint(double(baskets) / attempts * 100))) : std::string();
        return {count(attempts), count(baskets), count(misses), porc};
    }
};

struct Box
{
    std::string title;
    std::string text;
    Texts countersWhileOpen;
};

class Storm
{
public:
    // With real boxes every message box is the backend's own, read and
    // answered from inside its wait, with keys and clicks tried on the
    // windows behind it; otherwise the runtime's hook hands the box over.
    Storm(std::uint32_t seed, Form1 &game, sysinfo::MemoryPlatform &system, bool realBoxes = false)
        : m_rng(seed),
          m_game(game),
          m_system(system)
    {
        const auto answer = [this, realBoxes](const std::string &title, const std::string &text) {
            this->answer(title, text);
            if (realBoxes && m_rng() % 2)
                pressBehind();
        };
        if (realBoxes)
            driver::answerBoxes(answer);
        else
            Application::instance().setMessageBoxHook(answer);
    }

    // Plays one gesture and checks the game afterwards. Returns what went
    // wrong, or empty text.
    std::string play()
    {
        const Gesture gesture = pick();
        const bool refused = m_rng() % 2;
        m_system.setRefuseStarts(refused);
        const Texts countersBefore = counters();
        const std::size_t startedBefore = m_system.started().size();
        m_boxes.clear();
        m_heldTicks.clear();
        m_error.clear();

        const Command command = perform(gesture);
        driver::settle();

        Texts expectedBoxes;
        switch (command) {
        case Command::None:
            break;
        case Command::Tirar:
            if (const std::string box = m_model.tirar(); !box.empty())
                expectedBoxes.push_back(box);
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
                expectedBoxes.push_back(NoSysInfo);
            break;
        }
        ++m_commands[std::size_t(command)];
        m_heldTickCount += int(m_heldTicks.size());
        // Ticks that fell due while a box was up, each once, after it.
        for (bool vertical : m_heldTicks)
            m_model.tick(vertical);
        m_trail.push_back(name(gesture));
        if (m_trail.size() > 12)
            m_trail.pop_front();

        if (!m_error.empty())
            return m_error;
        Texts seenBoxes;
        for (const Box &box : m_boxes)
            seenBoxes.push_back(box.text);
        if (seenBoxes != expectedBoxes)
            return "message boxes " + joined(seenBoxes, "|") + ", expected " + joined(expectedBoxes, "|");
        const std::size_t starts = command == Command::SysInfo && !refused ? 1 : 0;
        if (m_system.started().size() != startedBefore + starts)
            return "the system information tool started " + std::to_string(m_system.started().size() - startedBefore)
                   + " times, expected " + std::to_string(starts);
        if (const std::string broken = invariants(countersBefore); !broken.empty())
            return broken;
        return compareWithModel();
    }

    // How often each command was played, and how many ticks were held back
    // behind a message box: a storm that never reached a path proves nothing
    // about it.
    int played(Command command) const { return m_commands[std::size_t(command)]; }
    int heldTicks() const { return m_heldTickCount; }
    int pressedBehind() const { return m_pressedBehind; }
    std::string trail() const { return joined(Texts(m_trail.begin(), m_trail.end()), ", "); }
    const Model &model() const { return m_model; }

private:
    frmAbout *about() const { return loadedInstance<frmAbout>(); }

    Texts counters() const
    {
        return {m_game.lblIntentos.caption(), m_game.lblEncesto.caption(), m_game.lblErro.caption(),
                m_game.lblPorc.caption()};
    }

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
        int roll = int(m_rng() % std::uint32_t(total));
        for (const Weighted &w : pool) {
            if (roll < w.weight)
                return w.gesture;
            roll -= w.weight;
        }
        return pool.back().gesture;
    }

    Command buttonCommand(const Control *button) const
    {
        if (button == &m_game.cmdTirar)
            return Command::Tirar;
        if (button == &m_game.cmdReset)
            return Command::Reiniciar;
        if (frmAbout *dialog = about()) {
            if (button == &dialog->cmdOK)
                return Command::CloseAbout;
            if (button == &dialog->cmdSysInfo)
                return Command::SysInfo;
        }
        return Command::None;
    }

    // Keys go to the focused control of the active window; with no window
    // active the player first clicks the game.
    Command key(int key, bool shift = false)
    {
        if (!driver::activeForm())
            driver::activate(m_game);
        const Form *active = driver::activeForm();
        if (!active)
            return fail("no window takes keys"), Command::None;
        const bool game = active == &m_game;
        const bool dialog = about() && active == about();
        const Command focused = buttonCommand(driver::focused());
        driver::press(key, shift);
        switch (key) {
        case keys::Enter:
            return game ? Command::Tirar : dialog ? Command::CloseAbout : Command::None;
        case keys::Space:
            return focused;
        case keys::Escape:
            return dialog ? Command::CloseAbout : Command::None;
        case keys::F1:
            return game ? Command::About : Command::None;
        case F8:
            return game ? Command::Stats : Command::None;
        default:
            return Command::None;
        }
    }

    Command click(CommandButton &button)
    {
        driver::activate(button.form());
        if (!driver::isActive(button.form()))
            return fail("the window under the click did not become active"), Command::None;
        const Command command = buttonCommand(&button);
        driver::click(button);
        return command;
    }

    Command clickAnywhere()
    {
        const Size client = driver::clientSize(m_game);
        const Point point {int(m_rng() % std::uint32_t(client.width)), int(m_rng() % std::uint32_t(client.height))};
        driver::activate(m_game);
        if (!driver::isActive(m_game))
            return fail("the game did not become active"), Command::None;
        Command command = Command::None;
        for (CommandButton *button : {&m_game.cmdTirar, &m_game.cmdReset}) {
            const Rect at = driver::placed(*button);
            if (point.x >= at.left && point.x < at.right() && point.y >= at.top && point.y < at.bottom())
                command = buttonCommand(button);
        }
        driver::clickAt(m_game, point);
        return command;
    }

    Command menu(MenuItem &item, Command command)
    {
        driver::activate(m_game);
        if (!driver::isActive(m_game))
            return fail("the game did not become active"), Command::None;
        driver::pick(item);
        return command;
    }

    Command perform(Gesture gesture)
    {
        switch (gesture) {
        case Gesture::ClickTirar:
            return click(m_game.cmdTirar);
        case Gesture::ClickReset:
            return click(m_game.cmdReset);
        case Gesture::ClickAnywhere:
            return clickAnywhere();
        case Gesture::Enter:
            return key(keys::Enter);
        case Gesture::Space:
            return key(keys::Space);
        case Gesture::Escape:
            return key(keys::Escape);
        case Gesture::Tab:
            return key(keys::Tab);
        case Gesture::BackTab:
            return key(keys::Tab, true);
        case Gesture::Letter:
            return key('A' + int(m_rng() % 26));
        case Gesture::F1:
            return key(keys::F1);
        case Gesture::F8:
            return key(F8);
        case Gesture::MenuStats:
            return menu(m_game.mnuStats, Command::Stats);
        case Gesture::MenuAbout:
            return menu(m_game.mnuAbout, Command::About);
        case Gesture::TickTimer1:
            return driver::tick(m_game.Timer1) ? Command::TickTimer1 : Command::None;
        case Gesture::TickTimer2:
            return driver::tick(m_game.Timer2) ? Command::TickTimer2 : Command::None;
        case Gesture::ClickOk:
            return click(about()->cmdOK);
        case Gesture::ClickSysInfo:
            return click(about()->cmdSysInfo);
        case Gesture::CloseAbout:
            driver::closeBox(*about());
            return Command::CloseAbout;
        case Gesture::ActivateGame:
            driver::activate(m_game);
            if (!driver::isActive(m_game))
                fail("the game did not become active");
            return Command::None;
        case Gesture::ActivateAbout:
            driver::activate(*about());
            if (!driver::isActive(*about()))
                fail("the About dialog did not become active");
            return Command::None;
        }
        return Command::None;
    }

    // The player reads the box and presses OK. While it is up the game
    // must stand still, even when its timers fall due.
    void answer(const std::string &title, const std::string &text)
    {
        m_boxes.push_back({title, text, counters()});
        if (title != "Korvo")
            fail("a message box without the application title");
        const int paso = m_game.paso.value();
        for (int i = int(m_rng() % 3); i > 0; --i) {
            const bool vertical = m_rng() % 2;
            if (driver::tick(vertical ? m_game.Timer2 : m_game.Timer1)
                && std::find(m_heldTicks.begin(), m_heldTicks.end(), vertical) == m_heldTicks.end())
                m_heldTicks.push_back(vertical);
        }
        if (m_game.paso.value() != paso)
            fail("a tick ran while a message box was up");
    }

    // While a box is up the player presses keys and clicks on the windows
    // behind it: none may reach the game.
    void pressBehind()
    {
        static const int keys[] = {keys::Enter, keys::Space, keys::Escape, keys::F1, F4, F8};
        frmAbout *dialog = about();
        Form &behind = dialog && m_rng() % 2 ? static_cast<Form &>(*dialog) : m_game;
        const int paso = m_game.paso.value();
        driver::pressBehindBox(behind, keys[m_rng() % std::size(keys)]);
        driver::clickBehindBox(&behind == &m_game ? m_game.cmdTirar : dialog->cmdOK);
        ++m_pressedBehind;
        if (m_game.paso.value() != paso || Application::instance().hasEnded())
            fail("input behind a message box reached the game");
    }

    void fail(const char *what)
    {
        if (m_error.empty())
            m_error = what;
    }

    // What a player relies on, whatever happened before.
    std::string invariants(const Texts &countersBefore) const
    {
        Application &app = Application::instance();
        if (app.hasEnded() || !isLoaded<Form1>())
            return "the program ended (exit code " + std::to_string(app.exitCode()) + ")";

        const Texts now = counters();
        for (const std::string &caption : now) {
            if (!std::all_of(caption.begin(), caption.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return "a counter reads \"" + caption + "\"";
        }
        const auto number = [](const std::string &text) { return text.empty() ? 0 : std::stoi(text); };
        const int attempts = number(now[0]), baskets = number(now[1]), misses = number(now[2]);
        if (attempts != baskets + misses)
            return "attempts " + now[0] + " != baskets " + now[1] + " + misses " + now[2];
        const std::string porc =
            attempts ? std::to_string(int(std::nearbyint(double(baskets) / attempts * 100))) : std::string();
        if (now[3] != porc)
            return "effectiveness reads " + now[3] + ", expected " + porc;

        if (now != countersBefore) {
            const bool judged = !m_boxes.empty() && (m_boxes[0].text == Basket || m_boxes[0].text == Miss);
            if (!judged)
                return "counters changed without a judged shot";
            if (m_boxes[0].countersWhileOpen != countersBefore)
                return "counters changed before the box was answered";
            for (int i = 0; i < 3; ++i) {
                if (number(now[std::size_t(i)]) < number(countersBefore[std::size_t(i)]))
                    return "a counter went down";
            }
            if (attempts != number(countersBefore[0]) + 1)
                return "a judged shot did not count one attempt";
        }

        if (driver::isTicking(m_game.Timer1) != m_game.Timer1.enabled()
            || driver::isTicking(m_game.Timer2) != m_game.Timer2.enabled())
            return "a timer runs against its enabled flag";
        const int paso = m_game.paso.value(), reversa = m_game.reversa.value();
        if (paso < -1 || paso > 9)
            return "paso is " + std::to_string(paso);
        if (reversa != 0 && reversa != -1)
            return "reversa is " + std::to_string(reversa);
        const float left = m_game.Picture2.left(), top = m_game.Picture1.top();
        const auto onStop = [](const auto &stops, float at) {
            return std::find(stops.begin(), stops.end(), int(at)) != stops.end() && float(int(at)) == at;
        };
        if (!onStop(LeftStops, left) || (!onStop(TopStops, top) && top != 240))
            return "a ball stands between stops (" + std::to_string(left) + ", " + std::to_string(top) + ")";

        const int aboutWindows = driver::openWindows("frmAbout");
        if (aboutWindows > 1)
            return std::to_string(aboutWindows) + " About dialogs";
        if (bool(about()) != (aboutWindows == 1))
            return "the About dialog is loaded but not shown, or shown but not loaded";
        if (m_game.Frame1.visible() != m_game.mnuStats.checked())
            return "the statistics panel and its check mark disagree";
        return {};
    }

    std::string compareWithModel() const
    {
        const auto flag = [](bool on) { return on ? "true" : "false"; };
        if (m_game.Timer1.enabled() != m_model.timer1)
            return std::string("Timer1 is ") + flag(m_game.Timer1.enabled()) + ", expected " + flag(m_model.timer1);
        if (m_game.Timer2.enabled() != m_model.timer2)
            return std::string("Timer2 is ") + flag(m_game.Timer2.enabled()) + ", expected " + flag(m_model.timer2);
        if (m_game.paso.value() != m_model.paso)
            return "paso is " + std::to_string(m_game.paso.value()) + ", expected " + std::to_string(m_model.paso);
        if (m_game.reversa.value() != m_model.reversa)
            return "reversa is " + std::to_string(m_game.reversa.value()) + ", expected "
                   + std::to_string(m_model.reversa);
        if (m_game.Picture2.left() != m_model.left)
            return "Picture2.Left is " + std::to_string(m_game.Picture2.left()) + ", expected "
                   + std::to_string(m_model.left);
        if (m_game.Picture1.top() != m_model.top)
            return "Picture1.Top is " + std::to_string(m_game.Picture1.top()) + ", expected "
                   + std::to_string(m_model.top);
        if (m_game.lbl.caption() != m_model.message)
            return "the message line reads \"" + m_game.lbl.caption() + "\", expected \"" + m_model.message + "\"";
        if (counters() != m_model.counters())
            return "the statistics read " + joined(counters(), "|") + ", expected " + joined(m_model.counters(), "|");
        if (m_game.Frame1.visible() != m_model.panel)
            return std::string("the statistics panel is ") + (m_game.Frame1.visible() ? "shown" : "hidden");
        if (bool(about()) != m_model.about)
            return std::string("the About dialog is ") + (about() ? "open" : "closed");
        return {};
    }

    std::mt19937 m_rng;
    Form1 &m_game;
    sysinfo::MemoryPlatform &m_system;
    Model m_model;
    std::vector<Box> m_boxes;
    std::vector<bool> m_heldTicks; // vertical or not, in the order they fell due
    std::string m_error;
    std::deque<std::string> m_trail;
    std::array<int, std::size_t(Command::SysInfo) + 1> m_commands {};
    int m_heldTickCount = 0;
    int m_pressedBehind = 0;
};

// The fixture of a storm: a registered system information tool that may
// refuse to start, and the game shown, active, its time standing still.
struct Stormy : Fresh
{
    Stormy()
    {
        auto memory = std::make_unique<sysinfo::MemoryPlatform>();
        memory->setString(sysinfo::HKeyLocalMachine, sysinfo::MsinfoKey, "PATH", "C:\\msinfo32.exe");
        system = memory.get();
        frmAbout::platform() = std::move(memory);
        driver::stopTime();
        driver::show(game);
    }
    sysinfo::MemoryPlatform *system;
    Form1 &game = instance<Form1>();
};

std::string failure(std::uint32_t seed, int action, const std::string &error, const Storm &storm)
{
    return "seed " + std::to_string(seed) + ", action " + std::to_string(action) + ": " + error
           + "\n  last actions: " + storm.trail();
}

} // namespace

TEST_CASE("a storm of player input")
{
    Stormy stormy;
    const std::uint32_t seed = envNumber("KORVO_STORM_SEED", 20240611);
    const int actions = int(envNumber("KORVO_STORM_ACTIONS", 20000));
    Storm storm(seed, stormy.game, *stormy.system);
    for (int i = 0; i < actions; ++i) {
        const std::string error = storm.play();
        if (!error.empty())
            FAIL(failure(seed, i, error, storm));
    }
    const Model &end = storm.model();
    MESSAGE("seed " << seed << ": " << actions << " actions; " << end.attempts << " shots judged (" << end.baskets
                    << " baskets), " << storm.played(Command::About) << " About opened, "
                    << storm.played(Command::SysInfo) << " System Info, " << storm.heldTicks()
                    << " ticks held behind a box");
    if (actions >= 20000) {
        CHECK(end.attempts > 800);
        CHECK(end.baskets > 100);
        CHECK(end.misses > 200);
        CHECK(storm.played(Command::About) > 100);
        CHECK(storm.played(Command::CloseAbout) > 100);
        CHECK(storm.played(Command::SysInfo) > 50);
        CHECK(storm.heldTicks() > 5);
    }
}

TEST_CASE("a storm with the backend's own message boxes, and input behind them")
{
    Stormy stormy;
    const std::uint32_t seed = envNumber("KORVO_STORM_SEED", 20240611) + 1;
    const int actions = std::min(int(envNumber("KORVO_STORM_ACTIONS", 10000)), 10000);
    Storm storm(seed, stormy.game, *stormy.system, true);
    for (int i = 0; i < actions; ++i) {
        const std::string error = storm.play();
        if (!error.empty())
            FAIL(failure(seed, i, error, storm));
    }
    MESSAGE("seed " << seed << " with the backend's boxes: " << actions << " actions, " << storm.model().attempts
                    << " shots judged, " << storm.pressedBehind() << " keys and clicks behind a box");
    if (actions >= 10000) {
        CHECK(storm.model().attempts > 200);
        CHECK(storm.pressedBehind() > 200);
    }
}

TEST_CASE("every ending after a storm leaves nothing behind")
{
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        for (const std::string ending : {"F4", "Salir", "close box"}) {
            CAPTURE(seed);
            CAPTURE(ending);
            Stormy stormy;
            Form1 &game = stormy.game;
            Application &app = Application::instance();
            Storm storm(seed, game, *stormy.system);
            for (int i = 0; i < 300; ++i) {
                const std::string error = storm.play();
                if (!error.empty())
                    FAIL(failure(seed, i, error, storm));
            }
            const bool aboutOpen = isLoaded<frmAbout>();
            driver::activate(game);
            if (ending == "F4") {
                driver::press(F4);
            } else if (ending == "Salir") {
                driver::pick(game.mnuSalir);
            } else {
                driver::closeBox(game);
                driver::settle();
                CHECK_FALSE(isLoaded<Form1>());
                // With the About dialog still open the program goes on until it closes.
                CHECK(app.hasEnded() == !aboutOpen);
                if (aboutOpen)
                    driver::closeBox(*loadedInstance<frmAbout>());
            }
            driver::settle();
            CHECK(app.hasEnded());
            CHECK(app.exitCode() == 0);
            CHECK(app.loadedForms().empty());
            CHECK(driver::openWindows({}) == 0);
        }
    }
}
