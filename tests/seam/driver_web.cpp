// The seam suite in a browser: real elements on a real page, the player's
// keys and clicks as the page's own events, real time. The page's side of
// the driver is tests/web/driver.js; tests/web/seam.py runs the suite in
// headless Chromium and reads its result back.

#include "driver.h"
#include "runtime/application.h"
#include "runtime/web/native.h"
#include "runtime/web/web.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cmath>
#include <string>

using namespace forms;

extern "C" {
double korvo_test_ratio();
int korvo_test_active();
int korvo_test_shown(int id);
int korvo_test_open_windows(const char *name);
void korvo_test_rect(int id, int part, int *rect);
int korvo_test_focused();
int korvo_test_checked(int id);
void korvo_test_key(int key, int shift, int type);
void korvo_test_key_to(int window, int key);
void korvo_test_click(int id);
void korvo_test_click_at(int window, int x, int y);
void korvo_test_activate(int window);
void korvo_test_pick(int menu, int item);
void korvo_test_close(int window);
int korvo_test_box(char *title, char *text, int size);
void korvo_test_box_ok();
void korvo_test_done(int code);
}

namespace {

// What korvo_test_rect measures: in CSS pixels, or a control's offset in
// its container in thousandths of one.
enum Part { WindowFrame, Client, Placed, Viewport, Offset };

Rect rectOf(int id, Part part)
{
    int r[4] = {};
    korvo_test_rect(id, part, r);
    return {r[0], r[1], r[2], r[3]};
}

enum KeyType { Down, Repeat, Up };

void key(int code, bool shift, KeyType type)
{
    korvo_test_key(code, shift, type);
    driver::settle();
}

} // namespace

namespace driver {

void fresh()
{
    Application::instance().reset();
    web::reset();
    settle();
}

int screenDpi()
{
    return int(std::lround(StandardDpi * korvo_test_ratio()));
}

int deviceScale()
{
    return int(std::lround(korvo_test_ratio()));
}

void show(Form &form)
{
    form.Show();
    settle();
}

void activate(Form &form)
{
    korvo_test_activate(web::id(form));
    settle();
}

bool isActive(const Form &form)
{
    return korvo_test_active() == web::id(form);
}

bool isVisible(const Form &form)
{
    return korvo_test_shown(web::id(form));
}

const Form *activeForm()
{
    return web::formWithId(korvo_test_active());
}

int openWindows(const std::string &formName)
{
    return korvo_test_open_windows(formName.c_str());
}

Rect frame(const Form &form)
{
    return rectOf(web::id(form), WindowFrame);
}

Rect workArea()
{
    return rectOf(0, Viewport);
}

Size clientSize(const Form &form)
{
    const Rect client = rectOf(web::id(form), Client);
    return {client.width, client.height};
}

Rect placed(const Control &control)
{
    return rectOf(web::id(control), Placed);
}

Point drawnAt(const Image &image)
{
    // Device pixels from the container's corner, as the page put it there.
    const Rect at = rectOf(web::id(image), Offset);
    const double ratio = korvo_test_ratio();
    return {int(std::lround(at.left * ratio / 1000.0)), int(std::lround(at.top * ratio / 1000.0))};
}

bool isVisible(const Control &control)
{
    return korvo_test_shown(web::id(control));
}

bool isChecked(const MenuItem &item)
{
    return korvo_test_checked(web::id(item));
}

const Control *focused()
{
    return web::controlWithId(korvo_test_focused());
}

void press(int code, bool shift)
{
    key(code, shift, Down);
    key(code, shift, Up);
}

void hold(int code)
{
    key(code, false, Down);
}

void repeat(int code)
{
    key(code, false, Repeat);
}

void release(int code)
{
    key(code, false, Up);
}

void click(CommandButton &button)
{
    korvo_test_click(web::id(button));
    settle();
}

void clickAt(Form &form, Point point)
{
    korvo_test_click_at(web::id(form), point.x, point.y);
    settle();
}

void answerBoxes(std::function<void(const std::string &, const std::string &)> read)
{
    web::onMessageBox([read = std::move(read)] {
        char title[256], text[1024];
        if (!korvo_test_box(title, text, sizeof text))
            return;
        read(title, text);
        korvo_test_box_ok();
    });
}

void pressBehindBox(Form &form, int code)
{
    korvo_test_key_to(web::id(form), code);
    settle();
}

void clickBehindBox(CommandButton &button)
{
    // Where the player would click, as the page hit-tests it under the box.
    const Rect at = placed(button);
    korvo_test_click_at(web::id(button.form()), at.left + at.width / 2, at.top + at.height / 2);
    settle();
}

void pick(MenuItem &item)
{
    korvo_test_pick(web::id(item.menu()), web::id(item));
    settle();
}

void closeBox(Form &form)
{
    korvo_test_close(web::id(form));
    settle();
}

void stopTime()
{
    web::holdTicks(true);
}

bool tick(Timer &timer)
{
    stopTime();
    return web::tick(timer);
}

bool isTicking(const Timer &timer)
{
    return web::isTicking(timer);
}

void settle()
{
    web::settle();
}

void wait(int ms)
{
    web::pass(ms);
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    return web::passUntil(done, ms);
}

} // namespace driver

int main(int argc, char **argv)
{
    Application::instance(); // the backend makes the page ready
    doctest::Context context(argc, argv);
    const int code = context.run();
    korvo_test_done(code);
    return code;
}
