// Fuzzes the registry value decoding behind "System Info...": any type, any
// size claimed, any bytes, straight into decodeValue or through GetKeyValue
// and StartSysInfo on an in-memory registry. Registry values come from
// outside the game, so none of them may crash it or make it read past its
// buffer (AddressSanitizer watches), and the decoded text must say what the
// bytes say.

#include "screens/sysinfo.h"
#include "sysinfomemory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Reads the input front to back; past its end every read is zero.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) { }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint32_t word()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= std::uint32_t(byte()) << (8 * i);
        return value;
    }
    std::vector<unsigned char> bytes(std::size_t count)
    {
        count = std::min(count, m_size - m_at);
        std::vector<unsigned char> taken(m_data + m_at, m_data + m_at + count);
        m_at += count;
        return taken;
    }
    std::vector<unsigned char> rest() { return bytes(m_size - m_at); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// What a decoded value must be, whoever decoded it.
void checkDecoded(std::uint32_t type, const unsigned char *bytes, std::size_t bufferSize, std::uint32_t size,
                  const std::string &before, bool ok, const std::string &out)
{
    if (size == 0 || size > bufferSize) {
        require(!ok && out.empty());
        return;
    }
    if (type == sysinfo::RegSz || type == sysinfo::RegExpandSz) {
        // The text ends at its first NUL, or after all the bytes returned;
        // an expandable one is expanded later, by GetKeyValue.
        const auto *nul = static_cast<const unsigned char *>(std::memchr(bytes, 0, size));
        const std::size_t kept = nul ? std::size_t(nul - bytes) : size;
        require(ok && out.size() == kept && std::memcmp(out.data(), bytes, kept) == 0);
    } else if (type == sysinfo::RegDword) {
        if (size < 4) {
            require(!ok && out.empty());
            return;
        }
        std::uint32_t value = 0;
        std::memcpy(&value, bytes, 4); // the registry is little-endian, as is every machine we build for
        require(ok && out == std::to_string(value));
    } else {
        require(ok && out == before);
    }
}

void fuzzDecode(Input &input)
{
    const std::uint32_t type = input.byte() % 8; // the types that exist, a few more
    const std::uint32_t size = input.word();
    // Text left in the result from before: a string replaces it, other types keep it.
    const std::vector<unsigned char> stale = input.bytes(input.byte() % 16);
    const std::string before(stale.begin(), stale.end());
    // The buffer is exactly as long as the bytes, on the heap: a read one
    // past it is a report, not a quiet look at the next variable.
    const std::vector<unsigned char> bytes = input.rest();
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[bytes.size()]);
    if (!bytes.empty())
        std::memcpy(buffer.get(), bytes.data(), bytes.size());

    std::string out = before;
    const bool ok = sysinfo::decodeValue(type, buffer.get(), bytes.size(), size, out);
    checkDecoded(type, buffer.get(), bytes.size(), size, before, ok, out);
}

void fuzzRegistry(Input &input, bool folderOnly)
{
    sysinfo::MemoryValue value;
    value.type = input.word() % 12;
    const std::uint8_t flags = input.byte();
    const std::uint32_t claimed = input.word();
    if (flags & 1)
        value.forcedSize = claimed; // a registry that lies about the size
    value.bytes = input.rest();

    sysinfo::MemoryPlatform registry;
    const char *key = folderOnly ? sysinfo::ToolsLocationKey : sysinfo::MsinfoKey;
    const char *name = folderOnly ? sysinfo::ToolsLocationValue : sysinfo::MsinfoPathValue;
    registry.setValue(sysinfo::HKeyLocalMachine, key, name, value);

    // GetKeyValue reads through the platform's 1024-byte buffer.
    std::string out = "stale";
    bool ok = false;
    bool empty = false;
    try {
        ok = sysinfo::GetKeyValue(registry, sysinfo::HKeyLocalMachine, key, name, out);
    } catch (const sysinfo::EmptyValue &) {
        empty = true; // a value of size 0 ends the whole lookup
    }
    require(registry.openHandleCount() == 0);
    const std::uint32_t returned = value.forcedSize.value_or(std::uint32_t(value.bytes.size()));
    if (value.bytes.size() > sysinfo::ValueBufferSize) {
        require(!empty && !ok && out.empty()); // the registry refused: more data than the buffer holds
    } else if (returned == 0) {
        require(empty && out.empty());
    } else {
        require(!empty);
        std::vector<unsigned char> buffer(sysinfo::ValueBufferSize, 0);
        std::copy(value.bytes.begin(), value.bytes.end(), buffer.begin());
        // No variable is set here: an expandable string comes out as it is.
        checkDecoded(value.type, buffer.data(), buffer.size(), returned, "stale", ok, out);
    }

    // The whole launcher on the same registry: whatever it finds, it starts
    // at most one program, never one with a NUL in its path, and closes
    // every key it opened.
    if (flags & 2)
        registry.addFile(out + sysinfo::MsinfoFileName);
    registry.setRefuseStarts(flags & 4);
    const sysinfo::Outcome outcome = sysinfo::StartSysInfo(registry);
    require(registry.openHandleCount() == 0);
    require(registry.started().size() == (outcome == sysinfo::Outcome::Started ? 1u : 0u));
    for (const std::string &path : registry.started())
        require(!path.empty() && path.find('\0') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input input(data, size);
    switch (input.byte() % 3) {
    case 0:
        fuzzDecode(input);
        break;
    case 1:
        fuzzRegistry(input, false);
        break;
    default:
        fuzzRegistry(input, true);
        break;
    }
    return 0;
}
