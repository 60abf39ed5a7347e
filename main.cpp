// Korvo Game: starts the forms runtime on the start-up form.

#include "application.h"
#include "frmsplash.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDisplay()
{
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

void onQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Qt gives up on a display it cannot reach with a fatal message; say it in
    // one line and leave without an abort or a core dump.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Korvo Game: no se pudo abrir la pantalla (%s)\n", qPrintable(message.section('\n', 0, 0)));
        std::_Exit(2);
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "Korvo Game necesita una sesión de escritorio: no hay pantalla (ni DISPLAY ni WAYLAND_DISPLAY).\n");
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(onQtMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("Korvo Game"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.1"));

    auto &runtime = forms::Application::instance();
    return runtime.run([] { forms::instance<frmSplash>().Show(); });
}
