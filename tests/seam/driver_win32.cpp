// The seam suite on the Win32 backend, under Wine: the program's real windows
// and message loop, input as Windows delivers it, real message boxes, real
// time. --dpi=N tells the DPI the screen is at (96 unless told).

// First: it keeps <windows.h> from defining min and max, and doctest.h
// includes <windows.h> too.
#include "runtime/win32/windows.h"

#include "driver.h"
#include "runtime/application.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/native.h"
#include "runtime/win32/utf8.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

using namespace forms;

namespace {

int g_dpi = StandardDpi;

// Longer than anything the program does at once; a queue that never empties
// gives up here rather than hang the run.
constexpr int PumpLimitMs = 2000;

bool queueEmpty()
{
    return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0;
}

// The message box being read, while the reader is inside its wait.
HWND g_box = nullptr;

// Everything waiting is delivered by the loop that would deliver it now: the
// program's own, or while a box is up, the box's, which gives keys to the
// dialog manager and hands none to the runtime.
void pump()
{
    if (!g_box) {
        win32::processEvents(PumpLimitMs, queueEmpty);
        return;
    }
    MSG msg;
    while (IsWindowVisible(g_box) && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        if (!IsDialogMessageW(g_box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Time standing still: every loop, the boxes' too, takes the forms' tick
// messages as nothing. The timers stay enabled and their threads run.
bool g_timeStopped = false;

LRESULT CALLBACK dropTicks(int code, WPARAM removed, LPARAM message)
{
    auto *msg = reinterpret_cast<MSG *>(message);
    if (code == HC_ACTION && g_timeStopped && msg->message == win32::TickMessage && win32::formOf(msg->hwnd))
        msg->message = WM_NULL;
    return CallNextHookEx(nullptr, code, removed, message);
}

// Shift as the thread's keyboard state has it, which is what the backend and
// TranslateMessage read.
void setShift(bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = state[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// A key message's LPARAM: one stroke, the key's scan code, whether the key
// was already down (a repeat, or going up) and whether it goes up.
LPARAM keyBits(int key, bool wasDown, bool up)
{
    const UINT scan = MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC);
    return LPARAM(1u | (scan << 16) | (wasDown ? 1u << 30 : 0u) | (up ? 1u << 31 : 0u));
}

// A key goes where the keyboard sends it: the focus, or the active window
// when no control has it. Then the loop runs, translating it to characters.
void sendKey(int key, UINT message, bool wasDown)
{
    HWND target = GetFocus();
    if (!target)
        target = GetActiveWindow();
    if (!target)
        return;
    PostMessageW(target, message, WPARAM(key), keyBits(key, wasDown, message == WM_KEYUP));
    pump();
}

// The left button pressed and released at a point of the screen.
void mouseClick(POINT at)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT &input : inputs) {
        input.type = INPUT_MOUSE;
        // The first normalised coordinate that maps to the pixel.
        input.mi.dx = LONG((LONGLONG(at.x) * 65536 + width - 1) / width);
        input.mi.dy = LONG((LONGLONG(at.y) * 65536 + height - 1) / height);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
    pump();
}

bool isForeground(const Form &form)
{
    return GetForegroundWindow() == win32::window(form);
}

// The program's message box, up and waiting: a dialog of this thread.
HWND messageBox()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[16] = {};
            if (!IsWindowVisible(window) || !GetClassNameW(window, name, 16) || std::wcscmp(name, L"#32770") != 0)
                return TRUE;
            *reinterpret_cast<HWND *>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::size_t(length));
    return win32::utf8(text);
}

// Reads each box from inside its own loop once it is up, and presses its OK
// button: the dialog manager hands every message of a box's loop to the
// thread's message filter first, the box's first paint among them.
struct BoxReader
{
    std::function<void(const std::string &, const std::string &)> read;
    HHOOK filter = nullptr;
    bool reading = false;
};

BoxReader g_reader;

LRESULT CALLBACK readBox(int code, WPARAM unused, LPARAM message)
{
    HWND box = code == MSGF_DIALOGBOX && !g_reader.reading ? messageBox() : nullptr;
    if (box) {
        g_reader.reading = true;
        g_box = box;
        // The text is the box's static control, which MessageBoxW numbers 0xFFFF.
        g_reader.read(textOf(box), textOf(GetDlgItem(box, 0xFFFF)));
        g_box = nullptr;
        if (IsWindowVisible(box))
            SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        g_reader.reading = false;
    }
    return CallNextHookEx(nullptr, code, unused, message);
}

void stopReading()
{
    if (g_reader.filter)
        UnhookWindowsHookEx(g_reader.filter);
    g_reader = {};
}

} // namespace

namespace driver {

void fresh()
{
    stopReading();
    g_timeStopped = false;
    setShift(false);
    Application::instance().reset();
    pump();
}

int screenDpi()
{
    return g_dpi;
}

int deviceScale()
{
    return 1;
}

void show(Form &form)
{
    form.Show();
    if (!win32::processEvents(3000, [&form] { return isForeground(form) && queueEmpty(); }))
        MESSAGE("the window did not become active: " << form.name());
}

// As the task bar does it.
void activate(Form &form)
{
    SetForegroundWindow(win32::window(form));
    if (!win32::processEvents(3000, [&form] { return isForeground(form) && queueEmpty(); }))
        MESSAGE("the window did not become active: " << form.name());
}

bool isActive(const Form &form)
{
    return isForeground(form);
}

bool isVisible(const Form &form)
{
    return IsWindowVisible(win32::window(form));
}

const Form *activeForm()
{
    HWND active = GetForegroundWindow();
    const win32::FormNative *native = win32::formOf(active);
    return native && native->hwnd == active ? &native->form : nullptr;
}

int openWindows(const std::string &formName)
{
    struct Count
    {
        const std::string &name;
        int windows = 0;
    } count {formName};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto &count = *reinterpret_cast<Count *>(data);
            wchar_t name[32] = {};
            if (!IsWindowVisible(window) || !GetClassNameW(window, name, 32)
                || std::wcscmp(name, win32::FormClass) != 0)
                return TRUE;
            const win32::FormNative *native = win32::formOf(window);
            count.windows += count.name.empty() || (native && native->form.name() == count.name);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

Rect frame(const Form &form)
{
    RECT rect {};
    GetWindowRect(win32::window(form), &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Rect workArea()
{
    RECT area {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

Size clientSize(const Form &form)
{
    RECT client {};
    GetClientRect(win32::window(form), &client);
    return {client.right, client.bottom};
}

Rect placed(const Control &control)
{
    HWND window = win32::hwnd(control);
    RECT rect = win32::rect(control);
    if (window) {
        // Where Windows has the child window, not where the backend meant it.
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&rect), 2);
    }
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Point drawnAt(const Image &image)
{
    const RECT rect = win32::rect(image);
    return {rect.left, rect.top};
}

bool isVisible(const Control &control)
{
    if (HWND window = win32::hwnd(control))
        return IsWindowVisible(window);
    return control.visible() && IsWindowVisible(win32::surface(control.parent()));
}

bool isChecked(const MenuItem &item)
{
    return (GetMenuState(win32::menu(item.menu()), win32::command(item), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

const Control *focused()
{
    HWND focus = GetFocus();
    const win32::FormNative *form = win32::formOf(focus);
    if (!form || GetForegroundWindow() != form->hwnd)
        return nullptr;
    return win32::controlOf(focus);
}

void press(int key, bool shift)
{
    if (shift)
        setShift(true);
    sendKey(key, WM_KEYDOWN, false);
    sendKey(key, WM_KEYUP, true);
    if (shift)
        setShift(false);
}

void hold(int key)
{
    sendKey(key, WM_KEYDOWN, false);
}

void repeat(int key)
{
    sendKey(key, WM_KEYDOWN, true);
}

void release(int key)
{
    sendKey(key, WM_KEYUP, true);
}

// BM_CLICK presses and releases the button as the mouse does, which gives it
// the focus too.
void click(CommandButton &button)
{
    SendMessageW(win32::hwnd(button), BM_CLICK, 0, 0);
    pump();
}

void clickAt(Form &form, Point point)
{
    POINT at {point.x, point.y};
    ClientToScreen(win32::window(form), &at);
    mouseClick(at);
}

void answerBoxes(std::function<void(const std::string &, const std::string &)> read)
{
    stopReading();
    g_reader.read = std::move(read);
    g_reader.filter = SetWindowsHookExW(WH_MSGFILTER, readBox, nullptr, GetCurrentThreadId());
}

// Windows gives keys to the focus, which no window behind a box can take:
// the nearest a key comes to one is a key message posted to its window,
// delivered by the box's loop.
void pressBehindBox(Form &form, int key)
{
    HWND window = win32::window(form);
    PostMessageW(window, WM_KEYDOWN, WPARAM(key), keyBits(key, false, false));
    PostMessageW(window, WM_KEYUP, WPARAM(key), keyBits(key, true, true));
    pump();
}

// The mouse on a part of the button the box leaves in sight, or where the
// box covers it all, on its middle.
void clickBehindBox(CommandButton &button)
{
    HWND window = win32::hwnd(button);
    RECT rect {};
    GetWindowRect(window, &rect);
    POINT at {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    RECT box {};
    if (g_box && GetWindowRect(g_box, &box) && PtInRect(&box, at)) {
        for (const POINT corner : {POINT {rect.left + 2, rect.top + 2}, POINT {rect.right - 3, rect.top + 2},
                                   POINT {rect.left + 2, rect.bottom - 3}, POINT {rect.right - 3, rect.bottom - 3}}) {
            if (!PtInRect(&box, corner)) {
                at = corner;
                break;
            }
        }
    }
    mouseClick(at);
}

void pick(MenuItem &item)
{
    PostMessageW(win32::window(item.menu().form()), WM_COMMAND, MAKEWPARAM(win32::command(item), 0), 0);
    pump();
}

void closeBox(Form &form)
{
    PostMessageW(win32::window(form), WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
}

void stopTime()
{
    static const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, dropTicks, nullptr, GetCurrentThreadId());
    (void)hook;
    g_timeStopped = true;
}

// The tick falls due and its message goes straight to the form's window, to
// be acknowledged and fired there as any tick is.
bool tick(Timer &timer)
{
    stopTime();
    win32::PreciseTimer &precise = win32::timer(timer);
    if (!precise.isActive())
        return false;
    precise.fallDue();
    SendMessageW(win32::window(timer.form()), win32::TickMessage, precise.id(), 0);
    return true;
}

bool isTicking(const Timer &timer)
{
    return win32::timer(timer).isActive();
}

void settle()
{
    pump();
}

void wait(int ms)
{
    win32::processEvents(ms);
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    return win32::processEvents(ms, done);
}

} // namespace driver

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0)
            g_dpi = std::atoi(argv[i] + 6);
        else
            rest.push_back(argv[i]);
    }
    Application::instance(); // the backend makes itself ready
    doctest::Context context(int(rest.size()), rest.data());
    return context.run();
}
