// The null backend's program: a virtual clock that runs posted calls, timer
// ticks and the test's scheduled input in the order of their times, message
// boxes the test answers, and the player's input.

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/keyboard.h"
#include "runtime/null/native.h"
#include "runtime/null/null.h"
#include "runtime/null/state.h"

#include <algorithm>
#include <limits>

namespace forms::null {

State &state()
{
    static State instance;
    return instance;
}

TimerNative::~TimerNative()
{
    std::erase(state().timers, this);
}

namespace {

void runPosted()
{
    auto &posted = state().posted;
    while (!posted.empty()) {
        std::function<void()> call = std::move(posted.front());
        posted.pop_front();
        call();
    }
}

// Runs what waits and the next thing that falls due by `until`; false when
// nothing more falls due by then, or the program has quit.
bool step(double until)
{
    State &s = state();
    runPosted();
    if (s.quit)
        return false;
    double next = std::numeric_limits<double>::infinity();
    TimerNative *due = nullptr;
    for (TimerNative *timer : s.timers) {
        const double deadline = timer->deadlines.next();
        if (timer->running && !s.ticksHeld && deadline < next) {
            next = deadline;
            due = timer;
        }
    }
    const bool input = !s.scheduled.empty() && s.scheduled.begin()->first < next;
    if (input)
        next = s.scheduled.begin()->first;
    if (next > until)
        return false;
    s.now = std::max(s.now, next);
    if (input) {
        const std::function<void()> action = std::move(s.scheduled.begin()->second);
        s.scheduled.erase(s.scheduled.begin());
        action();
    } else {
        due->deadlines.pass(s.now);
        due->timer->fire();
    }
    return true;
}

int characterOf(int key, bool shift)
{
    if (key >= 'A' && key <= 'Z')
        return shift ? key : key - 'A' + 'a';
    if ((key >= '0' && key <= '9') || key == keys::Space || key == keys::Enter || key == keys::Escape
        || key == keys::Tab)
        return key;
    return 0;
}

} // namespace

void reset()
{
    State &s = state();
    s.posted.clear();
    s.scheduled.clear();
    s.boxHandler = nullptr;
    s.screen = {1280, 1024};
    s.dpi = StandardDpi;
    s.ticksHeld = false;
    s.boxesUp = 0;
    s.quit = false;
}

void holdTicks(bool held)
{
    state().ticksHeld = held;
}

void setScreen(Size size, int dpi)
{
    state().screen = size;
    state().dpi = dpi;
}

double now()
{
    return state().now;
}

void advance(double ms)
{
    const double until = state().now + ms;
    while (step(until)) { }
    state().now = std::max(state().now, until);
    runPosted();
}

void schedule(double at, std::function<void()> action)
{
    state().scheduled.emplace(at, std::move(action));
}

void onMessageBox(std::function<void(const std::string &title, const std::string &text)> handler)
{
    state().boxHandler = std::move(handler);
}

Form *activeForm()
{
    const auto &stacking = state().stacking;
    return stacking.empty() ? nullptr : stacking.back();
}

void activate(Form &form)
{
    auto &stacking = state().stacking;
    if (state().boxesUp)
        return;
    if (std::find(stacking.begin(), stacking.end(), &form) == stacking.end())
        return; // only a window on the screen
    std::erase(stacking, &form);
    stacking.push_back(&form);
}

void keyDown(int key, bool repeat, bool shift)
{
    Form *form = activeForm();
    if (!form || state().boxesUp)
        return;
    // Whatever a key runs may unload the form and take it with it.
    const Form::Watch watch = form->watch();
    if (Keyboard::instance().keyDown(*form, key, repeat, shift) || !Form::stillLoaded(watch))
        return;
    const int character = characterOf(key, shift);
    if (character && Keyboard::instance().character(*form, character, key))
        return;
    if (!Form::stillLoaded(watch))
        return;
    if (auto *button = dynamic_cast<CommandButton *>(window(*form).focus); button && key == keys::Space)
        button->click();
}

void press(int key, bool shift)
{
    keyDown(key, false, shift);
}

void click(CommandButton &button)
{
    WindowNative &native = window(button.form());
    if (!native.visible || !button.shown() || state().boxesUp)
        return;
    native.focus = &button;
    button.click();
}

void clickAt(Form &form, Point point)
{
    for (Control *control : form.controls()) {
        auto *button = dynamic_cast<CommandButton *>(control);
        const Rect at = rect(*control);
        if (button && &button->parent() == &form && point.x >= at.left && point.x < at.right() && point.y >= at.top
            && point.y < at.bottom())
            return click(*button);
    }
}

void pick(MenuItem &item)
{
    if (window(item.menu().form()).visible && !state().boxesUp)
        item.pick();
}

void clickCloseBox(Form &form)
{
    if (window(form).visible && form.look().closeBox && !state().boxesUp)
        form.closeBox();
}

} // namespace forms::null

namespace forms::backend {

using namespace null;

int run(int, char *[], const Program &, const std::function<int()> &runForms)
{
    return runForms();
}

void prepare() { }

int exec()
{
    State &s = state();
    s.quit = false;
    const double giveUp = s.now + GiveUpAfterMs;
    while (step(giveUp)) { }
    return s.quit ? s.code : Idle;
}

void quit(int exitCode)
{
    state().quit = true;
    state().code = exitCode;
}

void post(std::function<void()> call)
{
    state().posted.push_back(std::move(call));
}

void messageBox(const std::string &title, const std::string &text)
{
    // Kept aside: the handler may put another in its place.
    const auto handler = state().boxHandler;
    ++state().boxesUp;
    if (handler)
        handler(title, text);
    --state().boxesUp;
}

} // namespace forms::backend
