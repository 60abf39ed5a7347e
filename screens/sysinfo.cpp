#include "screens/sysinfo.h"

#include <array>
#include <exception>

namespace sysinfo {

namespace {

// Closes an opened key exactly once, also when something throws in between.
class KeyCloser
{
public:
    KeyCloser(Platform &platform, KeyHandle handle) : m_platform(platform), m_handle(handle) { }
    KeyCloser(const KeyCloser &) = delete;
    KeyCloser &operator=(const KeyCloser &) = delete;

    ~KeyCloser()
    {
        if (m_open) {
            try {
                m_platform.regCloseKey(m_handle);
            } catch (...) {
                // Already unwinding; nothing sensible left to do with it.
            }
        }
    }

    void close()
    {
        // Marked first so a close that throws is not retried by the destructor.
        m_open = false;
        m_platform.regCloseKey(m_handle);
    }

private:
    Platform &m_platform;
    KeyHandle m_handle;
    bool m_open = true;
};

} // namespace

bool decodeValue(std::uint32_t type, const unsigned char *buffer, std::size_t bufferSize, std::uint32_t returnedSize,
                 std::string &out)
{
    // A size of 0, or one beyond the buffer, would make us read bytes that
    // were never written; treat both as a broken value rather than trust them.
    if (buffer == nullptr || returnedSize == 0 || returnedSize > bufferSize) {
        out.clear();
        return false;
    }
    const std::size_t n = returnedSize;

    if (type == RegSz || type == RegExpandSz) {
        // The registry does not promise a terminating NUL: the text ends at
        // the first NUL within the n bytes, or after all n and nothing past
        // them. Some installers store two NULs; whatever follows the first is
        // not part of the path, and Windows itself would stop there too.
        const auto *text = reinterpret_cast<const char *>(buffer);
        std::size_t kept = 0;
        while (kept < n && text[kept] != '\0')
            ++kept;
        out.assign(text, kept);
        return true;
    }

    if (type == RegDword) {
        // Fewer than 4 bytes is not a 32-bit number at all.
        if (n < 4) {
            out.clear();
            return false;
        }
        // Unsigned decimal of the little-endian value, replacing any earlier
        // text (hex digits appended to stale text named no real folder).
        const std::uint32_t value = std::uint32_t(buffer[0]) | (std::uint32_t(buffer[1]) << 8)
                                    | (std::uint32_t(buffer[2]) << 16) | (std::uint32_t(buffer[3]) << 24);
        out = std::to_string(value);
        return true;
    }

    // Other types carry nothing we can use as a path; the caller's text stays.
    return true;
}

bool GetKeyValue(Platform &platform, std::uint32_t keyRoot, const std::string &keyName, const std::string &subKeyRef,
                 std::string &keyVal)
{
    KeyHandle handle {};
    // Read-only access: we never write here, and asking for full access on
    // HKEY_LOCAL_MACHINE is refused to ordinary users.
    if (platform.regOpenKeyEx(keyRoot, keyName, 0, KeyRead, handle) != ErrorSuccess) {
        // Nothing was opened, so there is no handle to close.
        keyVal.clear();
        return false;
    }
    KeyCloser closer(platform, handle);

    std::array<unsigned char, ValueBufferSize> buffer {};
    std::uint32_t type = RegNone;
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    if (platform.regQueryValueEx(handle, subKeyRef, type, buffer.data(), size) != ErrorSuccess) {
        keyVal.clear();
        closer.close();
        return false;
    }

    if (size == 0) {
        // An empty value is not a missing one: there is a value but nothing
        // to start, so the whole lookup ends in the message.
        keyVal.clear();
        closer.close();
        throw EmptyValue();
    }
    const bool ok = decodeValue(type, buffer.data(), buffer.size(), size, keyVal);
    closer.close();
    // %SystemRoot% and the like, as Windows' own tools store their paths.
    if (ok && type == RegExpandSz)
        keyVal = platform.expandEnvironment(keyVal);
    return ok;
}

Outcome StartSysInfo(Platform &platform) noexcept
{
    try {
        std::string path;
        // When the full path is registered the folder key is never looked at.
        // A value read as no text at all (an empty string, a type that holds
        // no path, an expansion that failed) names nothing: the next place is
        // tried, and an empty folder is no folder, not the drive's root.
        if (!GetKeyValue(platform, HKeyLocalMachine, MsinfoKey, MsinfoPathValue, path) || path.empty()) {
            if (!GetKeyValue(platform, HKeyLocalMachine, ToolsLocationKey, ToolsLocationValue, path) || path.empty())
                return Outcome::Unavailable;
            if (platform.dir(path + MsinfoFileName).empty())
                return Outcome::Unavailable;
            path += MsinfoFileName;
        }

        // Started as that exact file, never through a shell, so spaces or
        // & | ; in the path cannot turn into extra commands.
        return platform.shell(path) ? Outcome::Started : Outcome::Unavailable;
    } catch (const std::exception &) {
        return Outcome::Unavailable;
    } catch (...) {
        return Outcome::Unavailable;
    }
}

} // namespace sysinfo
