#pragma once
// What the null backend keeps behind each form and control: records, no
// toolkit and no display. The runtime's and the game's rules run on it in
// milliseconds of real time, under the sanitizers, with nothing in the way.
//
// Where the null backend differs on purpose from the others:
// - Time is virtual: nothing happens until a test lets it pass (null.h), and
//   then every tick falls exactly on its deadline.
// - Windows are rectangles on a screen of a size and DPI the test chooses;
//   a window's frame is a fixed border, title bar and menu bar in pixels.
// - Text has no font: every character is as wide as half the font's height,
//   and a line is the font's size and a fifth, so sizes are known exactly.
// - A message box is answered by the test, or at once.
// - Keys arrive as the runtime's key codes; a focused button takes Space.

#include "runtime/controls.h"
#include "runtime/deadlines.h"
#include "runtime/form.h"
#include "runtime/pixels.h"

#include <string>

namespace forms::null {

struct WindowNative : Native
{
    Rect frame;         // on the screen, title bar and border included
    Point clientOffset; // where the client area starts inside the frame
    bool visible = false;
    Control *focus = nullptr;
    bool menuBar = false;
};

struct ControlNative : Native
{
    Rect rect; // in its container, in pixels
    bool visible = true;
    bool front = true; // in front of its siblings, or sent behind them
};

struct TimerNative : Native
{
    ~TimerNative() override;
    Timer *timer = nullptr;
    Deadlines<double> deadlines; // ms on the virtual clock
    bool running = false;
};

struct MenuItemNative : Native
{
    bool checked = false;
};

inline WindowNative &window(const Form &form)
{
    return static_cast<WindowNative &>(form.native());
}
inline ControlNative &control(const Control &control)
{
    return static_cast<ControlNative &>(control.native());
}
inline TimerNative &timer(const Timer &timer)
{
    return static_cast<TimerNative &>(timer.native());
}
inline MenuItemNative &item(const MenuItem &item)
{
    return static_cast<MenuItemNative &>(item.native());
}

} // namespace forms::null
