// Where the game cannot start another program (no desktop behind it, or a
// browser page): no registry and no tool, so the launcher says so.

#include "screens/sysinfo.h"

namespace sysinfo {

namespace {

class Unavailable : public Platform
{
public:
    Status regOpenKeyEx(std::uint32_t, const std::string &, std::uint32_t, std::uint32_t, KeyHandle &) override
    {
        return ErrorFileNotFound;
    }
    Status regQueryValueEx(KeyHandle, const std::string &, std::uint32_t &, unsigned char *, std::uint32_t &) override
    {
        return ErrorInvalidHandle;
    }
    Status regCloseKey(KeyHandle) override { return ErrorInvalidHandle; }
    std::string dir(const std::string &) override { return {}; }
    bool shell(const std::string &) override { return false; }
    std::string expandEnvironment(const std::string &) override { return {}; }
};

} // namespace

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<Unavailable>();
}

} // namespace sysinfo
