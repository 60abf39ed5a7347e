// Korvo Game: starts the forms runtime on the start-up form.

#include "application.h"
#include "frmabout.h"
#include "frmsplash.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

bool hasDisplay()
{
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

QStringList &heldMessages()
{
    static QStringList messages;
    return messages;
}

void onQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Qt gives up on a display it cannot reach with a fatal message after a
    // few warnings; say it in one line and leave without an abort or a core
    // dump. The warnings are held until we know the display opened.
    if (type == QtFatalMsg) {
        const char *display = std::getenv("DISPLAY");
        std::fprintf(stderr, "Korvo Game necesita una sesión de escritorio: no se pudo abrir la pantalla%s%s.\n",
                     display && *display ? " " : "", display ? display : "");
        std::_Exit(2);
    }
    heldMessages() << message;
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
    for (const QString &message : std::as_const(heldMessages()))
        std::fprintf(stderr, "%s\n", qPrintable(message));
    QApplication::setApplicationName(QStringLiteral("Korvo Game"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.1"));
    // Wayland matches windows to the desktop entry (and so to its icon) by
    // this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVO_APP_ID));

    auto &runtime = forms::Application::instance();
    declareAboutDialog();
    return runtime.run([] { forms::instance<frmSplash>().Show(); });
}
