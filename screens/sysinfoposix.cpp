#include "sysinfoposix.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
#define SYSINFO_HAVE_GLIBC_2_34 1
#endif

namespace sysinfo {

namespace {

bool hasNul(const std::string &text)
{
    return text.find('\0') != std::string::npos;
}

bool isExecutableFile(const std::string &path)
{
    struct stat st {};
    // access() alone is not enough: for root it accepts files with no x bit.
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
        && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0
        && ::access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> splitSearchPath(const std::string &searchPath)
{
    std::vector<std::string> dirs;
    std::string::size_type start = 0;
    while (true) {
        const auto colon = searchPath.find(':', start);
        dirs.push_back(searchPath.substr(start, colon == std::string::npos ? std::string::npos
                                                                            : colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return dirs;
}

int makeReportPipe(int fds[2])
{
#ifdef __linux__
    return ::pipe2(fds, O_CLOEXEC);
#else
    if (::pipe(fds) != 0)
        return -1;
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    return 0;
#endif
}

// Everything from here to execve runs in a forked copy of a threaded
// process, where another thread may have held any lock at fork time: only
// async-signal-safe calls, no allocation.

pid_t forkAgain()
{
#ifdef SYSINFO_HAVE_GLIBC_2_34
    // Unlike fork(), _Fork() runs no atfork handlers and is async-signal-safe.
    return ::_Fork();
#else
    return ::fork();
#endif
}

[[noreturn]] void reportAndExit(int fd, int error)
{
    // If even this fails the parent still sees the exit status or a lost pipe.
    const ssize_t written = ::write(fd, &error, sizeof error);
    static_cast<void>(written);
    ::_exit(127);
}

// The tool must not inherit the game's files and sockets. Marked
// close-on-exec rather than closed so the report pipe lives until execve.
void markInheritedFdsCloseOnExec(int fdLimit)
{
#if defined(SYSINFO_HAVE_GLIBC_2_34) && defined(CLOSE_RANGE_CLOEXEC)
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
#endif
    for (int fd = 3; fd < fdLimit; ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags != -1 && (flags & FD_CLOEXEC) == 0)
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

} // namespace

PosixPlatform::PosixPlatform()
    : m_tools(defaultTools())
{
    const char *searchPath = std::getenv("PATH");
    m_searchPath = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
}

PosixPlatform::PosixPlatform(std::vector<std::string> tools, std::string searchPath)
    : m_tools(std::move(tools)), m_searchPath(std::move(searchPath))
{
}

std::vector<std::string> PosixPlatform::defaultTools()
{
    return {"hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"};
}

std::string PosixPlatform::findTool() const
{
    const std::vector<std::string> dirs = splitSearchPath(m_searchPath);
    // Preference order of the tools beats the order of the search path.
    for (const std::string &tool : m_tools) {
        if (tool.empty() || tool.find('/') != std::string::npos || hasNul(tool))
            continue;
        for (const std::string &dir : dirs) {
            // Relative entries would depend on the game's working directory.
            if (dir.empty() || dir.front() != '/' || hasNul(dir))
                continue;
            std::string candidate = dir;
            if (candidate.back() != '/')
                candidate += '/';
            candidate += tool;
            if (isExecutableFile(candidate))
                return candidate;
        }
    }
    return {};
}

Status PosixPlatform::regOpenKeyEx(std::uint32_t root, const std::string &keyName,
                                   std::uint32_t /*options*/, std::uint32_t /*access*/,
                                   KeyHandle &handle)
{
    // Only the tool's full-path key exists here, and only with a tool installed.
    if (root != kHKeyLocalMachine || keyName != kMsinfoKey)
        return kErrorFileNotFound;
    std::string tool = findTool();
    if (tool.empty())
        return kErrorFileNotFound;

    const KeyHandle opened = m_nextHandle++;
    m_openKeys.emplace(opened, std::move(tool));
    handle = opened;
    return kErrorSuccess;
}

Status PosixPlatform::regQueryValueEx(KeyHandle handle, const std::string &valueName,
                                      std::uint32_t &type, unsigned char *data,
                                      std::uint32_t &size)
{
    const auto open = m_openKeys.find(handle);
    if (open == m_openKeys.end())
        return kErrorInvalidHandle;
    if (valueName != kMsinfoPathValue)
        return kErrorFileNotFound;

    const std::string &tool = open->second;
    if (tool.size() >= UINT32_MAX)
        return kErrorMoreData;
    // A registry string carries its terminating NUL.
    const auto needed = static_cast<std::uint32_t>(tool.size() + 1);
    type = kRegSz;
    if (data == nullptr) {
        size = needed;
        return kErrorSuccess;
    }
    if (size < needed) {
        size = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, tool.c_str(), needed);
    size = needed;
    return kErrorSuccess;
}

Status PosixPlatform::regCloseKey(KeyHandle handle)
{
    return m_openKeys.erase(handle) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

std::string PosixPlatform::dir(const std::string &pattern)
{
    // No wildcards here: the pattern is one exact path ('\' is an ordinary character).
    if (pattern.empty() || hasNul(pattern))
        return {};
    struct stat st {};
    if (::stat(pattern.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const auto slash = pattern.rfind('/');
    return slash == std::string::npos ? pattern : pattern.substr(slash + 1);
}

bool PosixPlatform::shell(const std::string &path)
{
    // A NUL would make execve start a shorter path than the one given.
    if (path.empty() || hasNul(path))
        return false;

    // Everything the children need is prepared before forking.
    char *const argv[] = {const_cast<char *>(path.c_str()), nullptr};
    const long openMax = ::sysconf(_SC_OPEN_MAX);
    const int fdLimit = openMax > 0 && openMax < 65536 ? static_cast<int>(openMax) : 65536;
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigset_t allSignals;
    sigset_t noSignals;
    sigset_t previousMask;
    sigfillset(&allSignals);
    sigemptyset(&noSignals);

    // Closed by execve on success; carries errno when the start failed.
    int report[2];
    if (makeReportPipe(report) != 0)
        return false;

    // Blocked so none of the game's signal handlers runs in the children
    // before they are reset.
    pthread_sigmask(SIG_SETMASK, &allSignals, &previousMask);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        // Own session: closing the game's terminal must not take the tool down.
        ::setsid();
        // Second fork: the tool is adopted by init, so it never lingers as
        // our zombie and we never have to wait for it.
        const pid_t grandchild = forkAgain();
        if (grandchild < 0)
            reportAndExit(report[1], errno);
        if (grandchild > 0)
            ::_exit(0);

        // Ignored signals would survive execve; give the tool a clean start.
        for (int sig = 1; sig < NSIG; ++sig)
            ::sigaction(sig, &defaultAction, nullptr);
        ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
        markInheritedFdsCloseOnExec(fdLimit);
        ::execve(argv[0], argv, environ);
        reportAndExit(report[1], errno);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        return false;
    }

    // The middle process exits at once; reap it now.
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // ECHILD means someone else reaped it (SIGCHLD ignored); the pipe still tells.
    const bool middleFailed = reaped == child && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    int childError = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);

    // End of file without a report: execve closed the pipe, the tool runs.
    return !middleFailed && got == 0;
}

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<PosixPlatform>();
}

} // namespace sysinfo
