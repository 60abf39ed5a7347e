#pragma once
// What a test does with the null backend: the screen, the virtual clock, the
// player's input, and what is on the screen.

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/pixels.h"

#include <functional>
#include <string>

namespace forms::null {

// Forgets the clock's pending calls, the scheduled input and the box
// handler; the screen becomes 1280 x 1024 pixels at 96 DPI.
void reset();
// The screen's size in pixels and its DPI, for forms made from now on.
void setScreen(Size size, int dpi);

// Virtual time, in milliseconds since the program started.
double now();
// Lets `ms` pass: posted calls run, timers tick on their deadlines and the
// scheduled input happens, in the order of their times.
void advance(double ms);
// `action` happens when the clock reaches `at`, while the event loop runs
// or time is let pass.
void schedule(double at, std::function<void()> action);
// While held, timers stay enabled but do not tick: a test moves the game by
// calling their handlers itself.
void holdTicks(bool held);
// exec() gives up after this much virtual time without an end.
constexpr double GiveUpAfterMs = 3'600'000;
// What exec() returns when it gave up, or when nothing could happen any more.
constexpr int Idle = -1;

// A message box (one that no hook of the application took): the handler
// sees its title and text; it may let time pass before it returns, as a
// player reads. Without a handler the box is answered at once. While a box
// is up, no key or click reaches a window.
void onMessageBox(std::function<void(const std::string &title, const std::string &text)> handler);

// The form whose window is active: keys go there.
Form *activeForm();
void activate(Form &form);

// A key to the active window: down, and up. `repeat`: the keyboard repeats
// a key held down. Character keys also reach key preview and a focused
// button takes Space.
void keyDown(int key, bool repeat = false, bool shift = false);
void keyUp(int key);
void press(int key, bool shift = false);

// The mouse: on a button, which takes the focus as it is pressed, or on a
// window's close box.
void click(CommandButton &button);
void clickAt(Form &form, Point point);
void clickCloseBox(Form &form);
void pick(MenuItem &item);

// What the screen shows.
bool isVisible(const Form &form);
// The shown windows of the form of that name, or of every form.
int openWindows(const std::string &formName);
Rect frame(const Form &form);
Size clientSize(const Form &form);
Rect rect(const Control &control);
bool isVisible(const Control &control);
bool inFront(const Control &control);
bool isChecked(const MenuItem &item);
bool isTicking(const Timer &timer);
Control *focusedControl(const Form &form);

} // namespace forms::null
