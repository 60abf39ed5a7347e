// The least a Win32 program does to open a window: one of the splash's size
// in the splash's blue, drawn by Windows from its class's brush. The
// yardstick for the game's start-up under Wine (bench/windows/run).

#include <windows.h>

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 0xC0));
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    RECT frame {0, 0, 492, 283};
    const DWORD style = WS_POPUP | WS_DLGFRAME;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowW(L"BareWindow", L"", style, 200, 200, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
