// The keyboard's way from the message loop to the runtime (Keyboard): keys
// down, the characters they make for key preview, and Alt with a button's
// access key. The runtime decides what they do.

#include "runtime/keyboard.h"
#include "runtime/win32/formwindow.h"

namespace forms::win32 {

namespace {

int lastKeyDown = 0; // the key behind the next character

bool held(int key)
{
    return GetKeyState(key) < 0;
}

// Whether the form hears of the key. With Alt it is Windows' own (Alt+F4
// closes the window; Alt and a letter comes as a character of its own). A
// menu shortcut is the bare key, as in a Windows menu; Enter and Esc press
// their buttons whatever else is held, and Ctrl+Tab moves nothing.
bool forTheForm(const MSG &msg)
{
    if (HIWORD(msg.lParam) & KF_ALTDOWN)
        return false;
    switch (msg.wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
        return true;
    case VK_TAB:
        return !held(VK_CONTROL);
    default:
        return !held(VK_CONTROL) && !held(VK_SHIFT);
    }
}

} // namespace

bool takeKey(const MSG &msg)
{
    FormNative *form = formOf(msg.hwnd);
    Keyboard &keyboard = Keyboard::instance();
    const int key = int(msg.wParam);
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        lastKeyDown = key;
        const bool repeat = msg.lParam & (1 << 30); // the key was already down
        if (form && forTheForm(msg))
            return keyboard.keyDown(form->form, key, repeat, held(VK_SHIFT));
        return keyboard.dropsRepeat(key, repeat);
    }
    case WM_CHAR:
        return form && keyboard.character(form->form, key, lastKeyDown);
    case WM_SYSCHAR:
        return form && form->form.pressAccessKey(char32_t(key));
    default:
        return false;
    }
}

} // namespace forms::win32
