#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// Launches the operating system's own system-information tool for the
// About dialog. The decision logic lives here, free of Qt and of any
// platform header, so it can be tested and fuzzed on its own; the real
// registry, file and process calls go through sysinfo::Platform.
namespace sysinfo {

// Same meaning and width as a Win32 LONG status: 0 is success.
using Status = std::int32_t;

// Opaque key handle handed out by a Platform (an HKEY on Windows).
using KeyHandle = std::uintptr_t;

inline constexpr Status ErrorSuccess = 0;
inline constexpr Status ErrorFileNotFound = 2;
inline constexpr Status ErrorAccessDenied = 5;
inline constexpr Status ErrorInvalidHandle = 6;
inline constexpr Status ErrorMoreData = 234;

inline constexpr std::uint32_t HKeyLocalMachine = 0x80000002u;
inline constexpr std::uint32_t KeyRead = 0x20019u;

inline constexpr std::uint32_t RegNone = 0;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegExpandSz = 2; // a string with %VARIABLES% in it
inline constexpr std::uint32_t RegDword = 4;

inline constexpr std::size_t ValueBufferSize = 1024;

// Full path of the tool.
inline constexpr char MsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char MsinfoPathValue[] = "PATH";
// Folder of the tool, used when the full path is not registered.
inline constexpr char ToolsLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char ToolsLocationValue[] = "MSINFO";
inline constexpr char MsinfoFileName[] = "\\MSINFO32.EXE";

// Text the About dialog shows when the tool cannot be started.
inline constexpr char UnavailableMessage[] = "System Information Is Unavailable At This Time";

// The handful of operating-system calls the launcher needs. All texts are
// UTF-8, whatever the system's own 8-bit code page: a Cyrillic user name or
// an accented folder must reach the file system as it is.
class Platform
{
public:
    virtual ~Platform() = default;

    // RegOpenKeyEx: opens keyName under root; handle is only valid on success.
    virtual Status regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                                std::uint32_t access, KeyHandle &handle) = 0;

    // RegQueryValueEx: size holds the buffer size on entry and the value's
    // size in bytes on return; a string's bytes are UTF-8.
    virtual Status regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                   unsigned char *data, std::uint32_t &size) = 0;

    // RegCloseKey.
    virtual Status regCloseKey(KeyHandle handle) = 0;

    // Name of the first file matching pattern, or empty text when none does.
    virtual std::string dir(const std::string &pattern) = 0;

    // Starts exactly the program at path (no shell, no argument splitting)
    // in a normal, focused window and does not wait for it.
    virtual bool shell(const std::string &path) = 0;

    // ExpandEnvironmentStrings: each %NAME% replaced by that variable's
    // value, an unknown one left as it is; empty text when that fails.
    virtual std::string expandEnvironment(const std::string &text) = 0;
};

// A value the registry says is empty: there is nothing to read, and the
// lookup stops there rather than trying the next key.
class EmptyValue : public std::runtime_error
{
public:
    EmptyValue() : std::runtime_error("Invalid procedure call or argument") { }
};

enum class Outcome {
    Started,
    Unavailable,
};

// Turns the bytes a registry query returned into text. On failure (nothing
// returned, more than the buffer holds, a short 32-bit number) out is
// cleared and false returned. An expandable string is taken as it is
// stored (GetKeyValue expands it). Types other than strings and 32-bit
// numbers leave out untouched and still count as success. Never reads
// outside buffer[0, bufferSize).
bool decodeValue(std::uint32_t type, const unsigned char *buffer, std::size_t bufferSize, std::uint32_t returnedSize,
                 std::string &out);

// Reads value subKeyRef of key keyName under keyRoot into keyVal, with the
// variables of an expandable string expanded. A value of size 0 throws
// EmptyValue (after closing the key).
bool GetKeyValue(Platform &platform, std::uint32_t keyRoot, const std::string &keyName, const std::string &subKeyRef,
                 std::string &keyVal);

// Finds the system-information tool and starts it: from the full path, or
// where that gives no text, from the folder. On Unavailable the caller shows
// UnavailableMessage.
Outcome StartSysInfo(Platform &platform) noexcept;

// The platform of the running system: the Win32 one, the POSIX one, or where
// no tool can be started (sysinfounavailable.cpp), as the backend the
// program is built with.
std::unique_ptr<Platform> makeNativePlatform();

} // namespace sysinfo
