#pragma once
// The game's looks in Windows' terms: twips to pixels at a window's DPI, system
// colours, fonts by name, and the DPI functions newer Windows adds.

#include "runtime/layout.h"
#include "runtime/win32/precisetimer.h"

#include <string>

namespace forms::win32 {

// Twips to the nearest device pixel at `dpi` (1440 twips to the inch).
int toPixels(double twips, int dpi);
RECT toPixels(const Bounds &bounds, int dpi);
// Pixels drawn at 96 DPI (a pen, a gap) at `dpi`, at least one.
int scaled(int pixels, int dpi);

COLORREF toColorRef(Color color);
// A solid brush of the colour, kept for the program's life.
HBRUSH brush(Color color);

// The layout's font at `dpi`, kept for the program's life.
HFONT font(const Font &font, int dpi);
// The face a layout's font name asks Windows for.
std::wstring faceName(const std::string &name);

// UTF-8 to UTF-16 and back.
std::wstring wide(const std::string &utf8);
std::string utf8(const std::wstring &text);

// Per-monitor DPI where Windows has it (10 1607 and later), the system's
// otherwise: looked up at run time so the program still starts on Windows 7.
void becomeDpiAware();
int dpiOf(HWND window);
int systemDpi();
bool adjustWindowRect(RECT &rect, DWORD style, bool menu, DWORD exStyle, int dpi);
int systemMetric(int index, int dpi);

} // namespace forms::win32
