#pragma once
// The game's looks in Windows' terms: system colours, fonts by name, text,
// and the DPI functions newer Windows adds.

#include "runtime/layout.h"
#include "runtime/pixels.h"
#include "runtime/win32/utf8.h"
#include "runtime/win32/windows.h"

#include <string>

namespace forms::win32 {

COLORREF toColorRef(Color color);
// A solid brush of the colour, kept for the program's life.
HBRUSH brush(Color color);

// The layout's font at `dpi`, kept for the program's life.
HFONT font(const Font &font, int dpi);

// Each window at its own monitor's DPI, as the manifest asks: per-monitor
// v2 on Windows 10 1703 and later, per-monitor (v1) on 8.1 and the first
// releases of 10, the system's DPI on 7. What the older ones lack is looked
// up at run time, so the program still starts on Windows 7.
void becomeDpiAware();
int dpiOf(HWND window);
// The DPI of the monitor that shows most of the window, as Windows 8.1 and
// later tell it; 0 where they cannot.
int monitorDpi(HWND window);
int systemDpi();
// Under per-monitor v1, a window's title bar and menu bar follow its DPI only
// when it asks, while it is being made (WM_NCCREATE); v2 scales them itself.
void scaleNonClientArea(HWND window);
bool adjustWindowRect(RECT &rect, DWORD style, bool menu, DWORD exStyle, int dpi);
int systemMetric(int index, int dpi);

} // namespace forms::win32
