#pragma once
// The performance counter in milliseconds, for the programs that time the
// Windows build under Wine: its checks and its benchmarks.

#include "runtime/win32/windows.h"

inline double nowMs()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / frequency;
}
