// Checks the Win32 backend's precise timer under Wine, and measures it against SetTimer.
//
//   timer-check.exe [doctest options]      the checks
//   timer-check.exe --bench precise|settimer [--ticks N] [--interval MS] [--busy THREADS]
//   timer-check.exe --probe                what this system's waitable timers and Sleep do

// First: it keeps <windows.h> from defining min and max, and doctest.h
// includes <windows.h> too.
#include "runtime/win32/windows.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/win32/precisetimer.h"
#include "tests/wine/clock.h"

#include <mmsystem.h>

using forms::win32::PreciseTimer;

namespace {

constexpr UINT TickMessage = WM_APP + 1;
constexpr UINT_PTR SetTimerId = 1;

// The UI side as the runtime has it: a hidden message-only window whose
// procedure finds the timer named by a tick's WPARAM, acknowledges the tick
// and runs the handler. While holdingBack is set it behaves as a modal loop
// that holds ticks back: it notes the message and runs nothing.
class Ui
{
public:
    Ui()
    {
        static const ATOM windowClass = [] {
            WNDCLASSW wc {};
            wc.lpfnWndProc = &Ui::procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = ClassName;
            return RegisterClassW(&wc);
        }();
        (void)windowClass;
        m_hwnd = CreateWindowExW(0, ClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Ui() { DestroyWindow(m_hwnd); }

    Ui(const Ui &) = delete;
    Ui &operator=(const Ui &) = delete;

    HWND hwnd() const { return m_hwnd; }

    void add(PreciseTimer &timer, std::function<void()> handler)
    {
        m_timers[timer.id()] = {&timer, std::move(handler)};
    }
    void remove(const PreciseTimer &timer) { m_timers.erase(timer.id()); }

    // Runs the message loop for `ms` milliseconds, or until `done`.
    void pump(double ms, const std::function<bool()> &done = {})
    {
        const double end = nowMs() + ms;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            const double left = end - nowMs();
            if (left <= 0 || (done && done()))
                return;
            MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::ceil(left)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }

    // Takes this window's tick messages out of the queue and counts them;
    // `taken` keeps them for dispatch().
    int takeQueuedTicks()
    {
        MSG msg;
        while (PeekMessageW(&msg, m_hwnd, TickMessage, TickMessage, PM_REMOVE))
            m_taken.push_back(msg);
        return int(m_taken.size());
    }
    void dispatchTaken()
    {
        for (const MSG &msg : std::exchange(m_taken, {}))
            DispatchMessageW(&msg);
    }

    // Runs the held-back ticks, as the runtime does when a modal loop ends.
    void releaseHeldBack()
    {
        for (const WPARAM id : std::exchange(heldBack, {})) {
            const auto it = m_timers.find(id);
            if (it != m_timers.end() && it->second.timer->acknowledge())
                it->second.handler();
        }
    }

    std::function<void()> onWmTimer; // SetTimer's ticks, for comparison
    bool holdingBack = false;
    std::vector<WPARAM> heldBack;
    int staleTicks = 0;   // acknowledged but not due
    int unknownTicks = 0; // of no timer alive

private:
    static constexpr const wchar_t *ClassName = L"KorvoTimerCheck";

    struct Entry
    {
        PreciseTimer *timer;
        std::function<void()> handler;
    };

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto *ui = reinterpret_cast<Ui *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (ui && message == WM_TIMER) {
            // A precise timer that went over to SetTimer, as the backend's
            // windows take it; else the bare SetTimer of a comparison.
            const auto it = ui->m_timers.find(wParam);
            if (it != ui->m_timers.end() && it->second.timer->waitKind() == PreciseTimer::WaitKind::SystemTimer)
                it->second.handler();
            else if (ui->onWmTimer)
                ui->onWmTimer();
            return 0;
        }
        if (message != TickMessage || !ui)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        const auto it = ui->m_timers.find(wParam);
        if (it == ui->m_timers.end()) {
            ++ui->unknownTicks;
        } else if (ui->holdingBack) {
            ui->heldBack.push_back(wParam);
        } else if (it->second.timer->acknowledge()) {
            it->second.handler();
        } else {
            ++ui->staleTicks;
        }
        return 0;
    }

    HWND m_hwnd = nullptr;
    std::map<WPARAM, Entry> m_timers;
    std::vector<MSG> m_taken;
};

// When each tick was handled, and on which thread.
struct TickLog
{
    std::vector<double> times;
    bool allOnUiThread = true;
    const DWORD uiThread = GetCurrentThreadId();

