#include "runtime/win32/look.h"

#include <cmath>
#include <map>
#include <tuple>

namespace forms::win32 {

namespace {

template <class F>
F function(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

template <class F>
F user32(const char *name)
{
    static const HMODULE module = GetModuleHandleW(L"user32.dll");
    return function<F>(module, name);
}

// shcore.dll came with Windows 8.1; only System32's is taken.
template <class F>
F shcore(const char *name)
{
    static const HMODULE module = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return function<F>(module, name);
}

// DPI_AWARENESS_CONTEXT values, which MinGW-w64's headers name only for
// newer Windows than the program is built for.
const auto PerMonitorAware = reinterpret_cast<HANDLE>(-3);
const auto PerMonitorAwareV2 = reinterpret_cast<HANDLE>(-4);

bool faceInstalled(const std::wstring &face)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring faceName(const std::string &name)
{
    // The classic default, an 8-point sans serif: the TrueType cut of MS Sans
    // Serif, which scales with the DPI where the bitmap one cannot.
    if (name.empty() || name == "MS Sans Serif")
        return L"Microsoft Sans Serif";
    if (name == "Compacta Blk BT") {
        // A display face few machines have; Impact, the heavy condensed face
        // Windows has shipped since 98, stands in for it.
        static const bool installed = faceInstalled(L"Compacta Blk BT");
        return installed ? L"Compacta Blk BT" : L"Impact";
    }
    return wide(name);
}

} // namespace

COLORREF toColorRef(Color color)
{
    // System colours from the runtime's classic scheme, as on every other
    // desktop: today's Windows answers 9, title-bar text, with black, and the
    // ring's white outline would vanish on the black game window.
    const std::uint32_t rgb = color.toRgb();
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HBRUSH brush(Color color)
{
    static std::map<COLORREF, HBRUSH> brushes;
    const COLORREF value = toColorRef(color);
    auto found = brushes.find(value);
    if (found == brushes.end())
        found = brushes.emplace(value, CreateSolidBrush(value)).first;
    return found->second;
}

HFONT font(const Font &font, int dpi)
{
    using Key = std::tuple<std::string, double, bool, bool, int>;
    static std::map<Key, HFONT> fonts;
    const Key key {font.name, font.size, font.bold, font.italic, dpi};
    auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second;
    LOGFONTW logFont {};
    // Points to pixels at the window's DPI; negative asks for the character
    // height, as a point size means.
    logFont.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi / 72.0));
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.italic;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    // Smoothed as the player set Windows to smooth text.
    logFont.lfQuality = DEFAULT_QUALITY;
    faceName(font.name).copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return fonts.emplace(key, CreateFontIndirectW(&logFont)).first->second;
}

void becomeDpiAware()
{
    // The manifest says the same; this covers a program started without it.
    // Per-monitor v2 first, then per-monitor, then the system's DPI.
    using SetContext = BOOL(WINAPI *)(HANDLE);
    if (auto set = user32<SetContext>("SetProcessDpiAwarenessContext")) {
        if (set(PerMonitorAwareV2) || set(PerMonitorAware))
            return;
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return; // already set, by the manifest
    }
    using SetAwareness = HRESULT(WINAPI *)(int);
    if (auto set = shcore<SetAwareness>("SetProcessDpiAwareness")) {
        const HRESULT result = set(2); // PROCESS_PER_MONITOR_DPI_AWARE
        if (SUCCEEDED(result) || result == E_ACCESSDENIED)
            return;
    }
    using SetAware = BOOL(WINAPI *)();
    if (auto set = user32<SetAware>("SetProcessDPIAware"))
        set();
}

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int monitorDpi(HWND window)
{
    using GetDpi = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
    static const auto get = shcore<GetDpi>("GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (!get || FAILED(get(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0 /* MDT_EFFECTIVE_DPI */, &x, &y)))
        return 0;
    return int(y);
}

int dpiOf(HWND window)
{
    using GetDpi = UINT(WINAPI *)(HWND);
    static const auto get = user32<GetDpi>("GetDpiForWindow");
    if (window) {
        if (const int dpi = get ? int(get(window)) : monitorDpi(window))
            return dpi;
    }
    return systemDpi();
}

void scaleNonClientArea(HWND window)
{
    using Context = HANDLE(WINAPI *)();
    using Same = BOOL(WINAPI *)(HANDLE, HANDLE);
    using Enable = BOOL(WINAPI *)(HWND);
    static const auto context = user32<Context>("GetThreadDpiAwarenessContext");
    static const auto same = user32<Same>("AreDpiAwarenessContextsEqual");
    static const auto enable = user32<Enable>("EnableNonClientDpiScaling");
    if (context && same && enable && same(context(), PerMonitorAware))
        enable(window);
}

bool adjustWindowRect(RECT &rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    using Adjust = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = user32<Adjust>("AdjustWindowRectExForDpi");
    if (adjust)
        return adjust(&rect, style, menu, exStyle, UINT(dpi));
    return AdjustWindowRectEx(&rect, style, menu, exStyle);
}

int systemMetric(int index, int dpi)
{
    using Metric = int(WINAPI *)(int, UINT);
    static const auto metric = user32<Metric>("GetSystemMetricsForDpi");
    if (metric)
        return metric(index, UINT(dpi));
    return GetSystemMetrics(index);
}

} // namespace forms::win32
