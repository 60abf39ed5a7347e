// The least any version of the game can do while it runs: one 69 x 73 picture
// with a transparent background jumping through nine stops every 100 ms on a
// window of the game's size. Plain Qt Widgets, the yardstick for the cost of
// running.

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("bare sweep"));
    window.setFixedSize(690, 524);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    const qreal ratio = window.devicePixelRatioF();
    QPixmap ball(QSize(69, 73) * ratio);
    ball.setDevicePixelRatio(ratio);
    ball.fill(Qt::transparent);
    {
        QPainter painter(&ball);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0xF7862D));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0.5, 2.5, 68, 68));
    }
    auto *picture = new QLabel(&window);
    picture->setPixmap(ball);
    picture->setGeometry(40, 128, 69, 73);

    // The horizontal stops in pixels, shown 0, 1, ... 8, 7, ... 1, 0, 1 ...
    constexpr std::array<int, 9> stops {40, 67, 100, 133, 167, 200, 233, 267, 300};
    int step = 0;
    int direction = 1;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        picture->move(stops[std::size_t(step)], 128);
        if (step + direction < 0 || step + direction > 8)
            direction = -direction;
        step += direction;
    });
    timer.start();

    window.show();
    return app.exec();
}
