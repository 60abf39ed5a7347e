#pragma once
// What the web backend keeps behind each form and control: the id of its
// element on the page. The page itself (library.js) holds the elements.
//
// Where the browser differs on purpose from the other backends:
// - A form's pixels are CSS pixels, 15 twips to one, and the browser's
//   device pixel ratio does the rest, as Qt's scaling does; only the balls'
//   positions are worked out in device pixels, so that they stand exactly
//   where the program says.
// - The viewport is the screen, and the page its desktop: the game opens
//   at its top-left corner, windows are stacked by the page, the tab's
//   title is the active window's caption, and a phone's narrow viewport
//   scales the whole desktop to fit its width. No window minimises or
//   maximises: the tab does that.
// - The program is one loop that waits for the page's events (Asyncify):
//   a message box waits inside a handler as on the desktop, and nothing
//   else runs meanwhile. A page cannot close its own tab: when the
//   program ends the page says so and offers the game again.
// - The page takes Enter, Esc, Space and Tab from the browser and hands
//   them to the runtime, so that a focused button does not also act on its
//   own; the menu bar keeps the keys of a menu bar (F10, arrows).
// - Fonts are the player's own, by the layout's names, then the desktop
//   build's lookalikes; two faces are served with the page for machines
//   that have neither. Pictures are the SVG artwork itself.
// - There is no system information tool to start in a page.

#include "runtime/controls.h"
#include "runtime/deadlines.h"
#include "runtime/form.h"

namespace forms::web {

// Every element's id on the page; the object it stands for, found again
// from an id that the page reports, until the object goes.
int newId();

struct WindowNative : Native
{
    explicit WindowNative(Form &form);
    ~WindowNative() override;
    const int id;
    Form &form;
};

struct ControlNative : Native
{
    explicit ControlNative(Control &control);
    ~ControlNative() override;
    const int id;
    Control &control;
};

struct TimerNative : Native
{
    explicit TimerNative(Timer &timer);
    ~TimerNative() override;
    const int id;
    Timer &timer;
    bool running = false;
    Deadlines<double> deadlines; // on the page's clock, in ms
};

struct MenuNative : Native
{
    MenuNative();
    ~MenuNative() override;
    const int id;
};

struct MenuItemNative : Native
{
    explicit MenuItemNative(MenuItem &item);
    ~MenuItemNative() override;
    const int id;
    MenuItem &item;
};

inline int id(const Form &form)
{
    return static_cast<const WindowNative &>(form.native()).id;
}
inline int id(const Control &control)
{
    return static_cast<const ControlNative &>(control.native()).id;
}
inline int id(const Timer &timer)
{
    return static_cast<const TimerNative &>(timer.native()).id;
}
inline int id(const Menu &menu)
{
    return static_cast<const MenuNative &>(menu.native()).id;
}
inline int id(const MenuItem &item)
{
    return static_cast<const MenuItemNative &>(item.native()).id;
}

// The objects behind the ids the page reports, while they live.
Form *formWithId(int id);
Control *controlWithId(int id);
TimerNative *timerWithId(int id);
MenuItem *itemWithId(int id);

} // namespace forms::web