    std::function<void()> handler()
    {
        return [this] {
            times.push_back(nowMs());
            allOnUiThread = allOnUiThread && GetCurrentThreadId() == uiThread;
        };
    }
    std::function<bool()> reached(size_t count)
    {
        return [this, count] { return times.size() >= count; };
    }
};

// The checks below hold however busy the machine is: a tick may come late,
// but never before its deadline, so the k-th tick (from 1) is handled at
// start + k * interval or after, and a burst would break that at once.
void checkNeverEarly(const TickLog &log, double start, double interval, size_t firstK = 1)
{
    for (size_t i = 0; i < log.times.size(); ++i) {
        CAPTURE(i);
        CHECK(log.times[i] - start >= double(firstK + i) * interval);
    }
}

// No tick lost: as many as the deadlines that passed, give or take the
// last few a busy machine may delay (a whole 100 ms of them).
void checkNoneLost(const TickLog &log, double start, double stopped, double interval)
{
    const double passed = std::floor((stopped - start) / interval);
    CHECK(double(log.times.size()) <= passed);
    CHECK(double(log.times.size()) >= passed - std::ceil(100.0 / interval));
}

} // namespace

TEST_CASE("ticks are handled on the UI thread, on the start + k * interval grid")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    const double start = nowMs();
    REQUIRE(timer.start(100));
    CHECK(timer.isActive());
    CHECK(timer.interval() == 100);
    CHECK(timer.waitKind() != PreciseTimer::WaitKind::None);
    ui.pump(3000, log.reached(5));
    timer.stop();

    REQUIRE(log.times.size() == 5);
    CHECK(log.allOnUiThread);
    checkNeverEarly(log, start, 100.0);
    // Each one before the next deadline: the grid holds, nothing skipped.
    for (size_t i = 0; i < log.times.size(); ++i)
        CHECK(log.times[i] - start < double(i + 2) * 100.0);
    CHECK(ui.staleTicks == 0);
    CHECK(timer.foldedTicks() == 0);
}

TEST_CASE("a UI thread blocked for a second finds one tick waiting, and no burst follows")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    const double start = nowMs();
    REQUIRE(timer.start(100));
    // Ends between two deadlines, so the next tick is not one that was due.
    Sleep(1050);
    CHECK(ui.takeQueuedTicks() == 1);
    ui.dispatchTaken();
    REQUIRE(log.times.size() == 1);
    // The ten deadlines of the stall gave one tick.
    CHECK(timer.foldedTicks() >= 9);
    ui.pump(3000, log.reached(4));
    timer.stop();

    // Then 1100, 1200 and 1300 ms: back on the grid, not shifted by the stall.
    REQUIRE(log.times.size() == 4);
    log.times.erase(log.times.begin());
    checkNeverEarly(log, start, 100.0, 11);
}

TEST_CASE("a tick that falls due during a long handler is delivered once after it")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    int queuedAfterHandler = -1;
    ui.add(timer, [&] {
        log.handler()();
        if (log.times.size() == 1) {
            Sleep(350);
            queuedAfterHandler = ui.takeQueuedTicks();
        }
    });
    const double start = nowMs();
    REQUIRE(timer.start(100));
    ui.pump(3000, log.reached(1));
    REQUIRE(log.times.size() == 1);
    // The deadlines of 200, 300 and 400 ms: one message.
    CHECK(queuedAfterHandler == 1);
    ui.dispatchTaken();
    CHECK(log.times.size() == 2);
    ui.pump(3000, log.reached(4));
    timer.stop();
    REQUIRE(log.times.size() == 4);
    log.times.erase(log.times.begin(), log.times.begin() + 2);
    checkNeverEarly(log, start, 100.0, 5);
}

TEST_CASE("a loop that holds ticks back gets one message, and the tick runs when it is released")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    const double start = nowMs();
    REQUIRE(timer.start(100));
    ui.holdingBack = true;
    ui.pump(350);
    ui.holdingBack = false;
    CHECK(ui.heldBack.size() == 1);
    ui.releaseHeldBack();
    CHECK(log.times.size() == 1);
    ui.pump(3000, log.reached(2));
    timer.stop();
    REQUIRE(log.times.size() == 2);
    log.times.erase(log.times.begin());
    checkNeverEarly(log, start, 100.0, 4);
}

