// Where the windows and controls stand: twips as the form's pixels at the
// screen's DPI, auto-sized labels, and where each window opens.

#include "driver.h"
#include "game/form1.h"
#include "game/frmsplash.h"
#include "screens/frmabout.h"
#include "testforms.h"

#include <doctest.h>

#include <cstdlib>

using namespace forms;

namespace {

Rect twips(const Form &form, int left, int top, int width, int height)
{
    return toPixels(Bounds {left, top, width, height}, form.dpi());
}

std::string show(const Rect &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x"
           + std::to_string(r.height);
}

#define CHECK_RECT(actual, expected) CHECK_MESSAGE((actual) == (expected), show(actual), " != ", show(expected))

} // namespace

TEST_CASE("twips become the screen's pixels")
{
    Fresh fresh;
    Form1 &game = instance<Form1>();
    driver::show(game);
    // A form's pixels are device pixels, or are scaled to them whole.
    CHECK(game.dpi() * driver::deviceScale() == driver::screenDpi());

    CHECK(driver::clientSize(game) == Size {game.pixels(10350), game.pixels(7860)});
    CHECK_RECT(driver::placed(game.cmdTirar), twips(game, 4320, 3120, 1095, 975));
    CHECK_RECT(driver::placed(game.cmdReset), twips(game, 4320, 4440, 1095, 375));
    CHECK_RECT(driver::placed(game.Frame1), twips(game, 480, 5400, 3255, 1695));
    CHECK_RECT(driver::placed(game.Picture3), twips(game, 5880, 360, 4335, 6615));
    CHECK_RECT(driver::placed(game.lbl), twips(game, 120, 4920, 4215, 375));
    // Inside the frame, from its corner.
    CHECK_RECT(driver::placed(game.Label3), twips(game, 360, 600, 1455, 255));
    CHECK_RECT(driver::placed(game.lblPorc), twips(game, 2040, 1080, 495, 255));

    frmAbout &about = instance<frmAbout>();
    CHECK(driver::clientSize(about) == Size {about.pixels(5730), about.pixels(3555)});
    CHECK_RECT(driver::placed(about.cmdOK), twips(about, 4245, 2625, 1260, 345));
}

TEST_CASE("an image keeps its single-precision twips and stands on the nearest pixel")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    form.imgBall.setLeft(1000.0f);
    form.imgBall.setTop(2300.0f);
    CHECK(form.imgBall.left() == 1000.0f);
    CHECK(form.imgBall.top() == 2300.0f);
    // Drawn on the nearest device pixel: 1000 twips is 66.67 pixels at 96
    // DPI, 133.33 at 192.
    const int dpi = driver::screenDpi();
    CHECK(driver::drawnAt(form.imgBall) == Point {toPixels(1000, dpi), toPixels(2300, dpi)});
    form.imgBall.setLeft(1234.5f);
    CHECK(form.imgBall.left() == 1234.5f);
}

TEST_CASE("a right-aligned auto-sized label keeps its right edge")
{
    Fresh fresh;
    TestForm &form = instance<TestForm>();
    const int right = twips(form, 1500, 150, 2400, 285).right();
    form.lblRight.setCaption("Version 1.1.1");
    const Rect wide = driver::placed(form.lblRight);
    CHECK(wide.right() == right);
    form.lblRight.setCaption("1");
    const Rect narrow = driver::placed(form.lblRight);
    CHECK(narrow.right() == right);
    CHECK(narrow.width < wide.width);
    CHECK(form.lblRight.caption() == "1");

    // The splash's version and platform lines end where their boxes end; the
    // company's left-aligned line starts where its box starts.
    frmSplash &splash = instance<frmSplash>();
    splash.Timer1.setEnabled(false);
    CHECK(splash.lblVersion.caption() == "Version 1.1.1");
    CHECK(driver::placed(splash.lblVersion).right() == twips(splash, 4845, 2700, 2010, 285).right());
    CHECK(driver::placed(splash.lblPlatform).right() == twips(splash, 3165, 2340, 3690, 285).right());
    CHECK(driver::placed(splash.lblCompanyProduct).left == twips(splash, 2355, 705, 1995, 435).left);
}

TEST_CASE("the splash opens centred on the screen, About at its place")
{
    Fresh fresh;
    frmSplash &splash = instance<frmSplash>();
    splash.Timer1.setEnabled(false);
    driver::show(splash);
    const Rect frame = driver::frame(splash);
    const Rect area = driver::workArea();
    CHECK(std::abs((frame.left + frame.right()) - (area.left + area.right())) <= 1);
    CHECK(std::abs((frame.top + frame.bottom()) - (area.top + area.bottom())) <= 1);
    CHECK(driver::clientSize(splash) == Size {splash.pixels(7380), splash.pixels(4245)});

    driver::show(instance<Form1>());
    frmAbout &about = instance<frmAbout>();
    driver::show(about);
    CHECK(driver::frame(about).left == about.pixels(2340));
    CHECK(driver::frame(about).top == about.pixels(1890));
}
