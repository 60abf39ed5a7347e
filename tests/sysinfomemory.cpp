#include "sysinfomemory.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace sysinfo {

void MemoryPlatform::addKey(std::uint32_t root, const std::string &keyName)
{
    m_registry[{root, keyName}];
}

void MemoryPlatform::setValue(std::uint32_t root, const std::string &keyName, const std::string &valueName,
                              MemoryValue value)
{
    m_registry[{root, keyName}][valueName] = std::move(value);
}

void MemoryPlatform::setString(std::uint32_t root, const std::string &keyName, const std::string &valueName,
                               const std::string &text)
{
    MemoryValue value;
    value.type = RegSz;
    value.bytes.assign(text.begin(), text.end());
    value.bytes.push_back(0);
    setValue(root, keyName, valueName, std::move(value));
}

void MemoryPlatform::setDword(std::uint32_t root, const std::string &keyName, const std::string &valueName,
                              std::uint32_t number)
{
    MemoryValue value;
    value.type = RegDword;
    value.bytes = {static_cast<unsigned char>(number & 0xFF), static_cast<unsigned char>((number >> 8) & 0xFF),
                   static_cast<unsigned char>((number >> 16) & 0xFF),
                   static_cast<unsigned char>((number >> 24) & 0xFF)};
    setValue(root, keyName, valueName, std::move(value));
}

void MemoryPlatform::addFile(const std::string &path)
{
    m_files.insert(path);
}

void MemoryPlatform::setVariable(const std::string &name, const std::string &value)
{
    m_variables[name] = value;
}

void MemoryPlatform::refuseOpenOf(std::uint32_t root, const std::string &keyName, Status status)
{
    m_refusedKeys[{root, keyName}] = status;
}

void MemoryPlatform::setThrowOn(Call call, bool nonStandard)
{
    m_throwOn[call] = nonStandard;
}

void MemoryPlatform::throwIfAsked(Call call) const
{
    const auto it = m_throwOn.find(call);
    if (it == m_throwOn.end())
        return;
    if (it->second)
        throw 42;
    throw std::runtime_error("MemoryPlatform: asked to fail");
}

Status MemoryPlatform::regOpenKeyEx(std::uint32_t root, const std::string &keyName, std::uint32_t options,
                                    std::uint32_t access, KeyHandle &handle)
{
    m_opens.push_back({root, keyName, options, access, -1, 0});
    throwIfAsked(Call::Open);

    OpenRecord &record = m_opens.back();
    const KeyId id {root, keyName};
    if (m_refuseAllOpens) {
        record.status = ErrorAccessDenied;
    } else if (const auto refused = m_refusedKeys.find(id); refused != m_refusedKeys.end()) {
        record.status = refused->second;
    } else if (m_registry.find(id) == m_registry.end()) {
        record.status = ErrorFileNotFound;
    } else {
        record.status = ErrorSuccess;
        record.handle = m_nextHandle++;
        m_handles[record.handle] = id;
        handle = record.handle;
    }
    return record.status;
}

Status MemoryPlatform::regQueryValueEx(KeyHandle handle, const std::string &valueName, std::uint32_t &type,
                                       unsigned char *data, std::uint32_t &size)
{
    const bool zeroed = data != nullptr && std::all_of(data, data + size, [](unsigned char byte) { return byte == 0; });
    m_queries.push_back({handle, valueName, size, zeroed});
    throwIfAsked(Call::Query);

    if (m_refuseQueries)
        return ErrorAccessDenied;
    const auto open = m_handles.find(handle);
    if (open == m_handles.end())
        return ErrorInvalidHandle;
    const auto &values = m_registry[open->second];
    const auto found = values.find(valueName);
    if (found == values.end())
        return ErrorFileNotFound;

    const MemoryValue &value = found->second;
    const auto realSize = static_cast<std::uint32_t>(value.bytes.size());
    type = value.type;
    // Same contract as the registry: no buffer asks only for the size, a
    // buffer too small gets the size needed and nothing copied.
    if (data == nullptr) {
        size = value.forcedSize.value_or(realSize);
        return ErrorSuccess;
    }
    if (realSize > size) {
        size = realSize;
        return ErrorMoreData;
    }
    if (realSize > 0)
        std::memcpy(data, value.bytes.data(), realSize);
    size = value.forcedSize.value_or(realSize);
    return ErrorSuccess;
}

Status MemoryPlatform::regCloseKey(KeyHandle handle)
{
    m_closes.push_back(handle);
    throwIfAsked(Call::Close);
    return m_handles.erase(handle) == 1 ? ErrorSuccess : ErrorInvalidHandle;
}

std::string MemoryPlatform::dir(const std::string &pattern)
{
    m_dirPatterns.push_back(pattern);
    throwIfAsked(Call::Dir);
    if (m_files.count(pattern) == 0)
        return {};
    const auto slash = pattern.find_last_of("\\/");
    return slash == std::string::npos ? pattern : pattern.substr(slash + 1);
}

std::string MemoryPlatform::expandEnvironment(const std::string &text)
{
    m_expansions.push_back(text);
    throwIfAsked(Call::Expand);
    if (m_refuseExpansion)
        return {};
    // As Windows does it: %NAME% of a known variable replaced, anything
    // else kept as it stands.
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded += text.substr(at);
            break;
        }
        expanded += text.substr(at, open - at);
        const auto variable = m_variables.find(text.substr(open + 1, close - open - 1));
        expanded += variable == m_variables.end() ? text.substr(open, close - open + 1) : variable->second;
        at = close + 1;
    }
    return expanded;
}

bool MemoryPlatform::shell(const std::string &path)
{
    m_startAttempts.push_back(path);
    throwIfAsked(Call::Shell);
    if (m_refuseStarts)
        return false;
    m_started.push_back(path);
    return true;
}

} // namespace sysinfo
