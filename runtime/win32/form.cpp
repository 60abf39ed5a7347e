// The forms' windows on Win32: made, placed, shown and hidden as the runtime
// asks, and the keyboard focus.

#include "runtime/backend.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"

#include <utility>
#include <vector>

namespace forms {

namespace win32 {

namespace {

// Windows whose forms unloaded while they were active, still up until the
// next window of the program is in front (or the loop comes round).
std::vector<HWND> leaving;

void hideLeaving()
{
    for (HWND window : std::exchange(leaving, {}))
        ShowWindow(window, SW_HIDE);
}

} // namespace

FormNative::~FormNative()
{
    // The controls went first; nothing may reach them through the window now.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    std::erase(leaving, hwnd);
    DestroyWindow(hwnd);
}

} // namespace win32

namespace backend {

using namespace win32;

std::unique_ptr<Native> makeWindow(Form &form)
{
    registerWindowClasses();
    auto native = std::make_unique<FormNative>(form);
    const auto [style, exStyle] = stylesOf(form.look());
    // Made at the main screen's DPI, then laid out at the window's own once
    // it has one.
    const SIZE frame = frameFor(*native, systemDpi());
    const bool cascade = form.storedLayout().startUpPosition == StartUpPosition::WindowsDefault && !(style & WS_POPUP);
    const int at = cascade ? CW_USEDEFAULT : 0;
    native->hwnd = CreateWindowExW(exStyle, FormClass, wide(form.caption()).c_str(), style, at, at, frame.cx, frame.cy,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(native->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native.get()));
    native->dpi = dpiOf(native->hwnd);
    fitWindow(*native);
    setIcons(*native);
    return native;
}

void windowReady(Form &form)
{
    // The menu bar came after the window: the client area keeps its size.
    // The first button in tab order takes the focus when the window is
    // first activated.
    fitWindow(native(form));
}

int dpi(const Form &form)
{
    return native(form).dpi;
}

Screen screen(const Form &)
{
    RECT area {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
            {area.left, area.top, area.right - area.left, area.bottom - area.top}};
}

Size frameSize(Form &form)
{
    const SIZE size = native(form).frameSize;
    return {size.cx, size.cy};
}

void moveWindow(Form &form, Point topLeft)
{
    SetWindowPos(window(form), nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void showWindow(Form &form)
{
    HWND window = win32::window(form);
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOW);
    else if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    // In front now: what was in front before may go without handing the
    // foreground to anyone.
    hideLeaving();
}

void hideWindow(Form &form)
{
    HWND window = win32::window(form);
    // Hiding the active window activates whatever lies beneath it, often
    // another program's, and a window the handler shows next must then take
    // the foreground back, which Windows may refuse: the game would open
    // behind, its task-bar button flashing. So the active window stays up
    // until the next one is in front, or the handler is done.
    if (window == GetActiveWindow() && IsWindowVisible(window)) {
        leaving.push_back(window);
        post(hideLeaving);
        return;
    }
    ShowWindow(window, SW_HIDE);
}

Control *focused(const Form &form)
{
    Control *control = controlOf(GetFocus());
    return control && &control->form() == &form ? control : nullptr;
}

void focus(Control &control)
{
    SetFocus(hwnd(control));
}

} // namespace backend
} // namespace forms
