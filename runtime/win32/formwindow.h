#pragma once
// The windows behind forms, frames and picture boxes: their classes, what
// they do with the messages Windows sends them, and how a form's window is
// sized at a DPI.

#include "runtime/win32/native.h"

#include <utility>
#include <vector>

namespace forms::win32 {

// The window classes: forms, frames, picture boxes. Registered once.
void registerWindowClasses();
extern const wchar_t FormClass[];
extern const wchar_t FrameClass[];
extern const wchar_t PictureClass[];

// The form behind a window or any of its children, or nullptr.
FormNative *formOf(HWND window);
// The control behind a child window, or nullptr.
Control *controlOf(HWND window);

// Where a form's or a frame's controls are: its window, its colour, and its
// lightweight controls back to front.
HWND surface(const Container &container);
Color backColor(const Container &container);
std::vector<Control *> &drawOrder(Container &container);

// The window's style and extended style for the form's look.
std::pair<DWORD, DWORD> stylesOf(const WindowLook &look);
// The window's size, frame included, for the layout's client area at `dpi`.
SIZE frameFor(const FormNative &form, int dpi);
// Sizes the window so that its client area is the layout's at the form's DPI.
void fitWindow(FormNative &form);
// The window's icons for its DPI.
void setIcons(FormNative &form);

// The loop hands a key message to the runtime before Windows translates and
// delivers it (keyboard.cpp); true when the runtime took it.
bool takeKey(const MSG &msg);

// What Windows does not draw itself (controls.cpp): a lightweight control on
// its form or frame, an owner-drawn label, a picture box.
void drawLightweight(HDC dc, const Control &control);
void drawLabel(const DRAWITEMSTRUCT &item, const Label &label);
void drawPictureBox(HDC dc, const PictureBox &box);

} // namespace forms::win32
