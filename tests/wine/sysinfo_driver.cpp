// Presses the About dialog's "System Info..." once on the real Win32
// services and writes down every system call and the message box it would
// show, for run-wine-cases.sh to check against the registry it set up.

#include "screens/sysinfo.h"
#include "screens/sysinfowin32.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "runtime/win32/windows.h"

namespace {

std::string hex(std::uint64_t number)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(number));
    return text;
}

// Passes every call through to the Win32 services and writes one line per
// call, so the script sees which keys were opened, with what access, and
// whether each opened key was closed again.
class RecordingPlatform : public sysinfo::Platform
{
public:
    explicit RecordingPlatform(std::ostream &record) : m_record(record) { }

    sysinfo::Status regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                                 std::uint32_t access, sysinfo::KeyHandle &handle) override
    {
        const sysinfo::Status status = m_win32.regOpenKeyEx(root, keyName, options, access, handle);
        m_record << "open " << hex(root) << ' ' << keyName << " options=" << options << " access=" << hex(access)
                 << " -> " << status;
        if (status == sysinfo::ErrorSuccess)
            m_record << " handle=" << hex(handle);
        m_record << '\n';
        return status;
    }

    sysinfo::Status regQueryValueEx(sysinfo::KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                    unsigned char *data, std::uint32_t &size) override
    {
        const std::uint32_t sizeIn = size;
        const sysinfo::Status status = m_win32.regQueryValueEx(handle, valueName, type, data, size);
        m_record << "query " << hex(handle) << ' ' << valueName << " size-in=" << sizeIn << " -> " << status
                 << " type=" << type << " size=" << size << '\n';
        return status;
    }

    sysinfo::Status regCloseKey(sysinfo::KeyHandle handle) override
    {
        const sysinfo::Status status = m_win32.regCloseKey(handle);
        m_record << "close " << hex(handle) << " -> " << status << '\n';
        return status;
    }

    std::string dir(const std::string &pattern) override
    {
        std::string found = m_win32.dir(pattern);
        m_record << "dir " << pattern << " -> " << found << '\n';
        return found;
    }

    bool shell(const std::string &path) override
    {
        const bool started = m_win32.shell(path);
        const DWORD error = started ? 0 : ::GetLastError();
        m_record << "start " << path << " -> " << (started ? "started" : "refused");
        if (!started)
            m_record << " error=" << error;
        m_record << '\n';
        return started;
    }

private:
    sysinfo::Win32Platform m_win32;
    std::ostream &m_record;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: sysinfo-driver RECORD-FILE\n";
        return 2;
    }
    std::ofstream record(argv[1], std::ios::binary | std::ios::trunc);
    if (!record) {
        std::cerr << "sysinfo-driver: cannot write " << argv[1] << '\n';
        return 2;
    }

    RecordingPlatform platform(record);
    // What frmAbout::StartSysInfo does, with the message box written down
    // instead of shown.
    if (sysinfo::StartSysInfo(platform) == sysinfo::Outcome::Unavailable)
        record << "message " << sysinfo::UnavailableMessage << '\n';

    record.flush();
    return record ? 0 : 2;
}
