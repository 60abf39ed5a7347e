// Cost of running: the CPU time the game takes per minute of sweeping in a
// real window (under Xvfb), against the bare sweep for the same minute; then
// what each tick repaints, logged from paint events inside this benchmark.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "game/form1.h"
#include "measure.h"

#include <QApplication>
#include <QPaintEvent>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr int Seconds = 60;
constexpr int LoggedTicks = 48; // three full sweeps

qint64 area(const QRegion &region)
{
    qint64 total = 0;
    for (const QRect &rect : region)
        total += qint64(rect.width()) * rect.height();
    return total;
}

// Collects the region every widget of one window paints, in window
// coordinates.
class PaintLog : public QObject
{
public:
    explicit PaintLog(QWidget *window) : m_window(window) { }

    QRegion painted;
    int events = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->window() == m_window) {
                const QRegion region = static_cast<QPaintEvent *>(event)->region();
                painted += region.translated(widget->mapTo(m_window, QPoint(0, 0)));
                ++events;
            }
        }
        return false;
    }

private:
    QWidget *m_window;
};

struct Repaints
{
    double meanArea = 0;
    double meanExpected = 0;
    double meanEvents = 0;
    qint64 largest = 0;
    int beyond = 0; // ticks that painted outside the ball's old and new rectangles
    qint64 window = 0;
};

Repaints logRepaints(int argc, char *argv[])
{
    QApplication app(argc, argv);
    forms::Application::instance();
    Form1 &game = forms::instance<Form1>();
    game.Show();
    QWidget *window = forms::qt::window(game);
    PaintLog log(window);
    QWidget *ball = forms::qt::widget(game.Picture2);

    std::vector<qint64> areas, expected;
    std::vector<int> events;
    QRegion expect;
    bool logging = false;
    bool armed = false; // the tick now closing began while logging
    Repaints result;
    const auto closeTick = [&] {
        if (!armed)
            return;
        areas.push_back(area(log.painted));
        expected.push_back(area(expect));
        events.push_back(log.events);
        if (!(log.painted - expect).isEmpty())
            ++result.beyond;
    };
    game.Timer1.onTimer([&] {
        closeTick();
        if (int(areas.size()) == LoggedTicks) {
            QCoreApplication::exit(0); // quit() would ask the windows to close first
            return;
        }
        armed = logging;
        log.painted = QRegion();
        log.events = 0;
        const QRect before(ball->mapTo(window, QPoint(0, 0)), ball->size());
        game.Timer1_Timer();
        expect = QRegion(before) + QRect(ball->mapTo(window, QPoint(0, 0)), ball->size());
    });
    // The first second shows the window and its first frames; then every tick
    // is logged.
    QTimer::singleShot(1000, [&] {
        app.installEventFilter(&log);
        logging = true;
    });
    app.exec();
    app.removeEventFilter(&log);

    for (std::size_t i = 0; i < areas.size(); ++i) {
        result.meanArea += double(areas[i]) / double(areas.size());
        result.meanExpected += double(expected[i]) / double(areas.size());
        result.meanEvents += double(events[i]) / double(areas.size());
        result.largest = std::max(result.largest, areas[i]);
    }
    result.window = qint64(window->width()) * window->height();
    forms::Application::instance().reset();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s GAME BARE_SWEEP [SECONDS]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 3 ? std::atoi(argv[3]) : Seconds;
    const double load = bench::loadAverage();

    // Both sweep on the same display through the same minute.
    const pid_t game = bench::spawn({argv[1]});
    const pid_t bare = bench::spawn({argv[2]});
    std::this_thread::sleep_for(std::chrono::seconds(3)); // the game leaves its splash after 1.5 s
    const double game0 = bench::cpuSeconds(game), bare0 = bench::cpuSeconds(bare);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double game1 = bench::cpuSeconds(game), bare1 = bench::cpuSeconds(bare);
    const bool alive = kill(game, 0) == 0 && kill(bare, 0) == 0 && game0 >= 0 && bare0 >= 0;
    bench::stopAndReap(game);
    bench::stopAndReap(bare);
    if (!alive) {
        std::fprintf(stderr, "cost: a program under measurement ended early\n");
        return 1;
    }
    const double perMinute = 60.0 / seconds;
    const double gameCpu = (game1 - game0) * perMinute, bareCpu = (bare1 - bare0) * perMinute;
    const double share = gameCpu / 60.0 * 100.0;

    const Repaints r = logRepaints(argc, argv);
    const bool met = gameCpu <= 1.5 * bareCpu && share < 0.5;
    std::printf("cost: CPU per minute of sweeping: game %.2f s (%.2f%% of a core) vs bare sweep %.2f s (%.2fx) | "
                "repaint per tick: %.1f paint events, %.0f px (ball's old + new rectangles %.0f px), largest %lld px = "
                "%.1f%% of the window, %d of %d ticks beyond the ball's rectangles | goal <= 1.5x, < 0.5%%: %s "
                "(load %.2f)\n",
                gameCpu, share, bareCpu, bareCpu > 0 ? gameCpu / bareCpu : 0.0, r.meanEvents, r.meanArea,
                r.meanExpected, static_cast<long long>(r.largest), 100.0 * double(r.largest) / double(r.window),
                r.beyond, LoggedTicks, met ? "met" : "MISSED", load);
    return 0;
}
