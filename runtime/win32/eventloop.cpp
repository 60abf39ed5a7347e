// The message loop and what the forms runtime asks of it: posted calls and
// the modal message box.

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"
#include "runtime/win32/picture.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace forms {

namespace win32 {

namespace {

constexpr UINT PostedCall = WM_APP + 2;

// A message-only window for posted calls: a thread message would be lost
// while a message box runs its own loop.
HWND postWindow = nullptr;
std::deque<std::function<void()>> postedCalls;
int quitCode = 0;

LRESULT CALLBACK postedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != PostedCall || postedCalls.empty())
        return DefWindowProcW(window, message, wParam, lParam);
    std::function<void()> call = std::move(postedCalls.front());
    postedCalls.pop_front();
    call();
    return 0;
}

void deliver(MSG &msg)
{
    if (!takeKey(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

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
            deliver(msg);
            if (done && done())
                return true;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<ULONGLONG>(until - now, 10)), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

} // namespace win32

namespace backend {

using namespace win32;

void prepare()
{
    becomeDpiAware();
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    preparePictures();
    WNDCLASSEXW postClass {};
    postClass.cbSize = sizeof postClass;
    postClass.lpfnWndProc = postedProcedure;
    postClass.hInstance = GetModuleHandleW(nullptr);
    postClass.lpszClassName = L"KorvoPosted";
    RegisterClassExW(&postClass);
    postWindow = CreateWindowExW(0, postClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 postClass.hInstance, nullptr);
}

int exec()
{
    MSG msg {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        deliver(msg);
    return msg.message == WM_QUIT ? int(msg.wParam) : quitCode;
}

void quit(int exitCode)
{
    quitCode = exitCode;
    PostQuitMessage(exitCode);
}

void post(std::function<void()> call)
{
    if (!postWindow)
        return;
    postedCalls.push_back(std::move(call));
    PostMessageW(postWindow, PostedCall, 0, 0);
}

void messageBox(const std::string &title, const std::string &text)
{
    // Owned by the program's active window, and modal to the whole program
    // as a box of the classic runtime is: its other windows wait too.
    HWND owner = GetActiveWindow();
    std::vector<HWND> disabled;
    for (const Form *form : Application::instance().loadedForms()) {
        HWND other = window(*form);
        if (other != owner && IsWindowVisible(other) && IsWindowEnabled(other)) {
            EnableWindow(other, FALSE);
            disabled.push_back(other);
        }
    }
    MessageBoxW(owner, wide(text).c_str(), wide(title).c_str(),
                MB_OK | (owner ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND);
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
}

} // namespace backend
} // namespace forms
