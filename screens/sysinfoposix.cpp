#include "screens/sysinfoposix.h"
#include "runtime/system.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace sysinfo {

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
    return forms::findProgram(m_tools, m_searchPath);
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
    return forms::Dir(pattern);
}

bool PosixPlatform::shell(const std::string &path)
{
    return forms::Shell(path);
}

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<PosixPlatform>();
}

} // namespace sysinfo
