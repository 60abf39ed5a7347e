// The precise periodic timer of the Win32 backend: a thread that waits for each deadline and posts the tick.
#include "runtime/win32/precisetimer.h"

// <windows.h> leaves timeBeginPeriod out under WIN32_LEAN_AND_MEAN.
#include <mmsystem.h>

namespace forms::win32 {

namespace {

// Windows 10 1803 and later; MinGW-w64's headers do not name it yet.
constexpr DWORD HighResolutionFlag = 0x00000002;

// m_state: a tick message of this timer is in the target's queue...
constexpr unsigned Queued = 1;
// ...and a tick fell due since the UI thread last acknowledged one.
constexpr unsigned Due = 2;

constexpr std::int64_t HundredNsPerSecond = 10'000'000;
constexpr std::int64_t HundredNsPerMs = 10'000;

std::atomic<WPARAM> nextTimerId {1};

std::int64_t performanceFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// The performance counter in 100 ns units; split so that the product cannot
// overflow however long the machine has been up.
std::int64_t now()
{
    static const std::int64_t frequency = performanceFrequency();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart / frequency * HundredNsPerSecond
           + count.QuadPart % frequency * HundredNsPerSecond / frequency;
}

} // namespace

PreciseTimer::PreciseTimer(HWND target, UINT message)
    : m_target(target),
      m_message(message),
      m_id(nextTimerId.fetch_add(1))
{ }

PreciseTimer::~PreciseTimer()
{
    stop();
}

bool PreciseTimer::start(int intervalMs)
{
    stop();
    if (intervalMs < 1)
        return false;

    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A high-resolution timer wakes within about half a millisecond without
    // raising the system-wide tick rate. Older Windows refuses the flag; a
    // plain timer there wakes on the tick, so the tick goes to 1 ms while
    // this timer runs, as timeBeginPeriod asks. Wine 8 takes the flag and
    // ignores it: its waits end within a millisecond (its server counts in
    // whole milliseconds) with the flag or without, 1 ms tick or not.
    constexpr DWORD access = TIMER_MODIFY_STATE | SYNCHRONIZE;
    m_waitTimer = CreateWaitableTimerExW(nullptr, nullptr, HighResolutionFlag, access);
    m_waitKind = WaitKind::HighResolution;
    if (!m_waitTimer) {
        m_waitTimer = CreateWaitableTimerExW(nullptr, nullptr, 0, access);
        m_waitKind = timeBeginPeriod(1) == TIMERR_NOERROR ? WaitKind::PlainOneMsTick : WaitKind::Plain;
    }
    if (!m_stopEvent || !m_waitTimer) {
        releaseWaitResources();
        return false;
    }

    m_intervalMs = intervalMs;

    // Taken before the thread exists, so however long Windows takes to
    // start it, the deadlines count from the call.
    m_deadlines.start(now(), std::int64_t(intervalMs) * HundredNsPerMs);
    // It needs next to no stack: only reserve a little.
    m_thread =
        CreateThread(nullptr, 64 * 1024, &PreciseTimer::threadMain, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!m_thread) {
        releaseWaitResources();
        return false;
    }
    // It only waits and posts, so running above the UI and the game takes
    // nothing from them, and a busy machine does not make it late. (Wine 8
    // does not pass it on: the thread stays at the process's niceness.)
    SetThreadPriority(m_thread, THREAD_PRIORITY_HIGHEST);
    return true;
}

void PreciseTimer::stop()
{
    if (m_thread) {
        // The thread never waits for the UI thread (PostMessage returns at
        // once), so this join cannot deadlock with it.
        SetEvent(m_stopEvent);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    releaseWaitResources();
    // A tick message may still be queued. It stays marked as queued, so a
    // new run does not post a second one beside it, but is no longer due.
    m_state.fetch_and(~Due);
}

bool PreciseTimer::acknowledge()
{
    // Clearing the queued mark first lets a tick that falls due while the
    // handler runs be posted again, and so delivered once after it.
    return (m_state.exchange(0) & Due) != 0;
}

void PreciseTimer::releaseWaitResources()
{
    if (m_waitTimer) {
        CloseHandle(m_waitTimer);
        m_waitTimer = nullptr;
    }
    if (m_stopEvent) {
        CloseHandle(m_stopEvent);
        m_stopEvent = nullptr;
    }
    if (m_waitKind == WaitKind::PlainOneMsTick)
        timeEndPeriod(1);
    m_waitKind = WaitKind::None;
}

DWORD WINAPI PreciseTimer::threadMain(void *self)
{
    static_cast<PreciseTimer *>(self)->run();
    return 0;
}

void PreciseTimer::run()
{
    const HANDLE handles[] = {m_stopEvent, m_waitTimer};
    for (;;) {
        const std::int64_t deadline = m_deadlines.next();
        const std::int64_t current = now();
        if (current < deadline) {
            // Relative (negative) due time: counted on the same steady clock
            // as the deadline, where an absolute one follows the wall clock.
            LARGE_INTEGER due;
            due.QuadPart = current - deadline;
            if (!SetWaitableTimer(m_waitTimer, &due, 0, nullptr, nullptr, FALSE))
                return;
            // The stop event comes first, so it wins when both are set.
            if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                return;
            // The timer's clock and the performance counter may disagree by
            // a hair: look at the clock again rather than trust the wake.
            continue;
        }
        tick();
        // Those missed in a stall are folded into the tick just posted.
        m_folded.fetch_add(std::uint64_t(m_deadlines.pass(current)), std::memory_order_relaxed);
    }
}

void PreciseTimer::tick()
{
    const unsigned before = m_state.fetch_or(Queued | Due);
    if (before & Queued) {
        m_folded.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    // Fails when the queue is full or the window is gone: then nothing is
    // queued, and the next deadline tries again.
    if (!PostMessageW(m_target, m_message, m_id, 0))
        m_state.fetch_and(~Queued);
}

} // namespace forms::win32
