#include "runtime/win32/look.h"

#include <cmath>
#include <map>
#include <tuple>

namespace forms::win32 {

namespace {

template <class F>
F user32(const char *name)
{
    static const HMODULE module = GetModuleHandleW(L"user32.dll");
    return module ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

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
    // Toolkit-neutral colours are 0x00RRGGBB; a system colour is the one
    // this Windows uses now, as the classic runtime asked for it.
    const std::uint32_t rgb = color.isSystem() ? GetSysColor(color.systemIndex()) & 0xFFFFFF : color.toRgb();
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
    logFont.lfQuality = CLEARTYPE_QUALITY;
    faceName(font.name).copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return fonts.emplace(key, CreateFontIndirectW(&logFont)).first->second;
}

std::wstring wide(const std::string &utf8)
{
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), length);
    return text;
}

void becomeDpiAware()
{
    // The manifest says the same; this covers a program started without it.
    // Per-monitor v2 first, then per-monitor, then the system's DPI.
    using SetContext = BOOL(WINAPI *)(HANDLE);
    if (auto set = user32<SetContext>("SetProcessDpiAwarenessContext")) {
        if (set(reinterpret_cast<HANDLE>(-4)) || set(reinterpret_cast<HANDLE>(-3)))
            return;
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return; // already set, by the manifest
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

int dpiOf(HWND window)
{
    using GetDpi = UINT(WINAPI *)(HWND);
    static const auto get = user32<GetDpi>("GetDpiForWindow");
    if (get && window) {
        if (const UINT dpi = get(window))
            return int(dpi);
    }
    return systemDpi();
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
