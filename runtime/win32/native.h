#pragma once
// What the Win32 backend keeps behind each form and control, and how tests and
// the backend's own code reach the windows.

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/win32/precisetimer.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace forms {

namespace win32 {

// Where controls are drawn: a form's client area or a frame. Windowed
// controls are child windows of it; the lightweight ones (images, shapes,
// lines) are drawn by it, back to front, under the windowed ones.
struct Surface
{
    HWND hwnd = nullptr;
    Form *form = nullptr;
    Color backColor = colors::ButtonFace;
    Color foreColor = colors::ButtonText;
    bool frame = false;   // draws a group box's etched border and caption
    std::wstring caption; // a frame's
    std::vector<Control::Native *> lightweight;
};

} // namespace win32

struct Form::Native
{
    Form *form = nullptr;
    HWND hwnd = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    int left = 0; // twips, for a manual position
    int top = 0;
    std::vector<std::string> icon;
    bool keyPreview = false;
    int dpi = 96;
    win32::Surface surface;
    HMENU menuBar = nullptr;
    HACCEL accelerators = nullptr;
    std::vector<ACCEL> shortcuts;
    std::map<UINT, std::function<void()>> commands; // menu items by command id
    std::map<WPARAM, std::function<void()>> ticks;  // timers by id
    std::vector<Control::Native *> controls;        // in the order they were made
    std::vector<HWND> tabOrder;
    HWND focus = nullptr; // the control that had the focus when the window was last active
    CommandButton *defaultButton = nullptr;
    CommandButton *cancelButton = nullptr;
    HICON icons[2] = {nullptr, nullptr}; // small, big
    SIZE frameSize {0, 0};               // the window's fixed size, frame included
    bool placed = false;
};

struct Control::Native
{
    Form *form = nullptr;
    win32::Surface *parent = nullptr;
    HWND hwnd = nullptr; // null for a lightweight control
    Bounds bounds {};    // as the layout gives it, twips
    RECT rect {};        // in the parent's client area, device pixels
    bool visible = true;
    // Places the control (and, for a windowed one, sets its font) at the
    // form's current DPI.
    std::function<void()> layout;
    // A lightweight control draws itself; `dc` is the parent's client area.
    std::function<void(HDC dc)> paint;
    // A windowed control's own drawing (owner-drawn labels).
    std::function<void(const DRAWITEMSTRUCT &item)> draw;
    // What a click on a command button runs.
    std::function<void()> click;
    // A label's colours, asked for by its parent before it draws.
    Color backColor = colors::ButtonFace;
    Color foreColor = colors::ButtonText;
    // A frame's own surface, where its controls go.
    std::unique_ptr<win32::Surface> inner;
};

struct Timer::Native
{
    std::unique_ptr<win32::PreciseTimer> timer;
    Form::Native *form = nullptr;
};

struct Menu::Native
{
    HMENU menu = nullptr;
    Form::Native *form = nullptr;
};

struct MenuItem::Native
{
    HMENU menu = nullptr;
    UINT id = 0;
    Form::Native *form = nullptr;
};

namespace win32 {

// The form's top-level window; its client area holds the controls.
inline HWND window(const Form &form)
{
    return form.native().hwnd;
}

// A windowed control's window; null for images, shapes and lines, which their
// form or frame draws.
inline HWND hwnd(const Control &control)
{
    return control.native().hwnd;
}

// Where a control is, in device pixels of its form's client area or frame.
inline RECT rect(const Control &control)
{
    return control.native().rect;
}

// The form's menu bar and an item's command.
inline HMENU menu(const Menu &menu)
{
    return menu.native().menu;
}
inline UINT command(const MenuItem &item)
{
    return item.native().id;
}

// The timer's precise timer, running or not.
inline const PreciseTimer &timer(const Timer &timer)
{
    return *timer.native().timer;
}

// The DPI the form is laid out at.
inline int dpi(const Form &form)
{
    return form.native().dpi;
}

// Runs the program's message loop, as exec() does, for at most `ms`
// milliseconds or until `done` answers true; true when it did. For tests,
// which drive the program without handing it the loop for good.
bool processEvents(int ms, const std::function<bool()> &done = {});

} // namespace win32
} // namespace forms
