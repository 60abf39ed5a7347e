#include "screens/sysinfowin32.h"

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/win32/windows.h"

namespace sysinfo {

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

} // namespace

Status Win32Platform::regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                                   std::uint32_t access, KeyHandle &handle)
{
    // A NUL inside would silently open a different (shorter) key.
    if (hasNul(keyName))
        return ERROR_INVALID_PARAMETER;
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(rootToHkey(root), keyName.c_str(), options, static_cast<REGSAM>(access), &key);
    if (status == ERROR_SUCCESS)
        handle = reinterpret_cast<KeyHandle>(key);
    return static_cast<Status>(status);
}

Status Win32Platform::regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                      unsigned char *data, std::uint32_t &size)
{
    if (hasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    DWORD valueType = type;
    DWORD valueSize = size;
    const LONG status = ::RegQueryValueExA(toHkey(handle), valueName.c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return static_cast<Status>(status);
}

Status Win32Platform::regCloseKey(KeyHandle handle)
{
    return static_cast<Status>(::RegCloseKey(toHkey(handle)));
}

std::string Win32Platform::dir(const std::string &pattern)
{
    if (pattern.empty() || hasNul(pattern))
        return {};
    WIN32_FIND_DATAA found {};
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    // Folders match too; one that merely carries the tool's name is not the tool.
    bool isFile = false;
    do {
        isFile = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (!isFile && ::FindNextFileA(search, &found));
    // Closed before building the string, so a failed allocation cannot leak it.
    ::FindClose(search);
    if (!isFile)
        return {};
    found.cFileName[MAX_PATH - 1] = '\0';
    return found.cFileName;
}

bool Win32Platform::shell(const std::string &path)
{
    // '"' cannot occur in a Windows file name and would break the quoting below.
    if (path.empty() || hasNul(path) || path.find('"') != std::string::npos)
        return false;

    // lpApplicationName names the file, so nothing is searched or split on
    // spaces; the command line only repeats it, quoted, as the tool's argv[0].
    std::string commandLine = "\"" + path + "\"";

    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process {};

    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    // We never wait for the tool; drop our handles to it straight away.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

std::unique_ptr<Platform> makeNativePlatform()
{
    return std::make_unique<Win32Platform>();
}

} // namespace sysinfo
