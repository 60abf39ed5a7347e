#pragma once
// What the Qt backend keeps behind each form and control, and how tests and
// the backend's own code reach the Qt objects.
//
// Where Qt differs on purpose from the other backends:
// - Pixels are device-independent: a form's DPI is always 96 and Qt's
//   high-DPI scaling does the rest; only pictures and the balls' positions
//   are worked out in device pixels, so that they stay crisp and exact.
// - Qt's own shortcut map runs the menu shortcuts, Enter and Esc
//   (QShortcut), and Tab between the buttons; the runtime decides what the
//   keys do (Keyboard), Qt only routes them. A screen reader reads the
//   shortcuts from the menus' actions.
// - Fonts resolve through fontconfig to installed lookalikes (look.cpp), and
//   system colours to the fixed classic scheme, never the desktop theme.
// - On Wayland the compositor places the windows: the splash may not be
//   centred, nor About at its place, and F1 can only ask for activation.

#include "runtime/controls.h"
#include "runtime/form.h"

#include <memory>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace forms::qt {

class FormWindow;

struct FormNative : Native
{
    std::unique_ptr<FormWindow> window;
    ~FormNative() override;
};

struct ControlNative : Native
{
    explicit ControlNative(QWidget *widget) : widget(widget) { }
    QWidget *widget; // belongs to the form's window
};

struct TimerNative : Native
{
    explicit TimerNative(QTimer *timer) : timer(timer) { }
    ~TimerNative() override;
    QTimer *timer; // belongs to the form's window
};

struct MenuNative : Native
{
    explicit MenuNative(QMenu *menu) : menu(menu) { }
    QMenu *menu;
};

struct MenuItemNative : Native
{
    explicit MenuItemNative(QAction *action) : action(action) { }
    QAction *action;
};

// The form's top-level window, and the area inside it where its controls are.
QWidget *window(const Form &form);
FormWindow &formWindow(const Form &form);
QWidget *client(const Form &form);
// Where a container's controls go: a form's client area or a frame.
QWidget *client(const Container &container);

inline QWidget *widget(const Control &control)
{
    return static_cast<ControlNative &>(control.native()).widget;
}
inline QTimer *timer(const Timer &timer)
{
    return static_cast<TimerNative &>(timer.native()).timer;
}
inline QMenu *menu(const Menu &menu)
{
    return static_cast<MenuNative &>(menu.native()).menu;
}
inline QAction *action(const MenuItem &item)
{
    return static_cast<MenuItemNative &>(item.native()).action;
}

} // namespace forms::qt
