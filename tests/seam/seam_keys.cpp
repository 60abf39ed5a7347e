// The keyboard: Enter and Esc, Space on the focused button, Tab order, key
// preview, menu shortcuts, and a held key that closed its form.

#include "driver.h"
#include "game/form1.h"
#include "game/frmsplash.h"
#include "runtime/keyboard.h"
#include "screens/frmabout.h"
#include "testforms.h"

#include <doctest.h>

using namespace forms;

TEST_CASE("Enter presses the default button from anywhere, Esc the cancel button")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    driver::show(form);
    driver::press(keys::Tab);
    driver::press(keys::Tab); // the focus on Cancelar
    driver::press(keys::Enter);
    CHECK(form.okClicks == 1);
    driver::press(keys::Escape);
    CHECK(form.cancelClicks == 1);
    CHECK(form.okClicks == 1);
    CHECK(form.otherClicks == 0);
}

TEST_CASE("the focus starts on the first button in tab order and Tab follows the order")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    driver::show(form);
    CHECK(driver::focused() == &form.cmdOther); // tab index 0
    driver::press(keys::Space);
    CHECK(form.otherClicks == 1);
    CHECK(form.okClicks == 0);
    driver::press(keys::Tab);
    CHECK(driver::focused() == &form.cmdOK);
    driver::press(keys::Tab);
    CHECK(driver::focused() == &form.cmdCancel);
    driver::press(keys::Tab);
    CHECK(driver::focused() == &form.cmdOther); // round again
    driver::press(keys::Tab, true);
    CHECK(driver::focused() == &form.cmdCancel); // and back
}

TEST_CASE("with key preview the form sees character keys first")
{
    Fresh fresh;
    instance<OtherForm>(); // keeps the program alive
    PreviewForm &form = instance<PreviewForm>();
    driver::show(form);
    driver::press('A');
    driver::press('Z');
    driver::press(keys::F1 + 1); // no character: not previewed
    CHECK(form.keys == std::vector<int> {'a', 'z'});
    driver::press('Q');
    CHECK_FALSE(isLoaded<PreviewForm>());
}

TEST_CASE("F8 hides and shows the statistics, the check mark the program's")
{
    Fresh fresh;
    Form1 &game = instance<Form1>();
    driver::show(game);
    CHECK(driver::isChecked(game.mnuStats));
    driver::press(keys::F1 + 7);
    CHECK_FALSE(game.mnuStats.checked());
    CHECK_FALSE(driver::isChecked(game.mnuStats));
    CHECK_FALSE(game.Frame1.visible());
    CHECK_FALSE(driver::isVisible(game.Frame1));
    driver::press(keys::F1 + 7);
    CHECK(driver::isChecked(game.mnuStats));
    CHECK(driver::isVisible(game.Frame1));
}

TEST_CASE("F1 opens About once; Esc, Enter and Space on OK close it, and the game goes on")
{
    Fresh fresh;
    Form1 &game = instance<Form1>();
    driver::show(game);
    driver::press(keys::F1);
    REQUIRE(isLoaded<frmAbout>());
    frmAbout *about = loadedInstance<frmAbout>();
    CHECK(driver::waitFor([about] { return driver::isActive(*about); }));
    // F1 again in the game: the same dialog comes forward.
    driver::activate(game);
    driver::press(keys::F1);
    CHECK(loadedInstance<frmAbout>() == about);
    CHECK(driver::openWindows("frmAbout") == 1);
    CHECK(driver::waitFor([about] { return driver::isActive(*about); }));
    CHECK(game.Timer1.enabled());
    // So does the menu item.
    driver::pick(game.mnuAbout);
    CHECK(loadedInstance<frmAbout>() == about);

    driver::press(keys::Escape);
    CHECK_FALSE(isLoaded<frmAbout>());
    CHECK(driver::openWindows("frmAbout") == 0);
    CHECK(isLoaded<Form1>());

    driver::activate(game);
    driver::press(keys::F1);
    REQUIRE(isLoaded<frmAbout>());
    driver::activate(*loadedInstance<frmAbout>());
    driver::press(keys::Enter);
    CHECK_FALSE(isLoaded<frmAbout>());
    // Enter closed About; it is not Tirar's too.
    CHECK(game.lbl.caption() == "");

    driver::activate(game);
    driver::press(keys::F1);
    REQUIRE(isLoaded<frmAbout>());
    driver::activate(*loadedInstance<frmAbout>());
    CHECK(driver::focused() == &loadedInstance<frmAbout>()->cmdOK); // tab index 0
    driver::press(keys::Space);
    CHECK_FALSE(isLoaded<frmAbout>());
    CHECK(isLoaded<Form1>());
}

TEST_CASE("F4 ends the program while the ball moves, with exit code 0")
{
    Fresh fresh;
    auto &app = Application::instance();
    Form1 &game = instance<Form1>();
    driver::show(game);
    CHECK(driver::waitFor([&] { return game.Picture2.left() > 600.0f; })); // the ball is on its way
    driver::press(keys::F1 + 3);
    CHECK(app.hasEnded());
    CHECK(app.exitCode() == 0);
    CHECK_FALSE(isLoaded<Form1>());
}

TEST_CASE("a held key that closed its form does nothing more until it is pressed again")
{
    for (const bool about : {false, true}) {
        CAPTURE(about);
        Fresh fresh;
        Boxes boxes;
        if (about) {
            // OK, the default button, closes About.
            Form1 &game = instance<Form1>();
            driver::show(game);
            driver::press(keys::F1);
            REQUIRE(isLoaded<frmAbout>());
            driver::activate(*loadedInstance<frmAbout>());
            driver::hold(keys::Enter);
            CHECK_FALSE(isLoaded<frmAbout>());
            driver::activate(game);
        } else {
            // A key on the splash opens the game at once.
            Dispatcher::instance().dispatch(nullptr, [] { instance<frmSplash>().Show(); });
            driver::activate(instance<frmSplash>());
            driver::hold(keys::Enter);
            CHECK_FALSE(isLoaded<frmSplash>());
            REQUIRE(isLoaded<Form1>());
            driver::activate(*loadedInstance<Form1>());
        }
        Form1 &game = *loadedInstance<Form1>();
        // Still held: its repeats reach the game window and do nothing.
        for (int i = 0; i < 4; ++i)
            driver::repeat(keys::Enter);
        CHECK(game.Timer1.enabled());
        CHECK_FALSE(game.Timer2.enabled());
        CHECK(game.lbl.caption() == "");
        CHECK(boxes.texts.empty());

        // Released and pressed again, Enter is Tirar's; held in the game it
        // goes on pressing it.
        driver::release(keys::Enter);
        driver::hold(keys::Enter);
        CHECK(game.lbl.caption() == "Ahora tirá la otra pelota");
        driver::repeat(keys::Enter);
        CHECK(boxes.texts == std::vector<std::string> {"Erraste"});
        CHECK(game.lblIntentos.caption() == "1");
        driver::release(keys::Enter);
    }
}
