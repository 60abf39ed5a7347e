#include "runtime/form.h"
#include "runtime/controls.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"

namespace forms {

namespace {

void placeOnScreen(Form::Native &form)
{
    RECT frame {};
    GetWindowRect(form.hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    switch (form.startUpPosition) {
    case StartUpPosition::Manual:
        // From the top-left corner of the main screen, whose DPI it is.
        SetWindowPos(form.hwnd, nullptr, win32::toPixels(form.left, form.dpi), win32::toPixels(form.top, form.dpi), 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case StartUpPosition::CenterScreen: {
        RECT area {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        SetWindowPos(form.hwnd, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case StartUpPosition::WindowsDefault:
        break; // where Windows put it when it was made
    }
}

} // namespace

Form::Form(std::string name, const FormLayout &layout)
    : m_name(std::move(name)),
      m_layout(layout),
      m_native(std::make_unique<Native>())
{
    win32::registerWindowClasses();
    Native &native = *m_native;
    native.form = this;
    native.startUpPosition = layout.startUpPosition;
    native.clientWidth = layout.clientWidth;
    native.clientHeight = layout.clientHeight;
    native.left = layout.left;
    native.top = layout.top;
    native.icon = layout.icon;
    native.keyPreview = layout.keyPreview;
    native.surface.form = this;
    native.surface.backColor = layout.backColor;
    win32::stylesFor(layout, native.style, native.exStyle);

    // Made at the main screen's DPI, then laid out at the window's own once
    // it has one.
    const int dpi = win32::systemDpi();
    RECT frame {0, 0, win32::toPixels(layout.clientWidth, dpi), win32::toPixels(layout.clientHeight, dpi)};
    win32::adjustWindowRect(frame, native.style, false, native.exStyle, dpi);
    const bool cascade = layout.startUpPosition == StartUpPosition::WindowsDefault && !(native.style & WS_POPUP);
    const int at = cascade ? CW_USEDEFAULT : 0;
    native.hwnd = CreateWindowExW(native.exStyle, win32::FormClass, win32::wide(layout.caption).c_str(), native.style,
                                  at, at, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), &native);
    native.surface.hwnd = native.hwnd;
    native.dpi = win32::dpiOf(native.hwnd);
    win32::fitWindow(native);
    win32::setIcons(native);
}

Form::~Form()
{
    Native &native = *m_native;
    if (native.hwnd) {
        // Controls went first; nothing may reach them through the window now.
        SetWindowLongPtrW(native.hwnd, GWLP_USERDATA, 0);
        DestroyWindow(native.hwnd);
    }
    if (native.accelerators)
        DestroyAcceleratorTable(native.accelerators);
}

std::string Form::caption() const
{
    const int length = GetWindowTextLengthW(m_native->hwnd);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(m_native->hwnd, text.data(), length + 1);
    text.resize(std::size_t(length));
    return win32::utf8(text);
}

void Form::prepareWindow()
{
    Native &native = *m_native;
    // Tab order and the first focus follow the buttons' tab indexes; Enter
    // and Esc reach the default and cancel buttons from the message loop.
    native.tabOrder.clear();
    for (CommandButton *button : tabOrder())
        native.tabOrder.push_back(win32::hwnd(*button));
    native.focus = native.tabOrder.empty() ? nullptr : native.tabOrder.front();
    native.defaultButton = m_defaultButton;
    native.cancelButton = m_cancelButton;
    // The menu bar came after the window: the client area keeps its size.
    win32::fitWindow(native);
}

void Form::hideWindow()
{
    ShowWindow(m_native->hwnd, SW_HIDE);
}

void Form::Show()
{
    if (!m_loaded)
        return;
    Native &native = *m_native;
    if (!m_shown) {
        m_shown = true;
        placeOnScreen(native);
    }
    if (!IsWindowVisible(native.hwnd))
        ShowWindow(native.hwnd, SW_SHOW);
    else if (IsIconic(native.hwnd))
        ShowWindow(native.hwnd, SW_RESTORE);
    // Already open or not, it comes to the front.
    SetWindowPos(native.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(native.hwnd);
    SetActiveWindow(native.hwnd);
}

} // namespace forms
