#pragma once
// What the Qt backend keeps behind each form and control, and how tests and
// the backend's own code reach the Qt objects.

#include "runtime/controls.h"
#include "runtime/form.h"

#include <memory>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace forms {

class FormWindow;

struct Form::Native
{
    std::unique_ptr<FormWindow> window;
};

struct Control::Native
{
    QWidget *widget; // belongs to the form's window
};

struct Timer::Native
{
    QTimer *timer; // belongs to the form's window
};

struct Menu::Native
{
    QMenu *menu;
};

struct MenuItem::Native
{
    QAction *action;
};

namespace qt {

// The form's top-level window, and the area inside it where its controls are.
QWidget *window(const Form &form);
QWidget *client(const Form &form);
// Where a container's controls go: a form's client area or a frame.
QWidget *client(const Container &container);

inline QWidget *widget(const Control &control)
{
    return control.native().widget;
}
inline QTimer *timer(const Timer &timer)
{
    return timer.native().timer;
}
inline QMenu *menu(const Menu &menu)
{
    return menu.native().menu;
}
inline QAction *action(const MenuItem &item)
{
    return item.native().action;
}

} // namespace qt
} // namespace forms
