// Shooting and statistics, played as a player plays: through the real
// buttons and keys, with every message box answered and time standing still,
// the sweeps moved by calling their handlers.

#include "driver.h"
#include "game/aim.h"
#include "game/form1.h"
#include "game/shot.h"
#include "runtime/keyboard.h"
#include "testforms.h"

#include <doctest.h>

#include <string>
#include <vector>

using namespace forms;

namespace {

using Counters = std::vector<std::string>; // attempts, baskets, misses, effectiveness

class Player
{
public:
    Player() : m_game(instance<Form1>())
    {
        driver::stopTime();
        driver::show(m_game);
        Application::instance().setMessageBoxHook([this](const std::string &title, const std::string &text) {
            CHECK(title == "Korvo");
            boxes.push_back(text);
            countersWhileOpen.push_back(counters());
        });
    }

    Form1 &game() { return m_game; }

    Counters counters() const
    {
        return {m_game.lblIntentos.caption(), m_game.lblEncesto.caption(), m_game.lblErro.caption(),
                m_game.lblPorc.caption()};
    }

    void enter() { driver::press(keys::Enter); }
    void reset() { driver::click(m_game.cmdReset); }

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

    std::vector<std::string> boxes;
    std::vector<Counters> countersWhileOpen;

private:
    Form1 &m_game;
};

} // namespace

TEST_CASE("the target zone's bounds are outside it")
{
    struct Row
    {
        float left, top;
        bool scores;
    };
    const Row rows[] = {{2100, 1500, true},  {2099, 2000, false}, {3198, 2300, true},      {3199, 2000, false},
                        {2500, 1499, false}, {2500, 2301, false}, {2099.5f, 1499.5f, true}};
    for (const Row &row : rows) {
        CAPTURE(row.left);
        CAPTURE(row.top);
        CHECK(shot::scores(row.left, [&row] { return row.top; }) == row.scores);
    }
    // Of all 81 pairs of stops only Left 2500 or 3000 with Top 1500, 2000 or
    // 2300 score; Left 2000 and Top 2700 are near misses.
    for (int left : aim::horizontalStops) {
        for (int top : aim::verticalStops) {
            CAPTURE(left);
            CAPTURE(top);
            const bool expected = (left == 2500 || left == 3000) && (top == 1500 || top == 2000 || top == 2300);
            CHECK(shot::scores(float(left), [top] { return float(top); }) == expected);
        }
    }
}

TEST_CASE("the vertical ball is read only when the horizontal one is inside")
{
    int reads = 0;
    const auto top = [&reads] {
        ++reads;
        return 2000.0f;
    };
    CHECK_FALSE(shot::scores(2000.0f, top));
    CHECK(reads == 0);
    CHECK(shot::scores(2500.0f, top));
    CHECK(reads == 1);
}

TEST_CASE("the first press freezes the horizontal ball")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.tickTo(4);
    player.enter();
    CHECK_FALSE(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    CHECK(game.lbl.caption() == "Ahora tirá la otra pelota");
    CHECK(game.paso.value() == 0);
    CHECK(player.boxes.empty());
    // The horizontal ball stays frozen while the vertical one sweeps.
    game.Timer2_Timer();
    game.Timer2_Timer();
    CHECK(game.Picture2.left() == 2500.0f);
    CHECK(game.Picture1.top() == 500.0f);
}

TEST_CASE("the first judged shot counts")
{
    struct Row
    {
        const char *name;
        int hStop, vStop;
        const char *message;
        Counters counters;
    };
    const Row rows[] = {
        {"basket at 2500, 2300", 4, 5, "Encestaste!!!!!!!", {"1", "1", "", "100"}},
        {"basket at 3000, 1500", 5, 3, "Encestaste!!!!!!!", {"1", "1", "", "100"}},
        {"near miss at 2000, 2000", 3, 4, "Erraste", {"1", "", "1", "0"}},
        {"near miss at 2500, 2700", 4, 6, "Erraste", {"1", "", "1", "0"}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Fresh fresh;
        Player player;
        Form1 &game = player.game();
        player.shoot(row.hStop, row.vStop);
        REQUIRE(player.boxes.size() == 1);
        CHECK(player.boxes[0] == row.message);
        CHECK(player.counters() == row.counters);
        CHECK(game.lbl.caption() == "");
        CHECK_FALSE(game.Timer1.enabled());
        CHECK_FALSE(game.Timer2.enabled());
        CHECK(game.paso.value() == 0);
    }
}

TEST_CASE("the counters change only after OK")
{
    Fresh fresh;
    Player player;
    player.basket();
    player.reset();
    player.miss();
    REQUIRE(player.boxes.size() == 2);
    CHECK(player.countersWhileOpen[0] == Counters {"", "", "", ""});
    CHECK(player.countersWhileOpen[1] == Counters {"1", "1", "", "100"});
    CHECK(player.counters() == Counters {"2", "1", "1", "50"});
}

TEST_CASE("the effectiveness rounds halves to the even neighbour")
{
    struct Row
    {
        const char *shots; // B basket, M miss
        Counters counters;
    };
    const Row rows[] = {
        {"BMM", {"3", "1", "2", "33"}},      {"BBM", {"3", "2", "1", "67"}}, {"MMMBMMMM", {"8", "1", "7", "12"}},
        {"BMBMBMMM", {"8", "3", "5", "38"}}, {"MB", {"2", "1", "1", "50"}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.shots);
        Fresh fresh;
        Player player;
        const std::string shots = row.shots;
        for (char shot : shots) {
            shot == 'B' ? player.basket() : player.miss();
            player.reset();
        }
        CHECK(player.counters() == row.counters);
        CHECK(player.boxes.size() == shots.size());
    }
}

TEST_CASE("a second press before the vertical ball's first tick misses")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    // The very first shot: the vertical ball still stands at its stored Top 240.
    player.tickTo(4);
    player.enter();
    player.enter();
    CHECK(game.Picture1.top() == 240.0f);
    CHECK(player.boxes.back() == "Erraste");

    // After Reiniciar it stands at Top 0.
    player.reset();
    CHECK(game.Picture1.top() == 0.0f);
    player.tickTo(5);
    player.enter();
    player.enter();
    CHECK(player.boxes.back() == "Erraste");
    CHECK(player.counters() == Counters {"2", "", "2", "0"});
}