TEST_CASE("stop() stops the ticks, even one already in the queue")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    REQUIRE(timer.start(50));
    ui.pump(3000, log.reached(2));
    // Ticks are posted while the UI thread is busy, then the timer stops.
    Sleep(120);
    timer.stop();
    CHECK_FALSE(timer.isActive());
    CHECK(timer.waitKind() == PreciseTimer::WaitKind::None);
    ui.pump(300);
    CHECK(log.times.size() == 2);
    CHECK(ui.staleTicks == 1);
}

TEST_CASE("a restart loses no tick and puts no second message beside one still queued")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    REQUIRE(timer.start(100));
    Sleep(180); // the first run's tick is queued, not handled
    const double restart = nowMs();
    REQUIRE(timer.start(20));
    Sleep(70); // the new run's deadlines of 20, 40 and 60 ms pass
    CHECK(ui.takeQueuedTicks() == 1);
    ui.dispatchTaken();
    // The queued message stood for them: one tick.
    CHECK(log.times.size() == 1);
    ui.pump(3000, log.reached(3));
    timer.stop();
    REQUIRE(log.times.size() == 3);
    log.times.erase(log.times.begin());
    checkNeverEarly(log, restart, 20.0, 4);
}

TEST_CASE("a timer whose wait fails goes on at its interval on SetTimer, and a restart waits precisely again")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    TickLog log;
    ui.add(timer, log.handler());
    REQUIRE(timer.start(100));
    ui.pump(3000, log.reached(2));
    REQUIRE(log.times.size() == 2);
    timer.failNextWait();
    // A thread that ended without a word would leave the sweep still here.
    ui.pump(3000, log.reached(13));
    REQUIRE(log.times.size() == 13);
    CHECK(timer.isActive());
    CHECK(timer.waitKind() == PreciseTimer::WaitKind::SystemTimer);
    CHECK(timer.interval() == 100);
    CHECK(log.allOnUiThread);
    // The same interval, on the system tick: none early by more than a
    // tick, none late by more than a few.
    for (size_t i = 4; i < log.times.size(); ++i) {
        CAPTURE(i);
        CHECK(log.times[i] - log.times[i - 1] > 100.0 - 16.0);
        CHECK(log.times[i] - log.times[i - 1] < 100.0 + 50.0);
    }
    timer.stop();
    CHECK_FALSE(timer.isActive());
    const size_t stopped = log.times.size();
    ui.pump(300);
    CHECK(log.times.size() == stopped);

    REQUIRE(timer.start(20));
    CHECK(timer.waitKind() != PreciseTimer::WaitKind::SystemTimer);
    ui.pump(3000, log.reached(stopped + 3));
    timer.stop();
    CHECK(log.times.size() == stopped + 3);
}

TEST_CASE("an interval below 1 ms is refused")
{
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    CHECK_FALSE(timer.start(0));
    CHECK_FALSE(timer.start(-100));
    CHECK_FALSE(timer.isActive());
}

TEST_CASE("three timers tick side by side, each at its own interval")
{
    Ui ui;
    std::vector<std::unique_ptr<PreciseTimer>> timers;
    std::vector<TickLog> logs(3);
    const double intervals[] = {30, 50, 70};
    const double start = nowMs();
    for (size_t i = 0; i < 3; ++i) {
        timers.push_back(std::make_unique<PreciseTimer>(ui.hwnd(), TickMessage));
        ui.add(*timers.back(), logs[i].handler());
        REQUIRE(timers.back()->start(int(intervals[i])));
    }
    CHECK(timers[0]->id() != timers[1]->id());
    CHECK(timers[1]->id() != timers[2]->id());
    ui.pump(3000, logs[2].reached(10));
    for (auto &timer : timers)
        timer->stop();
    const double stopped = nowMs();
    for (size_t i = 0; i < 3; ++i) {
        CAPTURE(intervals[i]);
        CHECK(logs[i].allOnUiThread);
        checkNeverEarly(logs[i], start, intervals[i]);
        checkNoneLost(logs[i], start, stopped, intervals[i]);
    }
}

TEST_CASE("the destructor returns at once, running or not, and a tick it leaves behind names no timer")
{
    Ui ui;
    {
        PreciseTimer idle(ui.hwnd(), TickMessage);
    }
    TickLog log;
    auto timer = std::make_unique<PreciseTimer>(ui.hwnd(), TickMessage);
    ui.add(*timer, log.handler());
    REQUIRE(timer->start(30));
    ui.pump(3000, log.reached(2));
    Sleep(70); // a tick is queued
    ui.remove(*timer);
    timer.reset();
    ui.pump(100);
    CHECK(log.times.size() == 2);
    CHECK(ui.unknownTicks == 1);

    // Far from its next deadline, so a destructor that waited for it shows.
    auto slow = std::make_unique<PreciseTimer>(ui.hwnd(), TickMessage);
    REQUIRE(slow->start(10000));
    Sleep(20);
    const double before = nowMs();
    slow.reset();
    CHECK(nowMs() - before < 1000.0);
}

