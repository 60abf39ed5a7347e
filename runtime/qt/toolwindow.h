#pragma once
// A tool window without an owner, as the window manager is told about it.

class QWidget;

namespace forms::qt {

// Called before the tool window is mapped. On X11 Qt marks a tool window
// without a parent as transient for the whole program, and window managers
// such as xfwm4 then keep it above every window of the program; so would
// xfwm4 and openbox for a utility window of the program's window group. The
// native window is told to be an unowned utility window of no group: still
// a small title bar with only a close button, out of the task bar and the
// pager, but free to go behind the game. Elsewhere the window system gets
// what Qt tells it.
void prepareOwnerlessToolWindow(QWidget *window);

} // namespace forms::qt