TEST_CASE("Tirar after a judged shot only asks for Reiniciar")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.basket();
    game.paso = 6;
    for (int i = 0; i < 3; ++i)
        player.enter();
    REQUIRE(player.boxes.size() == 4);
    for (size_t i = 1; i < 4; ++i)
        CHECK(player.boxes[i] == "Presione reiniciar para tirar de nuevo");
    CHECK(player.counters() == Counters {"1", "1", "", "100"});
    CHECK_FALSE(game.Timer1.enabled());
    CHECK_FALSE(game.Timer2.enabled());
    CHECK(game.paso.value() == 0);
}

TEST_CASE("the counters keep counting while the panel is hidden")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    driver::press(keys::F1 + 7);
    CHECK_FALSE(game.Frame1.visible());
    player.miss();
    driver::press(keys::F1 + 7);
    CHECK(game.Frame1.visible());
    CHECK(player.counters() == Counters {"1", "", "1", "0"});
}

TEST_CASE("Reiniciar during the horizontal aim starts it again")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.tickTo(7);
    game.reversa = -1;
    player.reset();
    CHECK(game.Timer1.enabled());
    CHECK_FALSE(game.Timer2.enabled());
    CHECK(game.paso.value() == 0);
    CHECK(game.reversa.value() == 0);
    CHECK(game.Picture1.top() == 0.0f);
    CHECK(game.Picture2.left() == 4000.0f); // moves only at the next tick
    game.Timer1_Timer();
    CHECK(game.Picture2.left() == 600.0f);
}

TEST_CASE("Reiniciar after a judged shot starts the next one; the counters stay")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.basket();
    player.reset();
    CHECK(game.Timer1.enabled());
    CHECK_FALSE(game.Timer2.enabled());
    CHECK(game.lbl.caption() == "");
    CHECK(player.counters() == Counters {"1", "1", "", "100"});
}

TEST_CASE("Reiniciar during the vertical aim runs both sweeps on one index")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.tickTo(2);
    player.enter(); // vertical aim
    CHECK(game.lbl.caption() == "Ahora tirá la otra pelota");
    player.reset();
    CHECK(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    CHECK(game.lbl.caption() == "");

    // Both ticks advance the one shared index: each ball shows every other stop.
    game.Timer1_Timer();
    game.Timer2_Timer();
    game.Timer1_Timer();
    game.Timer2_Timer();
    CHECK(game.Picture2.left() == 1500.0f); // stops 0, 2
    CHECK(game.Picture1.top() == 1500.0f);  // stops 1, 3
    CHECK(game.paso.value() == 4);

    player.reset(); // stays with both running
    CHECK(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    CHECK(player.boxes.empty());

    // Tirar with both running stops only the horizontal sweep.
    player.enter();
    CHECK_FALSE(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    CHECK(game.lbl.caption() == "Ahora tirá la otra pelota");
    CHECK(player.boxes.empty());
    player.tickTo(4);
    player.enter();
    CHECK(player.boxes.size() == 1);
    CHECK(player.counters()[0] == "1");
}

TEST_CASE("Tirar keeps the direction: the vertical ball may rest three ticks on its first stop")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    // Stop the horizontal ball while it counts down: the vertical sweep starts
    // with reversa still -1.
    game.paso = 6;
    game.reversa = -1;
    game.Timer1_Timer();
    player.enter();
    CHECK(game.paso.value() == 0);
    CHECK(game.reversa.value() == -1);
    std::vector<float> tops;
    for (int i = 0; i < 4; ++i) {
        game.Timer2_Timer();
        tops.push_back(game.Picture1.top());
    }
    CHECK(tops == std::vector<float> {0.0f, 0.0f, 0.0f, 500.0f});
}

TEST_CASE("Enter presses Tirar after Reiniciar was clicked; Space the focused button")
{
    Fresh fresh;
    Player player;
    Form1 &game = player.game();
    player.reset();
    CHECK(driver::focused() == &game.cmdReset);
    player.enter();
    CHECK_FALSE(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());

    // Reiniciar has the focus: Space is its, not Tirar's.
    driver::press(keys::Space);
    CHECK(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    driver::press(keys::Tab, true); // back to Tirar
    CHECK(driver::focused() == &game.cmdTirar);
    driver::press(keys::Space);
    CHECK_FALSE(game.Timer1.enabled());
}