namespace {

// Threads that spin, as a second process hogging a core would.
class Busy
{
public:
    explicit Busy(int threads)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.push_back(CreateThread(nullptr, 0, &Busy::spin, &m_stop, 0, nullptr));
    }
    ~Busy()
    {
        m_stop = true;
        for (HANDLE thread : m_threads) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }

private:
    static DWORD WINAPI spin(void *stop)
    {
        volatile unsigned long long sink = 0;
        while (!static_cast<std::atomic<bool> *>(stop)->load(std::memory_order_relaxed))
            sink = sink + 1;
        return 0;
    }

    std::atomic<bool> m_stop {false};
    std::vector<HANDLE> m_threads;
};

struct Figures
{
    double mean, p50, p90, p99, worst, drift;
};

// Of the intervals between consecutive handled ticks.
Figures figures(const std::vector<double> &times, double interval)
{
    std::vector<double> deviations;
    for (size_t i = 1; i < times.size(); ++i)
        deviations.push_back(std::fabs(times[i] - times[i - 1] - interval));
    std::sort(deviations.begin(), deviations.end());
    const size_t intervals = deviations.size();
    const double span = times.back() - times.front();
    auto percentile = [&](double p) { return deviations[size_t(std::ceil(p * double(intervals))) - 1]; };
    return {span / double(intervals), percentile(0.5),   percentile(0.9),
            percentile(0.99),         deviations.back(), span - double(intervals) * interval};
}

const char *waitKindName(PreciseTimer::WaitKind kind)
{
    switch (kind) {
    case PreciseTimer::WaitKind::HighResolution:
        return "high-resolution waitable timer";
    case PreciseTimer::WaitKind::PlainOneMsTick:
        return "plain waitable timer, 1 ms tick";
    case PreciseTimer::WaitKind::Plain:
        return "plain waitable timer";
    case PreciseTimer::WaitKind::SystemTimer:
        return "SetTimer, its thread failed";
    case PreciseTimer::WaitKind::None:
        break;
    }
    return "not running";
}

