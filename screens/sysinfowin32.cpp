#include "screens/sysinfowin32.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/win32/utf8.h"
#include "runtime/win32/windows.h"

namespace sysinfo {

using forms::win32::utf8;
using forms::win32::wide;

namespace {

bool hasNul(const std::string &text)
{
    return text.find('\0') != std::string::npos;
}

HKEY toHkey(KeyHandle handle)
{
    return reinterpret_cast<HKEY>(handle);
}

// The predefined roots are sign-extended 32-bit values, exactly as
// <winreg.h> builds HKEY_LOCAL_MACHINE from 0x80000002.
HKEY rootToHkey(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

bool isText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

} // namespace

Status Win32Platform::regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                                   std::uint32_t access, KeyHandle &handle)
{
    // A NUL inside would silently open a different (shorter) key.
    if (hasNul(keyName))
        return ERROR_INVALID_PARAMETER;
    HKEY key = nullptr;
    const LONG status =
        ::RegOpenKeyExW(rootToHkey(root), wide(keyName).c_str(), options, static_cast<REGSAM>(access), &key);
    if (status == ERROR_SUCCESS)
        handle = reinterpret_cast<KeyHandle>(key);
    return static_cast<Status>(status);
}

Status Win32Platform::regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                      unsigned char *data, std::uint32_t &size)
{
    if (hasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    // Read in UTF-16 into twice the room: a text that fits the caller's
    // buffer in UTF-8 fits here too, every character of it.
    std::vector<BYTE> read(std::size_t(size) * 2);
    DWORD valueType = 0;
    DWORD readSize = DWORD(read.size());
    const LONG status = ::RegQueryValueExW(toHkey(handle), wide(valueName).c_str(), nullptr, &valueType,
                                           read.empty() ? nullptr : read.data(), &readSize);
    type = valueType;
    if (status != ERROR_SUCCESS) {
        size = readSize;
        return static_cast<Status>(status);
    }
    std::string bytes(reinterpret_cast<const char *>(read.data()), readSize);
    if (isText(valueType)) {
        // Every UTF-16 unit, NULs included: where the text ends is the
        // decoding's to say, as it is for the bytes of any other value.
        std::wstring text(readSize / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), read.data(), text.size() * sizeof(wchar_t));
        bytes = utf8(text);
    }
    const std::uint32_t room = size;
    size = std::uint32_t(bytes.size());
    if (bytes.size() > room)
        return ERROR_MORE_DATA;
    if (!bytes.empty())
        std::memcpy(data, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

Status Win32Platform::regCloseKey(KeyHandle handle)
{
    return static_cast<Status>(::RegCloseKey(toHkey(handle)));
}

std::string Win32Platform::dir(const std::string &pattern)
{
    if (pattern.empty() || hasNul(pattern))
        return {};
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW(wide(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    // Folders match too; one that merely carries the tool's name is not the tool.
    bool isFile = false;
    do {
        isFile = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (!isFile && ::FindNextFileW(search, &found));
    // Closed before building the string, so a failed allocation cannot leak it.
    ::FindClose(search);
    if (!isFile)
        return {};
    found.cFileName[MAX_PATH - 1] = L'\0';
    return utf8(found.cFileName);
}

bool Win32Platform::shell(const std::string &path)
{
    // '"' cannot occur in a Windows file name and would break the quoting below.
    if (path.empty() || hasNul(path) || path.find('"') != std::string::npos)
        return false;

    // lpApplicationName names the file, so nothing is searched or split on
    // spaces; the command line only repeats it, quoted, as the tool's argv[0].
    const std::wstring program = wide(path);
    std::wstring commandLine = L"\"" + program + L"\"";

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process {};

    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    // We never wait for the tool; drop our handles to it straight away.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

std::string Win32Platform::expandEnvironment(const std::string &text)
{
    if (hasNul(text))
        return {};
    const std::wstring stored = wide(text);
    // The room asked for, then filled; an environment changed in between
    // asks for more, and counts as failed.
    const DWORD room = ::ExpandEnvironmentStringsW(stored.c_str(), nullptr, 0);
    if (room == 0)
        return {};
    std::wstring expanded(room, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(stored.c_str(), expanded.data(), room);
    if (written == 0 || written > room)
        return {};
    expanded.resize(written - 1); // without its NUL
    return utf8(expanded);
}

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<Win32Platform>();
}

} // namespace sysinfo
