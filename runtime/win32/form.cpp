// The forms' windows on Win32: made, placed, shown and hidden as the runtime
// asks, and the keyboard focus.

#include "runtime/backend.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"

namespace forms {

namespace win32 {

FormNative::~FormNative()
{
    // The controls went first; nothing may reach them through the window now.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
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
}

void hideWindow(Form &form)
{
    ShowWindow(window(form), SW_HIDE);
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
