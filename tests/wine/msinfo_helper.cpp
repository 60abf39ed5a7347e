// Stands in for the system information tool: leaves "<its own path>.started"
// holding the command line it was given (UTF-8), so the test sees that it
// ran, which copy ran, and how it was called.

#include <string>

#include "runtime/win32/windows.h"

namespace {

std::string toUtf8(const wchar_t *text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

} // namespace

int main()
{
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;

    const std::wstring marker = std::wstring(self, length) + L".started";
    const std::wstring partial = marker + L".part";
    const std::string commandLine = toUtf8(::GetCommandLineW());

    // Written aside and then renamed, so the test never reads half a marker.
    const HANDLE file =
        ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, commandLine.data(), static_cast<DWORD>(commandLine.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != commandLine.size())
        return 1;
    return ::MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
