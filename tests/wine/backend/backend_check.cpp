// What only the Win32 backend shows of the game, under Wine: window styles,
// fonts as Windows was asked for them, pixels on the screen, the menus'
// strings, a move to a screen of another DPI, MessageBoxW itself, the
// launcher against Wine's registry and the real program's end. What every
// backend must do alike is the seam suite's (tests/seam).
//
//   backend-check.exe --dpi=N [--windows=V] [--game=PATH] [doctest options]
//                                       the checks, at a DPI of N, Wine playing Windows V (7, 10)
//   backend-check.exe --bench [--ticks=N]                       Timer1's ticks measured

// First: it keeps <windows.h> from defining min and max, and doctest.h
// includes <windows.h> too.
#include "runtime/win32/windows.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "game/aim.h"
#include "game/form1.h"
#include "game/frmsplash.h"
#include "runtime/application.h"
#include "runtime/basic.h"
#include "runtime/controls.h"
#include "runtime/pixels.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"
#include "runtime/win32/utf8.h"
#include "screens/frmabout.h"
#include "screens/sysinfo.h"
#include "tests/wine/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace forms;

namespace {

int expectedDpi = 96;
int expectedWindows = 0;
std::string gamePath;

int px(double twips, int dpi = expectedDpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

bool waitFor(const std::function<bool()> &done, int ms = 3000)
{
    return win32::processEvents(ms, done);
}

void pump(int ms)
{
    win32::processEvents(ms);
}

// Every case starts from nothing and leaves no window behind.
struct Fresh
{
    Fresh() { Application::instance().reset(); }
    ~Fresh()
    {
        Application::instance().reset();
        pump(20);
    }
};

// Keys as the keyboard sends them, to the window in front.
void key(WORD vk, bool down)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void tap(WORD vk)
{
    key(vk, true);
    key(vk, false);
    pump(80);
}

bool activate(HWND window)
{
    SetForegroundWindow(window);
    return waitFor([window] { return GetForegroundWindow() == window; });
}

// The form shown and in front, as a player meets it.
template <class F>
F &shown()
{
    F &form = instance<F>();
    form.Show();
    REQUIRE(activate(win32::window(form)));
    return form;
}

// A windowed control's rectangle in its parent's client area.
RECT placed(const Control &control)
{
    HWND window = win32::hwnd(control);
    RECT rect {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

RECT twipsRect(int left, int top, int width, int height, int dpi = expectedDpi)
{
    return {px(left, dpi), px(top, dpi), px(left, dpi) + px(width, dpi), px(top, dpi) + px(height, dpi)};
}

std::string show(const RECT &r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", "
           + std::to_string(r.bottom) + ")";
}

bool same(const RECT &a, const RECT &b)
{
    return EqualRect(&a, &b);
}

#define CHECK_RECT(actual, expected) CHECK_MESSAGE(same(actual, expected), show(actual), " != ", show(expected))

SIZE clientSize(HWND window)
{
    RECT client {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The font a control was given, as Windows was asked for it.
LOGFONTW fontOf(const Control &control)
{
    LOGFONTW font {};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(win32::hwnd(control), WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

// A pixel of a window's client area as it is on the screen.
COLORREF pixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

COLORREF pixel(const Form &form, int x, int y)
{
    return pixelOf(win32::window(form), x, y);
}

std::vector<HWND> topLevelWindows(const wchar_t *title)
{
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"KorvoForm", title)))
        found.push_back(window);
    return found;
}

// The program's message box, while it is up.
HWND messageBoxWindow()
{
    HWND box = FindWindowW(L"#32770", L"Korvo");
    DWORD process = 0;
    if (box)
        GetWindowThreadProcessId(box, &process);
    return process == GetCurrentProcessId() ? box : nullptr;
}

std::string textOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return win32::utf8(text);
}

// While a handler waits in a real message box, `inside` runs from that box's
// own message loop once the box is up; then OK is pressed on the box.
struct RealBox
{
    static inline std::function<void(HWND)> inside;
    static inline bool answered = false;
    static inline double shownFor = 0;

    static void arm(std::function<void(HWND)> check, int waitMs = 0)
    {
        inside = std::move(check);
        answered = false;
        static double since = 0;
        static int wait = 0;
        since = 0;
        wait = waitMs;
        SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND box = messageBoxWindow();
            if (!box)
                return;
            if (since == 0)
                since = nowMs();
            if (nowMs() - since < wait)
                return;
            KillTimer(nullptr, id);
            shownFor = nowMs() - since;
            if (inside)
                inside(box);
            answered = true;
            SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
    }
};

} // namespace

TEST_CASE("Wine plays the Windows this run is for")
{
    if (!expectedWindows)
        return;
    // As the kernel reports it, whatever a manifest says.
    using GetVersion = LONG(WINAPI *)(OSVERSIONINFOW *);
    const auto get = reinterpret_cast<GetVersion>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    const bool found = get != nullptr;
    REQUIRE(found);
    OSVERSIONINFOW version {};
    version.dwOSVersionInfoSize = sizeof version;
    REQUIRE(get(&version) == 0);
    const std::pair<DWORD, DWORD> expected =
        expectedWindows == 7 ? std::pair<DWORD, DWORD> {6, 1} : std::pair<DWORD, DWORD> {10, 0};
    CHECK(version.dwMajorVersion == expected.first);
    CHECK(version.dwMinorVersion == expected.second);
}

TEST_CASE("layout: the game window, its styles, fonts and pictures")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    HWND window = win32::window(game);

    // Fixed single border: title bar with the three boxes, no sizing frame.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    CHECK((style & WS_THICKFRAME) == 0);
    CHECK((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0);
    CHECK(textOf(window) == "Korvo Game");
    CHECK(SendMessageW(window, WM_GETICON, ICON_SMALL, 0) != 0);
    // The monitor's DPI as Windows 8.1 tells it, where 10's own call is
    // missing, agrees with the window's.
    CHECK(win32::dpiOf(window) == expectedDpi);
    CHECK(win32::monitorDpi(window) == expectedDpi);

    CHECK_RECT(placed(game.Picture4), twipsRect(240, 480, 1455, 615));
    CHECK_RECT(placed(game.Label1), twipsRect(120, 7320, 5295, 495));
    // Drawn by the window itself.
    CHECK_RECT(win32::rect(game.Shape1), twipsRect(2280, 1440, 1935, 2055));
    CHECK_RECT(win32::rect(game.Picture2), twipsRect(600, 1920, 1035, 1095));
    CHECK_RECT(win32::rect(game.Picture1), twipsRect(2760, 240, 1035, 1095));

    // Fonts as the layout names them, in points at this DPI.
    const LOGFONTW web = fontOf(game.Label1);
    CHECK(std::wstring(web.lfFaceName) == L"Comic Sans MS");
    CHECK(web.lfHeight == -std::lround(14.25 * expectedDpi / 72));
    CHECK(std::wstring(fontOf(game.cmdTirar).lfFaceName) == L"Microsoft Sans Serif");
    CHECK(fontOf(game.cmdTirar).lfHeight == -std::lround(8.0 * expectedDpi / 72));

    // Smoothed as the player set Windows to smooth text, not forced to ClearType.
    CHECK(fontOf(game.Label1).lfQuality == DEFAULT_QUALITY);
    CHECK(fontOf(game.cmdTirar).lfQuality == DEFAULT_QUALITY);

    // The ball's picture is there, at its place, with its corners clear.
    pump(50);
    const RECT ball = win32::rect(game.Picture1);
    const COLORREF middle = pixel(game, (ball.left + ball.right) / 2, (ball.top + ball.bottom) / 2);
    CHECK(GetRValue(middle) > 100); // orange
    CHECK(pixel(game, ball.left + 1, ball.top + 1) == RGB(0, 0, 0));
}

TEST_CASE("the game draws with the classic system colours, whatever this Windows' scheme says")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    game.Timer1.setEnabled(false);
    pump(50);
    // Wine's own scheme, like today's Windows, has black title-bar text and a
    // lighter button face than the classic scheme.
    REQUIRE(GetSysColor(COLOR_CAPTIONTEXT) != RGB(255, 255, 255));
    REQUIRE(GetSysColor(COLOR_BTNFACE) != RGB(212, 208, 200));
    // The ring's outline, title-bar text, is white at its four ends, in the
    // middle of its two pixels at 96 DPI, where no hatch line need pass.
    const RECT ring = win32::rect(game.Shape1);
    const RectF outline =
        shapeOutline({ring.left, ring.top, ring.right - ring.left, ring.bottom - ring.top}, ShapeKind::Circle);
    const int left = int(outline.left), top = int(outline.top);
    const int right = left + int(outline.width) - 1, bottom = top + int(outline.height) - 1;
    const int in = scaled(2, expectedDpi) / 2;
    const POINT ends[] = {{left + in, (top + bottom) / 2},
                          {right - in, (top + bottom) / 2},
                          {(left + right) / 2, top + in},
                          {(left + right) / 2, bottom - in}};
    for (const POINT &end : ends) {
        CAPTURE(end.x);
        CAPTURE(end.y);
        CHECK(pixel(game, end.x, end.y) == RGB(255, 255, 255));
    }
    // The statistics panel, button face, is the classic grey.
    CHECK(pixelOf(win32::hwnd(game.Frame1), px(120), px(1695 - 120)) == RGB(212, 208, 200));
}

TEST_CASE("layout: menus with their shortcuts")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    HMENU bar = GetMenu(win32::window(game));
    REQUIRE(bar);
    CHECK(GetMenuItemCount(bar) == 3);
    wchar_t text[64] = {};
    GetMenuStringW(bar, win32::command(game.mnuSalir), text, 64, MF_BYCOMMAND);
    CHECK(std::wstring(text) == L"Salir\tF4");
    GetMenuStringW(bar, win32::command(game.mnuAbout), text, 64, MF_BYCOMMAND);
    CHECK(std::wstring(text) == L"Acerca...\tF1");
}

namespace {

// Every window this thread activates, in order.
std::vector<HWND> g_activated;

LRESULT CALLBACK logActivation(int code, WPARAM window, LPARAM details)
{
    if (code == HCBT_ACTIVATE)
        g_activated.push_back(reinterpret_cast<HWND>(window));
    return CallNextHookEx(nullptr, code, window, details);
}

// A window of the desktop's, as another program's would be: under the
// game's, visible and ready to be activated.
struct OtherWindow
{
    OtherWindow()
        : hwnd(CreateWindowExW(0, L"STATIC", L"otro programa", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr))
    { }
    ~OtherWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

} // namespace

TEST_CASE("the splash hands the foreground to the game: no other window is activated between them")
{
    Fresh fresh;
    const OtherWindow other;
    REQUIRE(activate(other.hwnd));
    frmSplash &splash = shown<frmSplash>();
    HWND splashWindow = win32::window(splash);
    g_activated.clear();
    HHOOK hook = SetWindowsHookExW(WH_CBT, logActivation, nullptr, GetCurrentThreadId());
    REQUIRE(hook);
    // The splash's own timer, after its second and a half.
    const bool opened = waitFor(
        [] { return isLoaded<Form1>() && GetForegroundWindow() == win32::window(*loadedInstance<Form1>()); }, 5000);
    pump(300);
    UnhookWindowsHookEx(hook);
    REQUIRE(opened);
    HWND game = win32::window(*loadedInstance<Form1>());
    CHECK(GetForegroundWindow() == game);
    CHECK(std::count(g_activated.begin(), g_activated.end(), other.hwnd) == 0);
    CHECK(g_activated == std::vector<HWND> {game});
    CHECK_FALSE(IsWindow(splashWindow));
}

TEST_CASE("layout: the splash, without a title bar, out of the task bar")
{
    Fresh fresh;
    frmSplash &splash = shown<frmSplash>();
    splash.Timer1.setEnabled(false);
    HWND window = win32::window(splash);
    CHECK((GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION);
    CHECK((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);
    CHECK_RECT(win32::rect(splash.imgLogo), twipsRect(360, 240, 1575, 1665));
    // Compacta Blk BT, or the heavy condensed face that stands in for it.
    const std::wstring face = fontOf(splash.lblProductName).lfFaceName;
    CHECK((face == L"Compacta Blk BT" || face == L"Impact"));
    CHECK(fontOf(splash.lblProductName).lfHeight == -std::lround(27.75 * expectedDpi / 72));
    CHECK(std::wstring(fontOf(splash.lblPlatform).lfFaceName) == L"Arial");
    CHECK(fontOf(splash.lblPlatform).lfWeight == FW_BOLD);
}

TEST_CASE("layout: About is a tool window of its own")
{
    Fresh fresh;
    shown<Form1>();
    frmAbout &about = shown<frmAbout>();
    HWND window = win32::window(about);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
    CHECK((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);
    CHECK(GetWindow(window, GW_OWNER) == nullptr);
    CHECK(textOf(window) == "Acerca del autor");
    CHECK_RECT(placed(about.picIcon), twipsRect(120, 360, 1410, 630));
    CHECK((GetWindowLongPtrW(win32::hwnd(about.cmdOK), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON);
    CHECK(textOf(win32::hwnd(about.cmdSysInfo)) == "&System Info...");
    CHECK(about.lblVersion.caption() == "Versión 1.1");
}

TEST_CASE("layout: a move to a screen of another DPI lays the window out again")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    HWND window = win32::window(game);
    for (int dpi : {expectedDpi * 2, expectedDpi}) {
        RECT frame {};
        GetWindowRect(window, &frame);
        SIZE size {};
        SendMessageW(window, WM_GETDPISCALEDSIZE, WPARAM(dpi), reinterpret_cast<LPARAM>(&size));
        RECT suggested {frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        CHECK(game.dpi() == dpi);
        const SIZE client = clientSize(window);
        CHECK(client.cx == px(10350, dpi));
        CHECK(client.cy == px(7860, dpi));
        CHECK_RECT(placed(game.cmdTirar), twipsRect(4320, 3120, 1095, 975, dpi));
        CHECK_RECT(placed(game.Label4), twipsRect(360, 840, 1455, 255, dpi));
        CHECK_RECT(win32::rect(game.Picture2), twipsRect(600, 1920, 1035, 1095, dpi));
        CHECK(fontOf(game.Label1).lfHeight == -std::lround(14.25 * dpi / 72));
    }
}

namespace {

// The sizes Windows gives a window, after its own limits, each time it is
// about to be moved or sized.
HWND g_sized = nullptr;
std::vector<SIZE> g_sizes;

LRESULT CALLBACK logSizes(int code, WPARAM sent, LPARAM message)
{
    const auto *call = reinterpret_cast<const CWPRETSTRUCT *>(message);
    if (code == HC_ACTION && call->hwnd == g_sized && call->message == WM_WINDOWPOSCHANGING) {
        const auto *position = reinterpret_cast<const WINDOWPOS *>(call->lParam);
        if (!(position->flags & SWP_NOSIZE))
            g_sizes.push_back({position->cx, position->cy});
    }
    return CallNextHookEx(nullptr, code, sent, message);
}

struct SizeLog
{
    explicit SizeLog(HWND window) : hook(SetWindowsHookExW(WH_CALLWNDPROCRET, logSizes, nullptr, GetCurrentThreadId()))
    {
        g_sized = window;
    }
    ~SizeLog()
    {
        UnhookWindowsHookEx(hook);
        g_sized = nullptr;
    }
    HHOOK hook;
};

} // namespace

TEST_CASE("a DPI change sizes the window once, to the layout at the new DPI")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    HWND window = win32::window(game);
    const SizeLog log(window);
    REQUIRE(log.hook);
    for (int dpi : {96, 144, 192, expectedDpi}) {
        if (dpi == game.dpi())
            continue;
        CAPTURE(dpi);
        // As Windows 10 does it: the size asked for first, then the rectangle
        // suggested with it.
        RECT frame {};
        GetWindowRect(window, &frame);
        SIZE size {};
        SendMessageW(window, WM_GETDPISCALEDSIZE, WPARAM(dpi), reinterpret_cast<LPARAM>(&size));
        RECT suggested {frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
        g_sizes.clear();
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &frame);
        REQUIRE(g_sizes.size() == 1);
        CHECK(g_sizes[0].cx == frame.right - frame.left);
        CHECK(g_sizes[0].cy == frame.bottom - frame.top);
        const SIZE client = clientSize(window);
        CHECK(client.cx == px(10350, dpi));
        CHECK(client.cy == px(7860, dpi));
    }
}

TEST_CASE("the sweep's stops are on the screen as soon as they are set")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    game.Timer1.setEnabled(false);
    pump(50);
    // Eight ticks from the start: the stops left to right, each drawn at
    // once, the old place cleared.
    for (std::size_t i = 0; i < aim::horizontalStops.size() - 1; ++i) {
        const RECT before = win32::rect(game.Picture2);
        game.Timer1_Timer();
        const RECT now = win32::rect(game.Picture2);
        CHECK(game.Picture2.left() == float(aim::horizontalStops[i]));
        CHECK(now.left == px(aim::horizontalStops[i]));
        if (now.left != before.left) {
            const int y = (now.top + now.bottom) / 2;
            CHECK(GetRValue(pixel(game, (now.left + now.right) / 2, y)) > 100);
            if (before.right <= now.left)
                CHECK(pixel(game, (before.left + before.right) / 2, y) != pixel(game, (now.left + now.right) / 2, y));
        }
    }
    // The vertical sweep goes on from there.
    game.paso = 0;
    game.reversa = 0;
    for (int stop : aim::verticalStops) {
        game.Timer2_Timer();
        CHECK(win32::rect(game.Picture1).top == px(stop));
    }
}

TEST_CASE("a sweep whose precise timer fails goes on, on Windows' own timer")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    int ticks = 0;
    game.Timer1.onTimer([&] {
        ++ticks;
        game.Timer1_Timer();
    });
    REQUIRE(waitFor([&] { return ticks >= 2; }));
    win32::timer(game.Timer1).failNextWait();
    const int before = ticks;
    std::vector<float> stops;
    waitFor(
        [&] {
            if (stops.empty() || stops.back() != game.Picture2.left())
                stops.push_back(game.Picture2.left());
            return false;
        },
        1500);
    CHECK(win32::timer(game.Timer1).waitKind() == win32::PreciseTimer::WaitKind::SystemTimer);
    CHECK(ticks - before >= 12);
    CHECK(stops.size() >= 12);
}

TEST_CASE("\"Presione reiniciar\" in a real box, owned by the game, which waits")
{
    Fresh fresh;
    Form1 &game = shown<Form1>();
    Application::instance().setMessageBoxHook([](const std::string &, const std::string &) {});
    game.cmdTirar.click();
    game.cmdTirar.click();
    Application::instance().setMessageBoxHook(nullptr);
    std::string text;
    HWND owner = nullptr;
    bool gameEnabled = true;
    RealBox::arm([&](HWND box) {
        text = textOf(GetDlgItem(box, 0xFFFF));
        owner = GetWindow(box, GW_OWNER);
        gameEnabled = IsWindowEnabled(win32::window(game));
    });
    tap(VK_RETURN);
    CHECK(waitFor([] { return RealBox::answered; }));
    CHECK(text == "Presione reiniciar para tirar de nuevo");
    CHECK(owner == win32::window(game));
    CHECK_FALSE(gameEnabled);
    CHECK(IsWindowEnabled(win32::window(game)));
    CHECK(messageBoxWindow() == nullptr);
}

namespace {

// A form whose timer opens a real box on its first tick.
class TickForm : public Form
{
public:
    TickForm()
        : Form("TickForm", {.caption = "ticks", .clientWidth = 1500, .clientHeight = 1500}),
          Timer1(*this, "Timer1", 50, true)
    {
        Timer1.onTimer([this] {
            ++ticks;
            if (ticks == 1)
                MsgBox("una");
            else
                Timer1.setEnabled(false);
        });
    }
    Timer Timer1;
    int ticks = 0;
};

} // namespace

TEST_CASE("ticks that fall due while a real box waits are delivered once after it")
{
    Fresh fresh;
    TickForm &form = shown<TickForm>();
    int ticksWhileUp = -1;
    RealBox::arm([&](HWND) { ticksWhileUp = form.ticks; }, 500);
    CHECK(waitFor([] { return RealBox::answered; }));
    CHECK(RealBox::shownFor >= 500);
    CHECK(ticksWhileUp == 1); // ten fell due meanwhile
    CHECK(waitFor([&] { return form.ticks == 2; }, 1000));
    pump(300);
    CHECK(form.ticks == 2);
}

TEST_CASE("System Info... under Wine ends in its box")
{
    Fresh fresh;
    shown<Form1>();
    shown<frmAbout>();
    // A fresh Wine prefix registers no system information tool, though it
    // has an msinfo32.exe: the launcher finds nothing to start.
    std::vector<std::string> boxes;
    Application::instance().setMessageBoxHook(
        [&](const std::string &, const std::string &text) { boxes.push_back(text); });
    // Alt+S, the button's access key.
    key(VK_MENU, true);
    tap('S');
    key(VK_MENU, false);
    pump(100);
    REQUIRE(boxes.size() == 1);
    CHECK(boxes[0] == sysinfo::UnavailableMessage);
    CHECK(isLoaded<frmAbout>());
}

TEST_CASE("F4 ends the real program with exit code 0")
{
    if (gamePath.empty()) {
        MESSAGE("no --game=PATH given");
        return;
    }
    std::wstring path(gamePath.begin(), gamePath.end());
    std::wstring command = L"\"" + path + L"\"";
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    const double start = nowMs();
    REQUIRE(
        CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // The splash, then the game.
    const auto visibleWindow = [&](const wchar_t *title) {
        for (HWND window : topLevelWindows(title)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(window))
                return window;
        }
        return HWND(nullptr);
    };
    HWND splash = nullptr;
    CHECK(waitFor([&] { return (splash = visibleWindow(L"")) != nullptr; }, 10000));
    MESSAGE("the splash is up " << int(nowMs() - start) << " ms after the program was started");
    HWND game = nullptr;
    CHECK(waitFor([&] { return (game = visibleWindow(L"Korvo Game")) != nullptr; }, 10000));
    if (game) {
        PostMessageW(game, WM_KEYDOWN, VK_F4, 1);
        PostMessageW(game, WM_KEYUP, VK_F4, 1 | (1u << 30) | (1u << 31));
    }
    const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    CHECK(ended);
    DWORD code = 259;
    GetExitCodeProcess(process.hProcess, &code);
    CHECK(code == 0);
    if (!ended)
        TerminateProcess(process.hProcess, 3);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

namespace {

// Form1's own timer, its ticks timed as its handler sees them.
int bench(int ticks)
{
    Form1 &game = instance<Form1>();
    game.Show();
    std::vector<double> times;
    times.reserve(std::size_t(ticks) + 1);
    const double start = nowMs();
    game.Timer1.setEnabled(false);
    game.Timer1.onTimer([&] {
        times.push_back(nowMs());
        game.Timer1_Timer();
    });
    const double started = nowMs();
    game.Timer1.setEnabled(true);
    win32::processEvents(ticks * 100 + 5000, [&] { return int(times.size()) >= ticks; });
    game.Timer1.setEnabled(false);
    (void)start;
    if (int(times.size()) < ticks) {
        std::printf("only %zu ticks\n", times.size());
        return 1;
    }
    std::vector<double> deviations;
    double sum = 0;
    double previous = started;
    for (double t : times) {
        sum += t - previous;
        deviations.push_back(std::abs(t - previous - 100.0));
        previous = t;
    }
    std::sort(deviations.begin(), deviations.end());
    const double p99 = deviations[std::size_t(std::ceil(0.99 * double(deviations.size()))) - 1];
    const double drift = times.back() - started - 100.0 * ticks;
    std::printf("Timer1, %d ticks of 100 ms: mean %.3f ms, p99 deviation %.3f ms, max %.3f ms, drift %+.3f ms\n", ticks,
                sum / ticks, p99, deviations.back(), drift);
    Application::instance().reset();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    bool benchmark = false;
    int ticks = 300;
    std::vector<char *> rest {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0)
            expectedDpi = std::atoi(argv[i] + 6);
        else if (std::strncmp(argv[i], "--windows=", 10) == 0)
            expectedWindows = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--game=", 7) == 0)
            gamePath = argv[i] + 7;
        else if (std::strcmp(argv[i], "--bench") == 0)
            benchmark = true;
        else if (std::strncmp(argv[i], "--ticks=", 8) == 0)
            ticks = std::atoi(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    Application::instance(); // the backend makes itself ready
    if (benchmark)
        return bench(ticks);
    doctest::Context context(int(rest.size()), rest.data());
    return context.run();
}
