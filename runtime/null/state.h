#pragma once
// The null backend's own state: its clock, its screen and its windows.

#include "runtime/form.h"
#include "runtime/null/native.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace forms::null {

struct State
{
    double now = 0; // ms
    std::deque<std::function<void()>> posted;
    std::multimap<double, std::function<void()>> scheduled; // the same time: in the order given
    std::vector<TimerNative *> timers;                      // in the order they were made
    std::function<void(const std::string &, const std::string &)> boxHandler;
    Size screen {1280, 1024};
    int dpi = StandardDpi;
    std::vector<Form *> stacking; // the windows on the screen, back to front: the last is active
    int boxesUp = 0;              // a box is modal to the whole program
    bool ticksHeld = false;
    bool quit = false;
    int code = 0;
};

State &state();

} // namespace forms::null
