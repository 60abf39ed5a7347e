// The game's own flow on every backend: the splash giving way, and a whole
// shot played from the keyboard with its box answered.

#include "driver.h"
#include "game/form1.h"
#include "game/frmsplash.h"
#include "runtime/keyboard.h"
#include "testforms.h"

#include <doctest.h>

using namespace forms;

TEST_CASE("the splash gives way to the game after 1.5 s")
{
    Fresh fresh;
    Dispatcher::instance().dispatch(nullptr, [] { instance<frmSplash>().Show(); });
    REQUIRE(isLoaded<frmSplash>());
    CHECK(driver::isVisible(*loadedInstance<frmSplash>()));
    driver::wait(1300);
    CHECK(isLoaded<frmSplash>());
    CHECK_FALSE(isLoaded<Form1>());
    REQUIRE(driver::waitFor([] { return !isLoaded<frmSplash>(); }, 3000));
    REQUIRE(isLoaded<Form1>());
    CHECK(Application::instance().loadedForms().size() == 1);
    CHECK(driver::isVisible(*loadedInstance<Form1>()));
    CHECK(driver::waitFor([] { return driver::isActive(*loadedInstance<Form1>()); }));
}

TEST_CASE("a whole shot through the keyboard: the box first, then the counters")
{
    Fresh fresh;
    Form1 &game = instance<Form1>();
    driver::show(game);
    Boxes boxes;
    std::string countedWhileUp = "?";
    boxes.inside = [&] { countedWhileUp = game.lblIntentos.caption(); };
    driver::press(keys::Enter);
    CHECK(game.lbl.caption() == "Ahora tirá la otra pelota");
    CHECK_FALSE(game.Timer1.enabled());
    CHECK(game.Timer2.enabled());
    // Both balls inside the ring.
    game.Picture2.setLeft(2500);
    game.Picture1.setTop(2000);
    game.paso = 5;
    game.reversa = 0;
    driver::press(keys::Enter);
    REQUIRE(boxes.texts.size() == 1);
    CHECK(boxes.titles[0] == "Korvo");
    CHECK(boxes.texts[0] == "Encestaste!!!!!!!");
    CHECK(countedWhileUp == ""); // the counters rise after the box
    CHECK(game.lblIntentos.caption() == "1");
    CHECK(game.lblEncesto.caption() == "1");
    CHECK(game.lblPorc.caption() == "100");
    CHECK(game.lbl.caption() == "");
    CHECK_FALSE(game.Timer2.enabled());
}
