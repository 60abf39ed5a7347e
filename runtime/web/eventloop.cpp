// The program on a page: one loop that waits for what the page reports and
// hands it to the runtime, one event at a time. Waiting gives the browser
// back its thread (Asyncify), so a message box can wait inside a handler.

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/keyboard.h"
#include "runtime/web/native.h"
#include "runtime/web/page.h"
#include "runtime/web/web.h"

#include <deque>
#include <limits>
#include <utility>

namespace forms::web {

namespace {

struct Loop
{
    std::deque<std::function<void()>> posted;
    std::function<void()> boxWatcher;
    bool quitting = false;
    int exitCode = 0;
    bool boxAnswered = false;
    bool ticksHeld = false;
};

Loop &loop()
{
    static Loop instance;
    return instance;
}

void keyDown(Form &form, const Event &event)
{
    // Whatever a key runs may unload the form and take it with it.
    const Form::Watch watch = form.watch();
    const bool repeat = event.flags & Repeat;
    if (event.flags & Alt) {
        if (event.character && !repeat)
            form.pressAccessKey(char32_t(event.character));
        return;
    }
    if (Keyboard::instance().keyDown(form, event.key, repeat, event.flags & Shift) || !Form::stillLoaded(watch))
        return;
    if (event.character && Keyboard::instance().character(form, event.character, event.key))
        return;
    if (!Form::stillLoaded(watch) || event.key != keys::Space || repeat)
        return;
    // Space presses the focused button as it goes down.
    if (auto *button = dynamic_cast<CommandButton *>(backend::focused(form)))
        button->click();
}

void deliver(const Event &event)
{
    switch (event.kind) {
    case Event::Click:
        if (auto *button = dynamic_cast<CommandButton *>(controlWithId(event.id)))
            button->click();
        break;
    case Event::Key:
        if (Form *form = formWithId(event.id))
            keyDown(*form, event);
        break;
    case Event::Tick:
        if (TimerNative *timer = timerWithId(event.id); timer && timer->running) {
            const double now = korvo_page_now();
            // A browser may wake a timer a fraction of a millisecond early.
            if (now < timer->deadlines.next() && !(event.flags & Through)) {
                korvo_timer_at(timer->id, timer->deadlines.next());
                break;
            }
            // The next deadline is asked for first: the tick's handler may
            // stop the timer, or wait in a box while the next falls due.
            timer->deadlines.pass(now);
            korvo_timer_at(timer->id, timer->deadlines.next());
            if (!loop().ticksHeld || event.flags & Through)
                timer->timer.fire();
        }
        break;
    case Event::Close:
        if (Form *form = formWithId(event.id))
            form->closeBox();
        break;
    case Event::Pick:
        if (MenuItem *item = itemWithId(event.id))
            item->pick();
        break;
    case Event::Answer:
        loop().boxAnswered = true;
        break;
    case Event::Relayout:
        // The device pixel ratio or a font changed: everything is laid out
        // again, as for a new DPI.
        for (Form *form : Application::instance().loadedForms())
            form->dpiChanged();
        break;
    default:
        break;
    }
}

// One posted call or one event, if any waits.
bool runOne()
{
    Loop &l = loop();
    if (!l.posted.empty()) {
        std::function<void()> call = std::move(l.posted.front());
        l.posted.pop_front();
        call();
        return true;
    }
    Event event;
    if (korvo_page_next(&event)) {
        deliver(event);
        return true;
    }
    return false;
}

// Runs what comes until `done`, waiting for the page in between, or until
// the deadline on the page's clock.
bool pump(const std::function<bool()> &done, double deadline = std::numeric_limits<double>::infinity())
{
    while (!done()) {
        if (runOne())
            continue;
        const double now = korvo_page_now();
        if (now >= deadline)
            return false;
        korvo_page_wait(deadline == std::numeric_limits<double>::infinity() ? -1 : deadline - now);
    }
    return true;
}

} // namespace

void settle()
{
    while (runOne()) { }
}

void pass(double ms)
{
    pump([] { return false; }, korvo_page_now() + ms);
}

bool passUntil(const std::function<bool()> &done, double ms)
{
    return pump(done, korvo_page_now() + ms);
}

void holdTicks(bool held)
{
    loop().ticksHeld = held;
}

bool tick(Timer &timer)
{
    TimerNative *native = timerWithId(id(timer));
    if (!native || !native->running)
        return false;
    deliver({.kind = Event::Tick, .id = native->id, .flags = Through});
    return true;
}

bool isTicking(const Timer &timer)
{
    const TimerNative *native = timerWithId(id(timer));
    return native && native->running;
}

void onMessageBox(std::function<void()> call)
{
    loop().boxWatcher = std::move(call);
}

void reset()
{
    Loop &l = loop();
    l.posted.clear();
    l.boxWatcher = nullptr;
    l.ticksHeld = false;
    korvo_page_clear();
}

} // namespace forms::web

namespace forms::backend {

using namespace web;

int run(int, char *[], const Program &program, const std::function<int()> &runForms)
{
    korvo_page_name(program.name.c_str());
    const int code = runForms();
    korvo_page_ended(code);
    return code;
}

void prepare()
{
    korvo_page_start();
}

int exec()
{
    Loop &l = loop();
    l.quitting = false;
    pump([&l] { return l.quitting; });
    return l.exitCode;
}

void quit(int exitCode)
{
    loop().quitting = true;
    loop().exitCode = exitCode;
}

void post(std::function<void()> call)
{
    loop().posted.push_back(std::move(call));
}

void messageBox(const std::string &title, const std::string &text)
{
    Loop &l = loop();
    korvo_box_show(title.c_str(), text.c_str());
    l.boxAnswered = false;
    if (l.boxWatcher)
        post(l.boxWatcher);
    // The page keeps the windows behind the box from the player; ticks that
    // fall due meanwhile reach the runtime, which holds them.
    pump([&l] { return l.boxAnswered || l.quitting; });
    korvo_box_close();
}

} // namespace forms::backend
