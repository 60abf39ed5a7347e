#pragma once
// The windows behind forms and frames: their classes, what they do with the
// messages Windows sends them, and how they are sized and laid out at a DPI.

#include "runtime/win32/native.h"

namespace forms::win32 {

// A precise timer's tick, posted to its form's window; WPARAM names the timer.
constexpr UINT TickMessage = WM_APP + 1;

// The window classes: forms, frames, picture boxes. Registered once.
void registerWindowClasses();
extern const wchar_t FormClass[];
extern const wchar_t FrameClass[];
extern const wchar_t PictureClass[];

// The form behind a window or any of its children, or nullptr.
Form::Native *formOf(HWND window);
// The control behind a child window, or nullptr.
Control::Native *controlOf(HWND window);

// The window's style for a layout.
void stylesFor(const FormLayout &layout, DWORD &style, DWORD &exStyle);
// Sizes the window so that its client area is the layout's at the form's DPI.
void fitWindow(Form::Native &form);
// Lays the whole form out again at `dpi`: window, controls, fonts, pictures.
void layOut(Form::Native &form, int dpi);
// The window's icons for its DPI.
void setIcons(Form::Native &form);

// Draws a surface's lightweight controls over its background, in one go.
void paintSurface(Surface &surface);

} // namespace forms::win32
