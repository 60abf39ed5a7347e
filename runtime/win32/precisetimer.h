// A periodic timer for the Win32 backend that keeps time to the millisecond and hands its ticks to the UI thread.
#pragma once

#include "runtime/deadlines.h"
#include "runtime/win32/windows.h"

#include <atomic>
#include <cstdint>

namespace forms::win32 {

// SetTimer follows the system tick (about 15.6 ms), so a 100 ms timer runs
// at about 109 ms. This one waits on a high-resolution waitable timer in a
// thread of its own, against absolute deadlines (start + n * interval), and
// only posts `message` to `target`; the handler runs on the UI thread from
// its message loop, as every handler does.
//
// The tick message carries id() in its WPARAM (LPARAM is 0). At most one
// tick message of a timer is in the queue at any time: ticks that fall due
// while one is pending are folded into it. The UI thread calls acknowledge()
// for every tick message of this timer it takes, before running the handler,
// so that a tick falling due during the handler is posted again and
// delivered once after it. Until acknowledge() is called the timer posts
// nothing more, so a loop that holds a tick back (a modal one) keeps it and
// acknowledges when it runs the handler later. After a stall no burst
// follows: missed deadlines are skipped and the next one is the first in
// the future, still on the start + n * interval grid.
//
// start(), stop() and the destructor belong to one thread (the UI thread);
// none of them waits for the UI thread, so none can deadlock with it. Needs
// winmm (timeBeginPeriod) where the high-resolution timer is refused.
class PreciseTimer
{
public:
    PreciseTimer(HWND target, UINT message);
    ~PreciseTimer();

    PreciseTimer(const PreciseTimer &) = delete;
    PreciseTimer &operator=(const PreciseTimer &) = delete;

    // Ticks every intervalMs (at least 1), the first one interval from now;
    // a running timer starts over. False when intervalMs is out of range or
    // Windows refuses a timer or a thread.
    bool start(int intervalMs);
    // No tick is posted after it returns, and a tick message still in the
    // queue is answered false by acknowledge() (unless a start() since has
    // had a tick fall due: the message then stands for that one).
    void stop();
    bool isActive() const { return m_thread != nullptr; }
    int interval() const { return m_intervalMs; }

    // Unique in the process and never reused, so a tick message that
    // outlives its timer names no other one.
    WPARAM id() const { return m_id; }

    // For a tick message of this timer: true when a tick is due and the
    // handler is to run, false for a message left from a stopped run.
    // Any thread may call it; the UI thread does, before the handler.
    bool acknowledge();

    // Deadlines that posted nothing: folded into a pending tick or skipped
    // after a stall. Over the timer's life.
    std::uint64_t foldedTicks() const { return m_folded.load(std::memory_order_relaxed); }

    // What the waiting thread waits on: a high-resolution waitable timer, or
    // where Windows refuses one, a plain one with the system tick raised to
    // 1 ms (or left as it is, should even that be refused).
    enum class WaitKind { None, HighResolution, PlainOneMsTick, Plain };
    // Of the current run; None while stopped.
    WaitKind waitKind() const { return m_waitKind; }

private:
    static DWORD WINAPI threadMain(void *self);
    void run();
    void tick();
    void releaseWaitResources();

    HWND m_target;
    UINT m_message;
    WPARAM m_id;
    int m_intervalMs = 0;
    // In 100 ns units, those of waitable timers, on the performance
    // counter's clock, which never jumps as the wall clock may.
    Deadlines<std::int64_t> m_deadlines;
    HANDLE m_thread = nullptr;
    HANDLE m_stopEvent = nullptr;
    HANDLE m_waitTimer = nullptr;
    WaitKind m_waitKind = WaitKind::None;
    std::atomic<unsigned> m_state {0};
    std::atomic<std::uint64_t> m_folded {0};
};

} // namespace forms::win32