// The game's way: a GetMessage loop on the UI thread, handling each tick.
int bench(const std::string &which, int ticks, int interval, int busyThreads)
{
    Ui ui;
    std::vector<double> times;
    times.reserve(size_t(ticks) + 1);
    auto record = [&] {
        times.push_back(nowMs());
        if (times.size() == size_t(ticks) + 1)
            PostQuitMessage(0);
    };
    PreciseTimer timer(ui.hwnd(), TickMessage);
    std::string how;
    Busy busy(busyThreads);
    Sleep(200); // the busy threads get going
    const double started = nowMs();
    if (which == "precise") {
        ui.add(timer, record);
        if (!timer.start(interval))
            return 1;
        how = std::string("PreciseTimer, ") + waitKindName(timer.waitKind());
    } else if (which == "settimer") {
        ui.onWmTimer = record;
        if (!SetTimer(ui.hwnd(), SetTimerId, UINT(interval), nullptr))
            return 1;
        how = "SetTimer";
    } else {
        std::fprintf(stderr, "timer-check: --bench precise or settimer, not '%s'\n", which.c_str());
        return 2;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    timer.stop();
    const Figures f = figures(times, double(interval));
    // Lateness against the grid from the moment the timer was started.
    std::vector<double> late;
    for (size_t k = 0; k < times.size(); ++k)
        late.push_back(times[k] - started - double(k + 1) * interval);
    std::sort(late.begin(), late.end());
    std::printf(
        "%s, %d ticks of %d ms, %d busy thread(s): mean %.3f ms, |dev| p50 %.3f p90 %.3f p99 %.3f worst %.3f ms, "
        "drift %+.3f ms; after the deadline: p50 %.3f worst %.3f ms\n",
        how.c_str(), ticks, interval, busyThreads, f.mean, f.p50, f.p90, f.p99, f.worst, f.drift, late[late.size() / 2],
        late.back());
    return 0;
}

// How late a wait of a given length ends, for each way of waiting.
void probeWaits(const char *name, const std::function<void(double)> &wait)
{
    constexpr int Waits = 100;
    constexpr double WaitMs = 7.3; // not whole milliseconds, to show rounding
    std::vector<double> late;
    for (int i = 0; i < Waits; ++i) {
        const double before = nowMs();
        wait(WaitMs);
        late.push_back(nowMs() - before - WaitMs);
    }
    std::sort(late.begin(), late.end());
    double sum = 0;
    for (double l : late)
        sum += l;
    std::printf("  %-40s late by: min %+.3f, mean %+.3f, p99 %+.3f, worst %+.3f ms\n", name, late.front(), sum / Waits,
                late[Waits * 99 / 100 - 1], late.back());
}

void waitOn(HANDLE timer, double ms)
{
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(ms * 10'000);
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    WaitForSingleObject(timer, INFINITE);
}

// How long a message posted by another thread takes to reach a UI thread
// waiting in GetMessage: the second half of every tick's way.
void probePosting()
{
    constexpr int Posts = 100;
    struct Poster
    {
        DWORD uiThread;
        static DWORD WINAPI run(void *self)
        {
            const DWORD target = static_cast<Poster *>(self)->uiThread;
            for (int i = 0; i < Posts; ++i) {
                Sleep(7);
                LARGE_INTEGER count;
                QueryPerformanceCounter(&count);
                PostThreadMessageW(target, TickMessage, 0, LPARAM(count.QuadPart));
            }
            return 0;
        }
    } poster {GetCurrentThreadId()};
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists before the first post
    HANDLE thread = CreateThread(nullptr, 0, &Poster::run, &poster, 0, nullptr);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> late;
    while (late.size() < size_t(Posts) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        if (msg.message == TickMessage)
            late.push_back(double(count.QuadPart - msg.lParam) * 1000.0 / double(frequency.QuadPart));
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    std::sort(late.begin(), late.end());
    std::printf("PostMessage to a UI thread in GetMessage, %d posts: p50 %.3f, p99 %.3f, worst %.3f ms\n", Posts,
                late[late.size() / 2], late[late.size() * 99 / 100 - 1], late.back());
}

// What a start() and stop() cost: each makes and joins the timer's thread.
void probeStartStop()
{
    constexpr int Cycles = 100;
    Ui ui;
    PreciseTimer timer(ui.hwnd(), TickMessage);
    const double before = nowMs();
    for (int i = 0; i < Cycles; ++i) {
        timer.start(100);
        timer.stop();
    }
    std::printf("start() and stop(), %d times: %.3f ms each\n", Cycles, (nowMs() - before) / Cycles);
}

int probe()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::printf("performance counter: %lld Hz\n", static_cast<long long>(frequency.QuadPart));
    constexpr DWORD access = TIMER_MODIFY_STATE | SYNCHRONIZE;
    HANDLE high = CreateWaitableTimerExW(nullptr, nullptr, 0x00000002, access);
    const DWORD error = high ? 0 : GetLastError();
    std::printf("CreateWaitableTimerExW(CREATE_WAITABLE_TIMER_HIGH_RESOLUTION): %s (error %lu)\n",
                high ? "accepted" : "refused", error);
    HANDLE plain = CreateWaitableTimerExW(nullptr, nullptr, 0, access);
    std::printf("waits of 7.3 ms, 100 each:\n");
    if (high)
        probeWaits("high-resolution waitable timer", [&](double ms) { waitOn(high, ms); });
    probeWaits("plain waitable timer", [&](double ms) { waitOn(plain, ms); });
    probeWaits("Sleep(ceil)", [](double ms) { Sleep(DWORD(std::ceil(ms))); });
    const MMRESULT period = timeBeginPeriod(1);
    std::printf("timeBeginPeriod(1): %s\n", period == TIMERR_NOERROR ? "accepted" : "refused");
    probeWaits("plain waitable timer, timeBeginPeriod(1)", [&](double ms) { waitOn(plain, ms); });
    if (period == TIMERR_NOERROR)
        timeEndPeriod(1);
    if (high)
        CloseHandle(high);
    CloseHandle(plain);
    probePosting();
    probeStartStop();
    return 0;
}

int intArgument(int argc, char **argv, const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return fallback;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--probe") == 0)
            return probe();
        if (std::strcmp(argv[i], "--bench") == 0 && i + 1 < argc)
            return bench(argv[i + 1], intArgument(argc, argv, "--ticks", 300),
                         intArgument(argc, argv, "--interval", 100), intArgument(argc, argv, "--busy", 0));
    }
    doctest::Context context(argc, argv);
    return context.run();
}
