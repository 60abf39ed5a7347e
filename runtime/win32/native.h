#pragma once
// What the Win32 backend keeps behind each form and control, and how tests and
// the backend's own code reach the windows.
//
// Where Win32 differs on purpose from the other backends:
// - System colours are this Windows' own (GetSysColor), as the classic
//   runtime asked for them, not the fixed classic scheme: on Windows the game
//   wears the desktop's colours like every other program there.
// - Fonts are asked for by their Windows face names; the classic 8-point
//   default is Microsoft Sans Serif, which scales where the bitmap MS Sans
//   Serif cannot, and Impact stands in for a missing Compacta Blk BT.
// - Pixels are device pixels: each window is laid out at its own monitor's
//   DPI, and again when it moves to a monitor of another (per-monitor DPI).
// - A message box is modal to the whole program, as the classic runtime's
//   is: every other window of the program waits, not only its owner.
// - Images, shapes and lines are no windows: the form or frame that holds
//   them draws them back to front, under its windowed controls, in one go
//   so that a ball passing over the ring does not flicker.
// - A window whose layout leaves its place to the system is placed by
//   Windows, cascading; the runtime places the others.
// - The message loop hands the keys to the runtime (Keyboard) itself: no
//   accelerator table, the menus only show their shortcuts.

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/win32/precisetimer.h"
#include "runtime/win32/windows.h"

#include <functional>
#include <map>
#include <vector>

namespace forms::win32 {

struct FormNative : Native
{
    explicit FormNative(Form &form) : form(form) { }
    ~FormNative() override;
    Form &form;
    HWND hwnd = nullptr;
    int dpi = StandardDpi;
    SIZE frameSize {0, 0}; // the window's fixed size, frame included
    HMENU menuBar = nullptr;
    HWND focus = nullptr;         // the control that had the focus when the window was last active
    std::vector<Control *> drawn; // the lightweight controls of the client area, back to front
};

struct ControlNative : Native
{
    ControlNative(Control &control, HWND hwnd);
    ~ControlNative() override;
    Control &control;
    HWND hwnd;                    // null for a lightweight control
    RECT rect {};                 // in the client area of its form or frame
    std::vector<Control *> drawn; // a frame's lightweight controls, back to front
};

// A precise timer's tick, posted to its form's window; WPARAM names the timer.
constexpr UINT TickMessage = WM_APP + 1;

struct TimerNative : Native
{
    explicit TimerNative(Timer &owner);
    ~TimerNative() override;
    PreciseTimer timer;
};

struct MenuNative : Native
{
    HMENU menu = CreatePopupMenu(); // the menu bar destroys it with the window
};

struct MenuItemNative : Native
{
    explicit MenuItemNative(MenuItem &item);
    ~MenuItemNative() override;
    UINT id;
};

// Timers and menu items by the ids their messages carry; an id is never used
// twice, so a message that outlives its sender finds nothing.
template <class Source>
std::map<UINT_PTR, Source *> &byId()
{
    static std::map<UINT_PTR, Source *> sources;
    return sources;
}

inline FormNative &native(const Form &form)
{
    return static_cast<FormNative &>(form.native());
}
inline ControlNative &native(const Control &control)
{
    return static_cast<ControlNative &>(control.native());
}

// The form's top-level window; its client area holds the controls.
inline HWND window(const Form &form)
{
    return native(form).hwnd;
}

// A windowed control's window; null for images, shapes and lines, which their
// form or frame draws.
inline HWND hwnd(const Control &control)
{
    return native(control).hwnd;
}

// Where a control is, in device pixels of its form's client area or frame.
inline RECT rect(const Control &control)
{
    return native(control).rect;
}

// A menu of the form's menu bar, and an item's command.
inline HMENU menu(const Menu &menu)
{
    return static_cast<MenuNative &>(menu.native()).menu;
}
inline UINT command(const MenuItem &item)
{
    return static_cast<MenuItemNative &>(item.native()).id;
}

// The timer's precise timer, running or not.
inline PreciseTimer &timer(const Timer &timer)
{
    return static_cast<TimerNative &>(timer.native()).timer;
}

// Runs the program's message loop, as exec() does, for at most `ms`
// milliseconds or until `done` answers true; true when it did. For tests,
// which drive the program without handing it the loop for good.
bool processEvents(int ms, const std::function<bool()> &done = {});

} // namespace forms::win32
