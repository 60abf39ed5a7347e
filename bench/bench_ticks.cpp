// Tick timing: Form1's sweep for 300 ticks on the offscreen platform, each
// tick stamped as its handler runs, beside a default (coarse) 100 ms QTimer
// measured in the same run.

#include "runtime/application.h"
#include "game/form1.h"
#include "measure.h"

#include <QApplication>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Ticks = 300;
constexpr double IntervalMs = 100.0;

struct Timing
{
    double mean;
    double p99;
    double worst;
    double drift;
};

Timing timing(std::int64_t started, const std::vector<std::int64_t> &stamps)
{
    std::vector<double> intervals, deviations;
    std::int64_t previous = started;
    for (std::int64_t stamp : stamps) {
        intervals.push_back(bench::toMs(stamp - previous));
        deviations.push_back(std::abs(intervals.back() - IntervalMs));
        previous = stamp;
    }
    return {bench::mean(intervals), bench::percentile(deviations, 99), bench::percentile(deviations, 100),
            bench::toMs(stamps.back() - started) - Ticks * IntervalMs};
}

} // namespace

int main(int argc, char *argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double load = bench::loadAverage();
    forms::Application::instance();
    Form1 &game = forms::instance<Form1>();
    game.Show();

    std::vector<std::int64_t> precise, coarse;
    precise.reserve(Ticks);
    coarse.reserve(Ticks);
    const auto finishWhenDone = [&] {
        if (precise.size() >= Ticks && coarse.size() >= Ticks)
            QCoreApplication::exit(0); // quit() would ask the windows to close first
    };

    // The sweep's own handler, stamped as the dispatch point runs it.
    game.Timer1.setEnabled(false);
    game.Timer1.onTimer([&] {
        precise.push_back(bench::nowNs());
        game.Timer1_Timer();
        if (precise.size() == Ticks)
            game.Timer1.setEnabled(false);
        finishWhenDone();
    });
    QTimer plain; // Qt's default: a coarse timer
    plain.setInterval(int(IntervalMs));
    QObject::connect(&plain, &QTimer::timeout, [&] {
        coarse.push_back(bench::nowNs());
        if (coarse.size() == Ticks)
            plain.stop();
        finishWhenDone();
    });

    QTimer::singleShot(500, [&] { // let the window settle first
        const std::int64_t preciseStart = bench::nowNs();
        game.Timer1.setEnabled(true);
        const std::int64_t coarseStart = bench::nowNs();
        plain.start();
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [&, preciseStart, coarseStart] {
            const Timing p = timing(preciseStart, precise);
            const Timing c = timing(coarseStart, coarse);
            const bool met = std::abs(p.mean - IntervalMs) <= 0.1 && p.p99 <= 2.0 && std::abs(p.drift) <= 5.0;
            std::printf("ticks: Form1 sweep mean %.3f ms, p99 |dev| %.2f ms, worst %.2f ms, drift %+.2f ms over %d "
                        "ticks | default QTimer mean %.3f ms, p99 |dev| %.2f ms, worst %.2f ms, drift %+.2f ms | "
                        "goal mean 100.0+-0.1, p99 <= 2, |drift| <= 5: %s (load %.2f)\n",
                        p.mean, p.p99, p.worst, p.drift, Ticks, c.mean, c.p99, c.worst, c.drift, met ? "met" : "MISSED",
                        load);
        });
    });
    app.exec();
    forms::Application::instance().reset();
    return 0;
}
