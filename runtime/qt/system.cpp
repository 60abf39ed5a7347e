#include "runtime/system.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace forms {

namespace {

bool hasNul(const std::string &text)
{
    return text.find('\0') != std::string::npos;
}

QString fromLocal(const std::string &text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

// QProcess gives the started program every descriptor that is not marked
// close-on-exec; nothing the game has open is the program's business.
void keepOpenFilesFromChildren()
{
#if defined(Q_OS_LINUX) && defined(CLOSE_RANGE_CLOEXEC)
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
#endif
#ifdef Q_OS_UNIX
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (limit > 0 && limit < 65536 ? limit : 65536); ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags != -1 && !(flags & FD_CLOEXEC))
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
#endif
}

} // namespace

std::string Dir(const std::string &path)
{
    if (path.empty() || hasNul(path))
        return {};
    const QFileInfo file(fromLocal(path));
    return file.isFile() ? QFile::encodeName(file.fileName()).toStdString() : std::string();
}

bool Shell(const std::string &path)
{
    // A NUL would start a shorter path than the one given.
    if (path.empty() || hasNul(path))
        return false;
    keepOpenFilesFromChildren();
    return QProcess::startDetached(fromLocal(path), {});
}

std::string findProgram(const std::vector<std::string> &names, const std::string &searchPath)
{
    QStringList folders;
    for (const QString &folder : fromLocal(searchPath).split(QDir::listSeparator())) {
        if (QDir::isAbsolutePath(folder) && !folder.contains(QChar(0)))
            folders << folder;
    }
    for (const std::string &name : names) {
        if (name.empty() || name.find('/') != std::string::npos || hasNul(name))
            continue;
        const QString found = QStandardPaths::findExecutable(fromLocal(name), folders);
        if (!found.isEmpty())
            return QFile::encodeName(found).toStdString();
    }
    return {};
}

} // namespace forms
