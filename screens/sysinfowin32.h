#pragma once

#include "screens/sysinfo.h"

#include <string>

namespace sysinfo {

// Windows platform: the real registry, FindFirstFileW and CreateProcessW,
// each text turned from UTF-8 to UTF-16 at the call and back.
class Win32Platform : public Platform
{
public:
    Status regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options, std::uint32_t access,
                        KeyHandle &handle) override;
    Status regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type, unsigned char *data,
                           std::uint32_t &size) override;
    Status regCloseKey(KeyHandle handle) override;
    std::string dir(const std::string &pattern) override;
    bool shell(const std::string &path) override;
    std::string expandEnvironment(const std::string &text) override;
};

} // namespace sysinfo
