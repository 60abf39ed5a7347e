#pragma once
// The game's pictures on Windows: PNG resources of the executable drawn at
// build time from the artwork at 100, 150 and 200 %, named NAME@PERCENT.

#include "runtime/win32/windows.h"

#include <string>
#include <vector>

namespace forms::win32 {

// Once, before the first picture: WIC lives in COM.
void preparePictures();

// The picture's natural size at `dpi`: its 100 % PNG's, scaled; empty for an
// unknown name.
SIZE pictureSize(const std::string &name, int dpi);

// Draws the picture at (x, y) in `size` pixels, its transparent parts showing
// what is already there: the PNG for `dpi` as it is when it has that size,
// otherwise scaled from it.
void drawPicture(HDC dc, const std::string &name, int x, int y, SIZE size, int dpi);

// An icon `side` pixels square from pictures drawn for given sizes, smallest
// first: the one drawn for that size, else the largest scaled. Kept for the
// program's life.
HICON pictureIcon(const std::vector<std::string> &names, int side);

} // namespace forms::win32
