// The launcher's services on Linux and other POSIX systems, on what Qt
// already gives: finding an executable on a search path and starting a
// detached process.

#include "screens/sysinfoposix.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace sysinfo {

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
#if defined(__linux__) && defined(CLOSE_RANGE_CLOEXEC)
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
#endif
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (limit > 0 && limit < 65536 ? limit : 65536); ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags != -1 && !(flags & FD_CLOEXEC))
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

// The file name of the file at `path`, or empty text when no file is there.
// No wildcards: the path names one file exactly.
std::string Dir(const std::string &path)
{
    if (path.empty() || hasNul(path))
        return {};
    const QFileInfo file(fromLocal(path));
    return file.isFile() ? QFile::encodeName(file.fileName()).toStdString() : std::string();
}

// Starts exactly the program at `path`, without arguments and without a
// shell; does not wait for it. It inherits none of the game's open files.
bool Shell(const std::string &path)
{
    // A NUL would start a shorter path than the one given.
    if (path.empty() || hasNul(path))
        return false;
    keepOpenFilesFromChildren();
    return QProcess::startDetached(fromLocal(path), {});
}

// The first of `names` that is an executable file in a folder of
// `searchPath` ($PATH form). Relative and empty folders are never searched:
// they would depend on the game's working directory.
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

} // namespace

PosixPlatform::PosixPlatform() : m_tools(defaultTools())
{
    const char *searchPath = std::getenv("PATH");
    m_searchPath = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
}

PosixPlatform::PosixPlatform(std::vector<std::string> tools, std::string searchPath)
    : m_tools(std::move(tools)),
      m_searchPath(std::move(searchPath))
{ }

std::vector<std::string> PosixPlatform::defaultTools()
{
    return {"hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"};
}

std::string PosixPlatform::findTool() const
{
    return findProgram(m_tools, m_searchPath);
}

Status PosixPlatform::regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t /*options*/,
                                   std::uint32_t /*access*/, KeyHandle &handle)
{
    // Only the tool's full-path key exists here, and only with a tool installed.
    if (root != HKeyLocalMachine || keyName != MsinfoKey)
        return ErrorFileNotFound;
    std::string tool = findTool();
    if (tool.empty())
        return ErrorFileNotFound;

    const KeyHandle opened = m_nextHandle++;
    m_openKeys.emplace(opened, std::move(tool));
    handle = opened;
    return ErrorSuccess;
}

Status PosixPlatform::regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                      unsigned char *data, std::uint32_t &size)
{
    const auto open = m_openKeys.find(handle);
    if (open == m_openKeys.end())
        return ErrorInvalidHandle;
    if (valueName != MsinfoPathValue)
        return ErrorFileNotFound;

    const std::string &tool = open->second;
    if (tool.size() >= UINT32_MAX)
        return ErrorMoreData;
    // A registry string carries its terminating NUL.
    const auto needed = static_cast<std::uint32_t>(tool.size() + 1);
    type = RegSz;
    if (data == nullptr) {
        size = needed;
        return ErrorSuccess;
    }
    if (size < needed) {
        size = needed;
        return ErrorMoreData;
    }
    std::memcpy(data, tool.c_str(), needed);
    size = needed;
    return ErrorSuccess;
}

Status PosixPlatform::regCloseKey(KeyHandle handle)
{
    return m_openKeys.erase(handle) == 1 ? ErrorSuccess : ErrorInvalidHandle;
}

std::string PosixPlatform::dir(const std::string &pattern)
{
    // '\' is an ordinary character here: "folder\MSINFO32.EXE" names no file.
    return Dir(pattern);
}

bool PosixPlatform::shell(const std::string &path)
{
    return Shell(path);
}

std::string PosixPlatform::expandEnvironment(const std::string &text)
{
    // Only the answers above are read, and they hold no variables.
    return text;
}

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<PosixPlatform>();
}

} // namespace sysinfo
