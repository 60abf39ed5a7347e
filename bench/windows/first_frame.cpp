// Start-up under Wine: how long from starting a program to its first window
// drawn on the screen, for the game's splash against a bare window
// (bench/windows/run). Drawn: shown, nothing of it or its children left to
// paint, and its client area's corner on the screen in the splash's blue.
// The programs alternate, round after round, after one round not counted.
//
//   first-frame.exe ROUNDS PROGRAM...      prints the median of each, in ms

#include "tests/wine/clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search
{
    DWORD process;
    HWND found = nullptr;
};

HWND shownWindowOf(DWORD process)
{
    Search search {process};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto &search = *reinterpret_cast<Search *>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search.process || !IsWindowVisible(window))
                return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Asked without erasing, so the program under measurement is sent nothing.
bool leftToPaint(HWND window)
{
    bool left = GetUpdateRect(window, nullptr, FALSE);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM left) -> BOOL {
            if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
                *reinterpret_cast<bool *>(left) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&left));
    return left;
}

bool onScreen(HWND window)
{
    POINT corner {3, 3};
    ClientToScreen(window, &corner);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    return color == RGB(0, 0, 0xC0);
}

// Milliseconds from the start to the first window drawn; negative if none
// within ten seconds.
double firstFrame(const std::wstring &program)
{
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    const double start = nowMs();
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    double drawn = -1;
    while (nowMs() - start < 10000) {
        HWND window = shownWindowOf(process.dwProcessId);
        if (window && !leftToPaint(window) && onScreen(window)) {
            drawn = nowMs() - start;
            break;
        }
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Sleep(300); // the X server and Wine's server settle
    return drawn;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: first-frame ROUNDS PROGRAM...\n");
        return 2;
    }
    const int rounds = _wtoi(argv[1]);
    std::vector<std::wstring> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(programs.size());
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const double ms = firstFrame(programs[i]);
            if (ms < 0) {
                std::fprintf(stderr, "first-frame: %ls drew no window\n", programs[i].c_str());
                return 1;
            }
            if (round >= 0)
                times[i].push_back(ms);
        }
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const auto [low, high] = std::minmax_element(times[i].begin(), times[i].end());
        std::printf("%ls: median %.1f ms (%.1f to %.1f) over %d rounds\n", programs[i].c_str(), median(times[i]), *low,
                    *high, rounds);
    }
    return 0;
}
