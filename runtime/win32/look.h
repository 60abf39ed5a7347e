#pragma once
// The game's looks in Windows' terms: system colours, fonts by name, text,
// and the DPI functions newer Windows adds.

#include "runtime/layout.h"
#include "runtime/pixels.h"
#include "runtime/win32/windows.h"

#include <string>

namespace forms::win32 {

COLORREF toColorRef(Color color);
// A solid brush of the colour, kept for the program's life.
HBRUSH brush(Color color);

// The layout's font at `dpi`, kept for the program's life.
HFONT font(const Font &font, int dpi);

// UTF-8 to UTF-16.
std::wstring wide(const std::string &utf8);

// Per-monitor DPI where Windows has it (10 1607 and later), the system's
// otherwise: looked up at run time so the program still starts on Windows 7.
void becomeDpiAware();
int dpiOf(HWND window);
int systemDpi();
bool adjustWindowRect(RECT &rect, DWORD style, bool menu, DWORD exStyle, int dpi);
int systemMetric(int index, int dpi);

} // namespace forms::win32
