// Forms' lifetime, the program's end, errors no handler traps, timers and
// the one dispatch point: what every backend must do the same.

#include "driver.h"
#include "runtime/basic.h"
#include "testforms.h"

#include <doctest.h>

using namespace forms;

TEST_CASE("a form loads on first use only, and comes back fresh after it is unloaded")
{
    Fresh fresh;
    TestForm::loads = 0;
    CHECK_FALSE(isLoaded<TestForm>());
    TestForm &first = instance<TestForm>();
    CHECK(&instance<TestForm>() == &first);
    CHECK(TestForm::loads == 1);
    CHECK(first.isLoaded());
    CHECK_FALSE(driver::isVisible(first)); // loaded, not shown

    driver::show(first);
    driver::click(first.cmdOK);
    CHECK(first.okClicks == 1);
    Unload(first);
    CHECK_FALSE(isLoaded<TestForm>());
    TestForm &second = instance<TestForm>();
    CHECK(second.okClicks == 0);
    CHECK(second.myLoads == 1);
    CHECK(TestForm::loads == 2);
}

TEST_CASE("the program runs while a form is loaded")
{
    Fresh fresh;
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    OtherForm &other = instance<OtherForm>();
    Unload(form);
    driver::wait(20);
    CHECK_FALSE(app.hasEnded()); // another form is still loaded
    Unload(other);
    CHECK(driver::waitFor([&] { return app.hasEnded(); }));
    CHECK(app.exitCode() == 0);
}

TEST_CASE("the close box unloads the form through the dispatch point")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    driver::show(form);
    instance<OtherForm>();
    // While a handler runs the close waits for it, like any other event.
    bool loadedAfterClose = false;
    form.cmdOther.onClick([&] {
        driver::closeBox(form);
        loadedAfterClose = isLoaded<TestForm>();
    });
    driver::click(form.cmdOther);
    CHECK(loadedAfterClose);
    CHECK(driver::waitFor([] { return !isLoaded<TestForm>(); }));
    CHECK(isLoaded<OtherForm>());
    CHECK_FALSE(Application::instance().hasEnded());
}

TEST_CASE("End unloads everything at once and stops all events, with exit code 0")
{
    Fresh fresh;
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    driver::show(form);
    driver::show(instance<OtherForm>());
    int ticks = 0; // counted outside the form, which goes once End returns
    form.Timer1.onTimer([&ticks] { ++ticks; });
    form.Timer1.setEnabled(true);
    End();
    CHECK(app.hasEnded());
    CHECK(app.exitCode() == 0);
    CHECK_FALSE(isLoaded<TestForm>());
    CHECK_FALSE(isLoaded<OtherForm>());
    CHECK(app.loadedForms().empty());
    CHECK_FALSE(form.Timer1.enabled());
    CHECK_FALSE(driver::isVisible(form));
    form.cmdOK.click(); // a click that arrives after End runs nothing
    CHECK(form.okClicks == 0);
    driver::wait(50);
    CHECK(ticks == 0);
}

TEST_CASE("an error no handler traps is reported in a box and ends the program with exit code 1")
{
    Fresh fresh;
    auto &app = Application::instance();
    TestForm &form = instance<TestForm>();
    Boxes boxes;
    form.cmdOther.onClick([] { Integer(32767) + 1; });
    form.cmdOther.click();
    REQUIRE(boxes.texts.size() == 1);
    CHECK(boxes.titles[0] == "Korvo");
    CHECK(boxes.texts[0].find("Desbordamiento") != std::string::npos);
    CHECK(boxes.texts[0].find("'6'") != std::string::npos);
    CHECK(app.hasEnded());
    CHECK(app.exitCode() == 1);
    CHECK_FALSE(isLoaded<TestForm>());
}

TEST_CASE("a timer ticks while it is enabled, and only then")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    CHECK(form.Timer1.interval() == 10);
    driver::wait(60);
    CHECK(form.ticks == 0);
    form.Timer1.setEnabled(true);
    CHECK(driver::waitFor([&] { return form.ticks >= 3; }));
    form.Timer1.setEnabled(false);
    const int ticks = form.ticks;
    driver::wait(60);
    CHECK(form.ticks == ticks);
}

TEST_CASE("a tick that falls due while a box waits comes once after it")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    Boxes boxes;
    int ticksDuringBox = -1;
    // The player takes a while to answer; the timer keeps falling due.
    boxes.inside = [&] {
        driver::wait(120);
        ticksDuringBox = form.ticks;
    };
    form.cmdOther.onClick([&] {
        form.Timer1.setEnabled(true);
        MsgBox("espera");
    });
    form.cmdOther.click();
    CHECK(ticksDuringBox == 0);
    form.Timer1.setEnabled(false);
    driver::wait(50);
    CHECK(form.ticks == 1); // once, not in a burst
}

TEST_CASE("one event at a time: a click during a box waits for its handler to return")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    driver::show(form);
    Boxes boxes;
    std::vector<std::string> order;
    boxes.inside = [&] {
        form.cmdOK.click();
        order.push_back("box answered");
    };
    form.cmdOther.onClick([&] {
        MsgBox("espera");
        order.push_back("handler returned");
    });
    form.cmdOK.onClick([&] { order.push_back("OK clicked"); });
    form.cmdOther.click();
    driver::wait(20);
    CHECK(order == std::vector<std::string> {"box answered", "handler returned", "OK clicked"});
}
