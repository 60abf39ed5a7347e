#pragma once
// What a test does with the web backend beyond what a player does: let real
// time pass with the page's events delivered, hold the timers' ticks, and
// look at a message box from inside its wait.

#include "runtime/controls.h"

#include <functional>

namespace forms::web {

// What waits runs: posted calls and the page's queued events; no time passes.
void settle();
// Real time passes, `ms` of it, and what falls due meanwhile is delivered.
void pass(double ms);
// Until `done`, or `ms` of real time; whether it was done.
bool passUntil(const std::function<bool()> &done, double ms);

// While held, timers stay enabled but their ticks do not reach them.
void holdTicks(bool held);
// One tick of a running timer, on the page's path for ticks.
bool tick(Timer &timer);
bool isTicking(const Timer &timer);

// Called from inside each message box's wait, once the box is on the page.
void onMessageBox(std::function<void()> call);

// Forgets the page's queued events, held ticks and the box handler.
void reset();

} // namespace forms::web
