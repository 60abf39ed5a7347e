// Freeze accuracy: with the other cores kept busy, 1,000 presses of "Tirar" at
// random moments. Each press must freeze the ball on the stop that was on
// screen when the press was handled, and the shot is judged on the positions
// drawn.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "game/form1.h"
#include "measure.h"
#include "runtime/qt/widgets.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <functional>
#include <random>

namespace {

constexpr int DefaultPresses = 1000;

// Where each ball was when it was last painted: what the player sees.
class DrawnPositions : public QObject
{
public:
    DrawnPositions(QWidget *horizontal, QWidget *vertical) : m_horizontal(horizontal), m_vertical(vertical)
    {
        horizontal->installEventFilter(this);
        vertical->installEventFilter(this);
        left = horizontal->x();
        top = vertical->y();
    }

    int left; // pixels
    int top;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (watched == m_horizontal)
                left = m_horizontal->x();
            else if (watched == m_vertical)
                top = m_vertical->y();
        }
        return false;
    }

private:
    QWidget *m_horizontal;
    QWidget *m_vertical;
};

int pixels(float twips)
{
    return forms::toPixels(twips, forms::StandardDpi);
}

} // namespace

int main(int argc, char *argv[])
{
    // bench_freeze [SEED [PRESSES]]
    const unsigned seed = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 10)) : 7u;
    const int wanted = argc > 2 ? std::atoi(argv[2]) : DefaultPresses;
    const double load = bench::loadAverage();
    // Every core but the one the game gets is kept busy.
    std::vector<std::unique_ptr<bench::CpuHog>> hogs;
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    for (long i = 0; i < std::max(1L, cores - 1); ++i)
        hogs.push_back(std::make_unique<bench::CpuHog>());

    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1"); // one logical pixel per device pixel
    QApplication app(argc, argv);
    auto &runtime = forms::Application::instance();
    Form1 &game = forms::instance<Form1>();
    game.Show();
    QWidget *window = forms::qt::window(game);
    if (!QTest::qWaitForWindowActive(window)) {
        std::fprintf(stderr, "freeze: the game window did not become active\n");
        return 1;
    }
    DrawnPositions drawn(forms::qt::widget(game.Picture2), forms::qt::widget(game.Picture1));

    int presses = 0, horizontal = 0, vertical = 0, mismatches = 0, shots = 0;
    float frozenLeft = game.Picture2.left();
    runtime.setMessageBoxHook([&](const std::string &, const std::string &) { ++shots; });
    game.cmdTirar.onClick([&] {
        const int seenLeft = drawn.left, seenTop = drawn.top;
        const bool sweepingAcross = game.Timer1.enabled();
        const bool sweepingDown = !sweepingAcross && game.Timer2.enabled();
        game.cmdTirar_Click();
        ++presses;
        if (sweepingAcross) {
            ++horizontal;
            frozenLeft = game.Picture2.left();
            mismatches += pixels(frozenLeft) != seenLeft;
        } else if (sweepingDown) {
            ++vertical;
            // Judged on both frozen balls: each must be where it was drawn,
            // and the first must not have moved since its own press.
            mismatches += pixels(game.Picture1.top()) != seenTop || pixels(game.Picture2.left()) != seenLeft
                          || game.Picture2.left() != frozenLeft;
        }
    });

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 299); // ms: any phase of the 100 ms tick
    std::function<void()> next = [&] {
        if (presses >= wanted) {
            QCoreApplication::exit(0); // quit() would ask the windows to close first
            return;
        }
        QTimer::singleShot(pause(random), Qt::PreciseTimer, [&] {
            QTest::keyClick(window, Qt::Key_Return);
            if (!game.Timer1.enabled() && !game.Timer2.enabled())
                game.cmdReset.click(); // judged: the next shot
            next();
        });
    };
    next();
    app.exec();
    runtime.reset();

    std::printf("freeze: %d presses of \"Tirar\" at random moments, %zu other core(s) busy: %d mismatches between "
                "the stop drawn and the stop judged (%d horizontal, %d vertical freezes, %d shots judged) | goal 0: %s "
                "(load %.2f, seed %u)\n",
                presses, hogs.size(), mismatches, horizontal, vertical, shots, mismatches == 0 ? "met" : "MISSED", load,
                seed);
    return 0;
}
