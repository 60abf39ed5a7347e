// The least a Win32 program can do while the game sweeps: one 69 x 73
// picture with a transparent background jumping through nine stops every
// 100 ms on a black window of the game's size. The yardstick for the game's
// cost of running under Wine (bench/windows/run).

#include <windows.h>

#include <array>
#include <cmath>

namespace {

constexpr int Width = 69, Height = 73;
// The horizontal stops in pixels, shown 0, 1, ... 8, 7, ... 1, 0, 1 ...
constexpr std::array<int, 9> Stops {40, 67, 100, 133, 167, 200, 233, 267, 300};
constexpr int Top = 128;

HBITMAP ball = nullptr;
int step = 0, direction = 1;

// An orange disc, premultiplied for AlphaBlend, its corners clear.
HBITMAP makeBall()
{
    BITMAPINFO info {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto *pixels = static_cast<DWORD *>(bits);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const double inside = 34.0 - std::hypot(x + 0.5 - 34.5, y + 0.5 - 36.5);
            const double alpha = inside >= 1 ? 1 : inside <= 0 ? 0 : inside;
            const auto a = DWORD(alpha * 255), r = DWORD(alpha * 0xF7), g = DWORD(alpha * 0x86),
                       b = DWORD(alpha * 0x2D);
            pixels[y * Width + x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return bitmap;
}

RECT at(int stop)
{
    return {Stops[std::size_t(stop)], Top, Stops[std::size_t(stop)] + Width, Top + Height};
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        const RECT before = at(step);
        if (step + direction < 0 || step + direction > 8)
            direction = -direction;
        step += direction;
        const RECT after = at(step);
        InvalidateRect(window, &before, TRUE);
        InvalidateRect(window, &after, TRUE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, ball);
        const BLENDFUNCTION blend {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, Stops[std::size_t(step)], Top, Width, Height, source, 0, 0, Width, Height, blend);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    ball = makeBall();
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"BareSweep";
    RegisterClassW(&windowClass);
    RECT frame {0, 0, 690, 524};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window =
        CreateWindowW(L"BareSweep", L"bare sweep", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 100, nullptr);
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
