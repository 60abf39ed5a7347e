#pragma once

#include "screens/sysinfo.h"

#include <map>
#include <string>
#include <vector>

namespace sysinfo {

// Linux and other POSIX systems. There is no registry: the tool's full-path
// value is answered with the first desktop system-information tool found on
// the search path, and every other key or value is "not found".
class PosixPlatform : public Platform
{
public:
    // The default tools, searched on $PATH as it is at construction.
    PosixPlatform();
    // tools in order of preference; searchPath in $PATH form (dir:dir:...).
    PosixPlatform(std::vector<std::string> tools, std::string searchPath);

    static std::vector<std::string> defaultTools();

    // Absolute path of the first tool found, or empty text.
    std::string findTool() const;

    Status regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options, std::uint32_t access,
                        KeyHandle &handle) override;
    Status regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type, unsigned char *data,
                           std::uint32_t &size) override;
    Status regCloseKey(KeyHandle handle) override;
    std::string dir(const std::string &pattern) override;
    bool shell(const std::string &path) override;
    std::string expandEnvironment(const std::string &text) override;

private:
    std::vector<std::string> m_tools;
    std::string m_searchPath;
    std::map<KeyHandle, std::string> m_openKeys; // handle -> tool path it answers with
    KeyHandle m_nextHandle = 1;
};

} // namespace sysinfo
