#include "runtime/qt/toolwindow.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>
#endif

namespace forms::qt {

#if QT_CONFIG(xcb)
namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void setAtoms(xcb_connection_t *connection, xcb_window_t window, const char *property,
              std::initializer_list<const char *> names)
{
    std::vector<xcb_atom_t> atoms;
    for (const char *name : names)
        atoms.push_back(atom(connection, name));
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, property), XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());
}

// WM_HINTS: flags, input, initial state, icon pixmap, icon window, icon x,
// icon y, icon mask, window group.
void leaveWindowGroup(xcb_connection_t *connection, xcb_window_t window)
{
    constexpr uint32_t WindowGroupHint = 1u << 6;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 9 * 4) {
        uint32_t hints[9];
        std::memcpy(hints, xcb_get_property_value(reply), sizeof hints);
        hints[0] &= ~WindowGroupHint;
        hints[8] = XCB_WINDOW_NONE;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9,
                            hints);
    }
    std::free(reply);
}

} // namespace
#endif

void prepareOwnerlessToolWindow(QWidget *window)
{
#if QT_CONFIG(xcb)
    // Other platforms may answer for X11 too (offscreen does) without
    // managing windows on an X server.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QWindow *handle = window->windowHandle();
    if (!x11 || !x11->connection() || !handle)
        return;
    // Only the native window changes kind, so that Qt writes no transient
    // hint: to the program it stays a tool window.
    handle->setFlags((handle->flags() & ~Qt::WindowType_Mask) | Qt::Window);
    // Written after Qt has written its own for an ordinary window; Qt keeps
    // these states when it maps the window. What kept a tool window out of
    // the task bar and the pager was being transient: now it says so itself.
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(handle->winId());
    setAtoms(connection, id, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_NORMAL"});
    setAtoms(connection, id, "_NET_WM_STATE", {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
    leaveWindowGroup(connection, id);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

} // namespace forms::qt
