// Preloaded (LD_PRELOAD) into a program under measurement: writes the
// monotonic time at which its first frame was painted and handed to the
// window system, and the window it belongs to, to the file descriptor named in
// KORVO_PROBE_FD. The program itself stays as built.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class FirstPaint : public QObject
{
public:
    FirstPaint(int fd, QObject *parent) : QObject(parent), m_fd(fd) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_fd < 0 || m_pending || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        // The first paint event opens the first frame; the frame is finished
        // and flushed once control is back in the event loop.
        m_pending = true;
        m_window = static_cast<QWidget *>(watched)->window()->objectName().toUtf8();
        QTimer::singleShot(0, this, &FirstPaint::report);
        return false;
    }

private:
    void report()
    {
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[256];
        const int length = std::snprintf(line, sizeof line, "%lld %s\n",
                                         static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                         m_window.isEmpty() ? "-" : m_window.constData());
        if (length > 0 && write(m_fd, line, std::size_t(length)) < 0)
            std::perror("paint probe");
        close(m_fd);
        m_fd = -1;
        QCoreApplication::instance()->removeEventFilter(this);
    }

    int m_fd;
    bool m_pending = false;
    QByteArray m_window;
};

void installProbe()
{
    const char *fd = std::getenv("KORVO_PROBE_FD");
    if (fd && *fd)
        QCoreApplication::instance()->installEventFilter(new FirstPaint(std::atoi(fd), QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
