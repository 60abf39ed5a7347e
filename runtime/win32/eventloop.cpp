// The message loop and what the forms runtime asks of it: posted calls, the
// modal message box, and the keyboard as forms see it.

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/dispatcher.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"
#include "runtime/win32/picture.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <deque>
#include <vector>

namespace forms {

namespace {

constexpr UINT PostedCall = WM_APP + 2;

// A message-only window for posted calls: a thread message would be lost
// while a message box runs its own loop.
struct Posted
{
    HWND window = nullptr;
    std::deque<std::function<void()>> calls;
};

Posted &posted()
{
    static Posted instance;
    return instance;
}

LRESULT CALLBACK postedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PostedCall) {
        auto &calls = posted().calls;
        if (!calls.empty()) {
            std::function<void()> call = std::move(calls.front());
            calls.pop_front();
            call();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A key whose press closed its form has done its work: while it is still
// held, its repeats must not act in the window that takes the form's place
// (Enter held to skip the splash would shoot). Releasing it ends that.
WPARAM spentKey = 0;
WPARAM lastKeyDown = 0;

void spend(WPARAM key)
{
    spentKey = key;
}

bool dropsRepeat(const MSG &msg)
{
    if (!spentKey || msg.wParam != spentKey)
        return false;
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
        spentKey = 0;
        return false;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    // Bit 30: the key was already down, so this is Windows repeating it.
    if (msg.lParam & (1L << 30))
        return true;
    spentKey = 0;
    return false;
}

// Presses a button as its key does; a key that closes the form this way has
// done its work, as one that closes it through key preview has.
bool pressWithKey(Form::Native &form, CommandButton *button, WPARAM key)
{
    if (!button)
        return false;
    // The click may unload the form, and the form may go with it (its
    // window too) before click() returns: only its window is asked after.
    const HWND window = form.hwnd;
    const Form *owner = form.form;
    button->click();
    if (!IsWindow(window) || !owner->isLoaded())
        spend(key);
    return true;
}

void moveFocus(Form::Native &form, bool back)
{
    const auto &order = form.tabOrder;
    if (order.empty())
        return;
    const auto at = std::find(order.begin(), order.end(), GetFocus());
    std::size_t index = at == order.end() ? (back ? 0 : order.size() - 1) : std::size_t(at - order.begin());
    for (std::size_t step = 0; step < order.size(); ++step) {
        index = (index + (back ? order.size() - 1 : 1)) % order.size();
        HWND next = order[index];
        if (IsWindowVisible(next) && IsWindowEnabled(next)) {
            SetFocus(next);
            return;
        }
    }
}

// Alt and a button's access key press it.
bool pressAccessKey(Form::Native &form, wchar_t key)
{
    for (HWND button : form.tabOrder) {
        wchar_t text[256] = {};
        GetWindowTextW(button, text, 256);
        for (const wchar_t *c = text; *c; ++c) {
            if (*c == L'&' && c[1] && c[1] != L'&' && std::towupper(c[1]) == std::towupper(key)) {
                if (Control::Native *control = win32::controlOf(button); control && control->click) {
                    // Kept aside: the click may take the button with its form.
                    const std::function<void()> click = control->click;
                    click();
                }
                return true;
            }
        }
    }
    return false;
}

// What the loop does with a message before Windows translates and delivers
// it; true when that was all.
bool filter(MSG &msg)
{
    if (dropsRepeat(msg))
        return true;
    Form::Native *form = win32::formOf(msg.hwnd);
    if (!form)
        return false;
    if (form->accelerators && TranslateAcceleratorW(form->hwnd, form->accelerators, &msg))
        return true;
    switch (msg.message) {
    case WM_KEYDOWN:
        lastKeyDown = msg.wParam;
        if (msg.wParam == VK_RETURN)
            return pressWithKey(*form, form->defaultButton, VK_RETURN);
        if (msg.wParam == VK_ESCAPE)
            return pressWithKey(*form, form->cancelButton, VK_ESCAPE);
        if (msg.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
            moveFocus(*form, GetKeyState(VK_SHIFT) & 0x8000);
            return !form->tabOrder.empty();
        }
        return false;
    case WM_SYSCHAR:
        return pressAccessKey(*form, wchar_t(msg.wParam));
    case WM_CHAR: {
        // With key preview the form sees every character key first.
        if (!form->keyPreview || Dispatcher::instance().busy())
            return false;
        Form *owner = form->form;
        bool swallowed = false;
        bool closed = false;
        const int keyAscii = int(msg.wParam);
        Dispatcher::instance().dispatch(owner, [owner, keyAscii, &swallowed, &closed] {
            swallowed = owner->pressKey(keyAscii);
            closed = !owner->isLoaded();
        });
        if (closed)
            spend(lastKeyDown);
        return swallowed;
    }
    default:
        return false;
    }
}

bool handle(MSG &msg)
{
    if (msg.message == WM_QUIT)
        return false;
    if (!filter(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

int quitCode = 0;

} // namespace

namespace backend {

void prepare()
{
    win32::becomeDpiAware();
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    win32::preparePictures();
    win32::registerWindowClasses();
    WNDCLASSEXW postClass {};
    postClass.cbSize = sizeof postClass;
    postClass.lpfnWndProc = postedProcedure;
    postClass.hInstance = GetModuleHandleW(nullptr);
    postClass.lpszClassName = L"KorvoPosted";
    RegisterClassExW(&postClass);
    posted().window = CreateWindowExW(0, postClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      postClass.hInstance, nullptr);
}

int exec()
{
    MSG msg {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        handle(msg);
    return msg.message == WM_QUIT ? int(msg.wParam) : quitCode;
}

void quit(int exitCode)
{
    quitCode = exitCode;
    PostQuitMessage(exitCode);
}

void post(std::function<void()> call)
{
    Posted &queue = posted();
    if (!queue.window)
        return;
    queue.calls.push_back(std::move(call));
    PostMessageW(queue.window, PostedCall, 0, 0);
}

void messageBox(const std::string &title, const std::string &text)
{
    // Owned by the program's active window, and modal to the whole program
    // as a box of the classic runtime is: its other windows wait too.
    HWND owner = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && IsWindowEnabled(window) && win32::formOf(window))
                reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, owner);
    for (HWND window : disabled)
        EnableWindow(window, FALSE);
    MessageBoxW(owner, win32::wide(text).c_str(), win32::wide(title).c_str(),
                MB_OK | (owner ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND);
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
}

void reset()
{
    spentKey = 0;
}

} // namespace backend

namespace win32 {

bool processEvents(int ms, const std::function<bool()> &done)
{
    const ULONGLONG until = GetTickCount64() + ULONGLONG(std::max(ms, 0));
    for (;;) {
        if (done && done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Kept for the loop it belongs to.
                PostQuitMessage(int(msg.wParam));
                return done && done();
            }
            handle(msg);
            if (done && done())
                return true;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<ULONGLONG>(until - now, 10)), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

} // namespace win32
} // namespace forms
