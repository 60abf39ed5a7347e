// Starting the forms runtime on Qt: a desktop to show windows on, or one
// clear line saying there is none.

#include "runtime/application.h"
#include "runtime/backend.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace forms::qt {

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

// The libraries under Qt (libwayland, libxcb) write their own complaints
// straight to stderr while the display opens. They are held in memory like
// Qt's warnings, never in a file, and shown only once the display is open.
class HeldStderr
{
public:
    HeldStderr()
    {
#ifdef __linux__
        m_held = memfd_create("korvo-stderr", MFD_CLOEXEC);
        if (m_held < 0)
            return;
        std::fflush(stderr);
        m_real = dup(STDERR_FILENO);
        if (m_real < 0 || dup2(m_held, STDERR_FILENO) < 0) {
            close(m_held);
            m_held = -1;
        }
#endif
    }
    HeldStderr(const HeldStderr &) = delete;
    HeldStderr &operator=(const HeldStderr &) = delete;
    ~HeldStderr()
    {
        release();
    }

    // Gives stderr back and returns what was written to it meanwhile.
    std::string release()
    {
        std::string text;
#ifdef __linux__
        if (m_held < 0)
            return text;
        std::fflush(stderr);
        dup2(m_real, STDERR_FILENO);
        char buffer[4096];
        for (off_t at = 0;;) {
            const ssize_t n = pread(m_held, buffer, sizeof buffer, at);
            if (n <= 0)
                break;
            text.append(buffer, std::size_t(n));
            at += n;
        }
        close(m_held);
        close(m_real);
        m_held = m_real = -1;
#endif
        return text;
    }

private:
    int m_held = -1;
    int m_real = -1;
};

HeldStderr *heldStderr = nullptr;
std::string programName; // for the one line a player reads

void onQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // Qt gives up on a display it cannot reach with a fatal message after a
    // few warnings; say it in one line and leave without an abort or a core
    // dump. The warnings are held until we know the display opened.
    if (type == QtFatalMsg) {
        if (heldStderr)
            heldStderr->release(); // what the libraries said is of no use to a player
        const char *display = std::getenv("DISPLAY");
        std::fprintf(stderr, "%s necesita una sesión de escritorio: no se pudo abrir la pantalla%s%s.\n",
                     programName.c_str(), display && *display ? " " : "", display ? display : "");
        std::_Exit(2);
    }
    heldMessages() << message;
}

} // namespace

} // namespace forms::qt

namespace forms::backend {

using namespace qt;

int run(int argc, char *argv[], const Program &program, const std::function<int()> &runForms)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "%s necesita una sesión de escritorio: no hay pantalla (ni DISPLAY ni WAYLAND_DISPLAY).\n",
                     program.name.c_str());
        return 2;
    }
    programName = program.name;
    HeldStderr held;
    heldStderr = &held;
    const QtMessageHandler previous = qInstallMessageHandler(onQtMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    heldStderr = nullptr;
    std::fputs(held.release().c_str(), stderr);
    for (const QString &message : std::as_const(heldMessages()))
        std::fprintf(stderr, "%s\n", qPrintable(message));

    const AppInfo &info = App();
    QApplication::setApplicationName(QString::fromStdString(program.name));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(info.Major).arg(info.Minor).arg(info.Revision));
    // Wayland matches windows to the desktop entry (and so to its icon) by
    // this name.
    QGuiApplication::setDesktopFileName(QString::fromStdString(program.desktopId));
    return runForms();
}

} // namespace forms::backend
