#pragma once
// <windows.h> as the whole program includes it: without the min and max
// macros that break std::min, and without the rarely used parts.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
