#pragma once
// What the seam suite does to a backend, in the player's words: show a form,
// press a key, click a button, let time pass, and look at what the screen
// shows. One driver per backend (driver_null.cpp, driver_qt.cpp,
// driver_win32.cpp); the suite is written once.

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/pixels.h"

#include <functional>
#include <string>

namespace driver {

// Before and after each case: nothing loaded, nothing ended, no box hook.
void fresh();

// The DPI of the screen this run is at (96 or 192), and the device pixels a
// form's pixel takes there: 1, except where the toolkit lays forms out in
// device-independent pixels and scales them itself.
int screenDpi();
int deviceScale();

// The form shown and its window active, as a player meets it; a window the
// desktop makes active again (the player clicks it).
void show(forms::Form &form);
void activate(forms::Form &form);
bool isActive(const forms::Form &form);
bool isVisible(const forms::Form &form);
// The form whose window is active, if any.
const forms::Form *activeForm();
// How many windows are shown of the form of that name; of every form when
// the name is empty.
int openWindows(const std::string &formName);

// Where things are, in the form's pixels: the window with its frame on the
// screen, the screen's work area, a client area, a control in its container.
forms::Rect frame(const forms::Form &form);
forms::Rect workArea();
forms::Size clientSize(const forms::Form &form);
forms::Rect placed(const forms::Control &control);
// Where an image's top-left is drawn, in device pixels of its container.
forms::Point drawnAt(const forms::Image &image);
bool isVisible(const forms::Control &control);
bool isChecked(const forms::MenuItem &item);
// The control with the keyboard focus in the active window, if any.
const forms::Control *focused();

// Keys (forms::keys codes, 'A' to 'Z', '0' to '9') to the active window,
// down and up. A held key: down, then the keyboard's repeats, then up.
void press(int key, bool shift = false);
void hold(int key);
void repeat(int key);
void release(int key);

// The mouse on a button, on a point of a form's client area, on a menu item,
// or on a window's close box.
void click(forms::CommandButton &button);
void clickAt(forms::Form &form, forms::Point point);
void pick(forms::MenuItem &item);
void closeBox(forms::Form &form);

// The backend's own message boxes, each answered with OK once `read` has
// seen it from inside the box's wait. While one is up, a key or a click on a
// window behind it must not reach that window.
void answerBoxes(std::function<void(const std::string &title, const std::string &text)> read);
void pressBehindBox(forms::Form &form, int key);
void clickBehindBox(forms::CommandButton &button);

// The forms' timers stay enabled but tick no more until the case ends: the
// test moves the sweeps by calling their handlers, or lets one tick of a
// running timer through its own path (false when it is not running).
void stopTime();
bool tick(forms::Timer &timer);
bool isTicking(const forms::Timer &timer);

// Time passes and what falls due meanwhile is delivered (virtual time on the
// null backend, real time elsewhere).
void wait(int ms);
bool waitFor(const std::function<bool()> &done, int ms = 3000);
// What is already waiting runs, and no time passes.
void settle();

} // namespace driver
