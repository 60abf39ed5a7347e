// The least a Qt Widgets program does to open a window: the yardstick for the
// game's start-up time and memory. Given a text, it shows that one line in
// the window instead, to tell what drawing any text at all costs.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(492, 283); // the splash's size
    if (argc > 1)
        (new QLabel(QString::fromLocal8Bit(argv[1]), &window))->move(160, 70);
    window.show();
    return app.exec();
}
