#pragma once

#include "screens/sysinfo.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sysinfo {

// One registry value held by MemoryPlatform.
struct MemoryValue
{
    std::uint32_t type = RegNone;
    std::vector<unsigned char> bytes;
    // Reported as the value's size instead of bytes.size(), to act out a
    // registry that lies about it.
    std::optional<std::uint32_t> forcedSize;
};

// An in-memory Platform for tests: a fake registry, a set of files and a
// list of started programs, with switches for failures, and a record of
// every call made to it.
class MemoryPlatform : public Platform
{
public:
    enum class Call { Open, Query, Close, Dir, Shell, Expand };

    struct OpenRecord
    {
        std::uint32_t root = 0;
        std::string keyName;
        std::uint32_t options = 0;
        std::uint32_t access = 0;
        Status status = ErrorSuccess; // -1 when the call threw
        KeyHandle handle = 0;         // 0 unless the key was opened
    };

    struct QueryRecord
    {
        KeyHandle handle = 0;
        std::string valueName;
        std::uint32_t sizeIn = 0;
        bool bufferZeroed = false; // every byte of the buffer was NUL on entry
    };

    // --- setup ---
    void addKey(std::uint32_t root, const std::string &keyName);
    void setValue(std::uint32_t root, const std::string &keyName, const std::string &valueName, MemoryValue value);
    // Stored with its terminating NUL, as the registry does.
    void setString(std::uint32_t root, const std::string &keyName, const std::string &valueName,
                   const std::string &text);
    void setDword(std::uint32_t root, const std::string &keyName, const std::string &valueName, std::uint32_t number);
    void addFile(const std::string &path);
    // An environment variable, for expandable strings.
    void setVariable(const std::string &name, const std::string &value);

    void refuseOpenOf(std::uint32_t root, const std::string &keyName, Status status = ErrorAccessDenied);
    void setRefuseAllOpens(bool refuse) { m_refuseAllOpens = refuse; }
    void setRefuseQueries(bool refuse) { m_refuseQueries = refuse; }
    void setRefuseStarts(bool refuse) { m_refuseStarts = refuse; }
    void setRefuseExpansion(bool refuse) { m_refuseExpansion = refuse; }
    // Every later call of that kind throws: std::runtime_error, or an int
    // when nonStandard is set.
    void setThrowOn(Call call, bool nonStandard = false);

    // --- records ---
    const std::vector<OpenRecord> &opens() const { return m_opens; }
    const std::vector<QueryRecord> &queries() const { return m_queries; }
    const std::vector<KeyHandle> &closes() const { return m_closes; }
    const std::vector<std::string> &dirPatterns() const { return m_dirPatterns; }
    const std::vector<std::string> &startAttempts() const { return m_startAttempts; }
    const std::vector<std::string> &started() const { return m_started; }
    const std::vector<std::string> &expansions() const { return m_expansions; }
    std::size_t openHandleCount() const { return m_handles.size(); }

    // --- Platform ---
    Status regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options, std::uint32_t access,
                        KeyHandle &handle) override;
    Status regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type, unsigned char *data,
                           std::uint32_t &size) override;
    Status regCloseKey(KeyHandle handle) override;
    std::string dir(const std::string &pattern) override;
    bool shell(const std::string &path) override;
    std::string expandEnvironment(const std::string &text) override;

private:
    using KeyId = std::pair<std::uint32_t, std::string>;

    void throwIfAsked(Call call) const;

    std::map<KeyId, std::map<std::string, MemoryValue>> m_registry;
    std::set<std::string> m_files;
    std::map<std::string, std::string> m_variables;
    std::map<KeyId, Status> m_refusedKeys;
    bool m_refuseAllOpens = false;
    bool m_refuseQueries = false;
    bool m_refuseStarts = false;
    bool m_refuseExpansion = false;
    std::map<Call, bool> m_throwOn; // call -> throw a non-standard exception

    std::map<KeyHandle, KeyId> m_handles;
    KeyHandle m_nextHandle = 0x1000;

    std::vector<OpenRecord> m_opens;
    std::vector<QueryRecord> m_queries;
    std::vector<KeyHandle> m_closes;
    std::vector<std::string> m_dirPatterns;
    std::vector<std::string> m_startAttempts;
    std::vector<std::string> m_started;
    std::vector<std::string> m_expansions;
};

} // namespace sysinfo
