#include <QtTest>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QScopeGuard>
#include <QStringList>
#include <QTemporaryDir>

#include "screens/sysinfo.h"
#include "sysinfomemory.h"
#ifndef Q_OS_WIN
#include "screens/sysinfoposix.h"
#endif

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using sysinfo::KeyHandle;
using sysinfo::MemoryPlatform;
using sysinfo::Outcome;

namespace {

constexpr std::uint32_t HKLM = sysinfo::HKeyLocalMachine;

const std::string FirstKey = sysinfo::MsinfoKey;
const std::string FirstValue = sysinfo::MsinfoPathValue;
const std::string SecondKey = sysinfo::ToolsLocationKey;
const std::string SecondValue = sysinfo::ToolsLocationValue;
const std::string ToolFile = sysinfo::MsinfoFileName;

// Keeps embedded and trailing NULs that QByteArray(const char *) would cut.
template <std::size_t N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

std::string toStd(const QByteArray &bytes)
{
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QByteArray toQt(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

QList<QByteArray> toQt(const std::vector<std::string> &texts)
{
    QList<QByteArray> list;
    for (const std::string &text : texts)
        list.append(toQt(text));
    return list;
}

sysinfo::MemoryValue memoryValue(quint32 type, const QByteArray &bytes, qint64 forcedSize = -1)
{
    sysinfo::MemoryValue value;
    value.type = type;
    value.bytes.assign(bytes.begin(), bytes.end());
    if (forcedSize >= 0)
        value.forcedSize = std::uint32_t(forcedSize);
    return value;
}

bool secondKeyOpened(const MemoryPlatform &platform)
{
    for (const auto &open : platform.opens()) {
        if (open.keyName == SecondKey)
            return true;
    }
    return false;
}

// Every key that was opened is closed exactly once, and nothing else is closed.
void verifyHandlesBalanced(const MemoryPlatform &platform, int expectedOpened)
{
    int opened = 0;
    for (const auto &open : platform.opens()) {
        if (open.status != sysinfo::ErrorSuccess)
            continue;
        ++opened;
        int closes = 0;
        for (KeyHandle closed : platform.closes())
            closes += closed == open.handle ? 1 : 0;
        QCOMPARE(closes, 1);
    }
    QCOMPARE(opened, expectedOpened);
    QCOMPARE(int(platform.closes().size()), expectedOpened);
}

#ifndef Q_OS_WIN
// The real POSIX platform, with the start calls it receives written down.
class RecordingPosixPlatform : public sysinfo::PosixPlatform
{
public:
    using PosixPlatform::PosixPlatform;

    bool shell(const std::string &path) override
    {
        shellCalls.push_back(path);
        return PosixPlatform::shell(path);
    }

    std::vector<std::string> shellCalls;
};

bool writeFile(const QString &path, const QByteArray &contents, QFileDevice::Permissions mode)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return false;
    file.close();
    return file.setPermissions(mode);
}

const QFileDevice::Permissions Executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                            | QFileDevice::ExeOther;
const QFileDevice::Permissions Plain =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// True when the test process has no child left, reaped or not.
bool noChildrenLeft()
{
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}
#endif

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    // Which registry value the tool is found from.
    void lookupOrder_data();
    void lookupOrder();

    // Turning the returned bytes into text.
    void valueDecoding_data();
    void valueDecoding();
    void expandableValues_data();
    void expandableValues();
    void valueWithoutTextTriesTheFolder_data();
    void valueWithoutTextTriesTheFolder();
    void emptyValueEndsTheLookup_data();
    void emptyValueEndsTheLookup();
    void decodeValueStaysInsideBuffer_data();
    void decodeValueStaysInsideBuffer();
    void decodeValueWithoutBuffer();
    void queryGetsClearedFullBuffer();

    // Registry handles and access.
    void readOnlyAccess_data();
    void readOnlyAccess();
    void keyHandles_data();
    void keyHandles();

    // Starting the tool.
    void startPathPassedUnchanged_data();
    void startPathPassedUnchanged();
    void refusedStartIsUnavailable();
    void platformExceptionIsUnavailable_data();
    void platformExceptionIsUnavailable();
    void unavailableMessageText();

    // The Linux / POSIX platform.
    void posixToolLookup_data();
    void posixToolLookup();
    void posixRegistryAnswers();
    void posixNoToolIsUnavailable();
    void posixStartsFoundTool();
    void posixShellRefuses_data();
    void posixShellRefuses();
    void posixDir_data();
    void posixDir();
};

// ---------------------------------------------------------------------------
// Which registry value the tool is found from

void TestSysInfo::lookupOrder_data()
{
    QTest::addColumn<bool>("firstKeyExists");
    QTest::addColumn<QByteArray>("firstValue");  // null: no such value
    QTest::addColumn<QByteArray>("secondValue"); // null: no such value
    QTest::addColumn<QByteArray>("existingFile");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QByteArray>("startedPath");
    QTest::addColumn<QByteArray>("dirPattern"); // null: Dir never asked
    QTest::addColumn<bool>("secondOpened");

    const QByteArray tool = "C:\\WINDOWS\\system32\\msinfo32.exe";
    const QByteArray folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
    const QByteArray folderTool = folder + "\\MSINFO32.EXE";

    QTest::newRow("first value present") << true << tool << QByteArray() << QByteArray() << true << tool << QByteArray()
                                         << false;
    QTest::newRow("first value wins over second")
        << true << tool << folder << folderTool << true << tool << QByteArray() << false;
    QTest::newRow("only second value, tool file present")
        << false << QByteArray() << folder << folderTool << true << folderTool << folderTool << true;
    QTest::newRow("first key without its value, second present")
        << true << QByteArray() << folder << folderTool << true << folderTool << folderTool << true;
    QTest::newRow("only second value, tool file missing")
        << false << QByteArray() << folder << QByteArray() << false << QByteArray() << folderTool << true;
    QTest::newRow("tool file present under another folder")
        << false << QByteArray() << folder << QByteArray("C:\\Other\\MSINFO32.EXE") << false << QByteArray()
        << folderTool << true;
    QTest::newRow("neither value") << false << QByteArray() << QByteArray() << folderTool << false << QByteArray()
                                   << QByteArray() << true;
    QTest::newRow("first value an empty string, second present")
        << true << QByteArray("") << folder << folderTool << true << folderTool << folderTool << true;
    QTest::newRow("both values empty strings: no folder is the drive's root")
        << true << QByteArray("") << QByteArray("") << QByteArray("\\MSINFO32.EXE") << false << QByteArray()
        << QByteArray() << true;
}

void TestSysInfo::lookupOrder()
{
    QFETCH(bool, firstKeyExists);
    QFETCH(QByteArray, firstValue);
    QFETCH(QByteArray, secondValue);
    QFETCH(QByteArray, existingFile);
    QFETCH(bool, started);
    QFETCH(QByteArray, startedPath);
    QFETCH(QByteArray, dirPattern);
    QFETCH(bool, secondOpened);

    MemoryPlatform platform;
    if (firstKeyExists)
        platform.addKey(HKLM, FirstKey);
    if (!firstValue.isNull())
        platform.setString(HKLM, FirstKey, FirstValue, toStd(firstValue));
    if (!secondValue.isNull())
        platform.setString(HKLM, SecondKey, SecondValue, toStd(secondValue));
    if (!existingFile.isEmpty())
        platform.addFile(toStd(existingFile));

    const Outcome outcome = sysinfo::StartSysInfo(platform);

    QCOMPARE(outcome == Outcome::Started, started);
    const QList<QByteArray> expectedStarts = started ? QList<QByteArray> {startedPath} : QList<QByteArray> {};
    QCOMPARE(toQt(platform.started()), expectedStarts);
    QCOMPARE(toQt(platform.startAttempts()), expectedStarts);
    const QList<QByteArray> expectedDir = dirPattern.isNull() ? QList<QByteArray> {} : QList<QByteArray> {dirPattern};
    QCOMPARE(toQt(platform.dirPatterns()), expectedDir);
    QCOMPARE(secondKeyOpened(platform), secondOpened);
    QCOMPARE(platform.opens().front().keyName, FirstKey);
}

// ---------------------------------------------------------------------------
// Turning the returned bytes into text

void TestSysInfo::valueDecoding_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("forcedSize"); // -1: the real size is returned
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");

    const quint32 sz = sysinfo::RegSz;
    const quint32 dword = sysinfo::RegDword;
    const QByteArray old = "old text";

    QTest::newRow("string with its NUL") << sz << raw("C:\\Tools\\msinfo32.exe\0") << qint64(-1) << old << true
                                         << QByteArray("C:\\Tools\\msinfo32.exe");
    QTest::newRow("string without its NUL keeps all n bytes")
        << sz << QByteArray("C:\\x.exe") << qint64(-1) << old << true << QByteArray("C:\\x.exe");
    QTest::newRow("string without NUL filling the buffer")
        << sz << QByteArray(1024, 'x') << qint64(-1) << old << true << QByteArray(1024, 'x');
    QTest::newRow("string of a lone NUL") << sz << raw("\0") << qint64(-1) << old << true << QByteArray("");
    QTest::newRow("string ends at an inner NUL") << sz << raw("a\0b\0") << qint64(-1) << old << true << QByteArray("a");
    QTest::newRow("string with two trailing NULs")
        << sz << raw("C:\\x.exe\0\0") << qint64(-1) << old << true << QByteArray("C:\\x.exe");
    QTest::newRow("returned size shorter than the text")
        << sz << raw("abcdef\0") << qint64(3) << old << true << QByteArray("abc");
    QTest::newRow("returned size one past the buffer")
        << sz << QByteArray(1024, 'y') << qint64(1025) << old << false << QByteArray("");
    QTest::newRow("returned size far past the buffer")
        << sz << raw("abc\0") << qint64(0xFFFFFFFF) << old << false << QByteArray("");
    QTest::newRow("oversized dword") << dword << raw("\1\0\0\0") << qint64(4096) << old << false << QByteArray("");
    QTest::newRow("value too big for the buffer")
        << sz << QByteArray(2000, 'z') << qint64(-1) << old << false << QByteArray("");
    QTest::newRow("dword 0x00010203") << dword << raw("\x03\x02\x01\x00") << qint64(-1) << old << true
                                      << QByteArray("66051");
    QTest::newRow("dword 0xFFFFFFFF") << dword << raw("\xFF\xFF\xFF\xFF") << qint64(-1) << old << true
                                      << QByteArray("4294967295");
    QTest::newRow("dword 0x80000000") << dword << raw("\x00\x00\x00\x80") << qint64(-1) << old << true
                                      << QByteArray("2147483648");
    QTest::newRow("dword 255") << dword << raw("\xFF\x00\x00\x00") << qint64(-1) << old << true << QByteArray("255");
    QTest::newRow("dword 10") << dword << raw("\x0A\x00\x00\x00") << qint64(-1) << old << true << QByteArray("10");
    QTest::newRow("dword 0") << dword << raw("\0\0\0\0") << qint64(-1) << old << true << QByteArray("0");
    QTest::newRow("dword replaces earlier empty text")
        << dword << raw("\x07\x00\x00\x00") << qint64(-1) << QByteArray("") << true << QByteArray("7");
    QTest::newRow("dword uses the first 4 of 8 bytes")
        << dword << raw("\x01\x01\x00\x00\xFF\xFF\xFF\xFF") << qint64(-1) << old << true << QByteArray("257");
    QTest::newRow("short dword of 3 bytes")
        << dword << raw("\x01\x02\x03") << qint64(-1) << old << false << QByteArray("");
    QTest::newRow("short dword of 1 byte") << dword << raw("\x01") << qint64(-1) << old << false << QByteArray("");
    QTest::newRow("binary value leaves text unchanged")
        << quint32(3) << raw("\x01\x02") << qint64(-1) << old << true << old;
    QTest::newRow("expandable string read as text")
        << quint32(sysinfo::RegExpandSz) << raw("C:\\Tools\\msinfo32.exe\0") << qint64(-1) << old << true
        << QByteArray("C:\\Tools\\msinfo32.exe");
    QTest::newRow("64-bit number leaves empty text empty")
        << quint32(11) << raw("\1\0\0\0\0\0\0\0") << qint64(-1) << QByteArray("") << true << QByteArray("");
}

void TestSysInfo::valueDecoding()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, forcedSize);
    QFETCH(QByteArray, before);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);

    MemoryPlatform platform;
    platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(type, bytes, forcedSize));

    std::string keyVal = toStd(before);
    QCOMPARE(sysinfo::GetKeyValue(platform, HKLM, FirstKey, FirstValue, keyVal), ok);
    QCOMPARE(toQt(keyVal), after);
    verifyHandlesBalanced(platform, 1);
}

void TestSysInfo::expandableValues_data()
{
    QTest::addColumn<QByteArray>("firstValue");  // null: no such value
    QTest::addColumn<QByteArray>("secondValue"); // null: no such value
    QTest::addColumn<bool>("expands");
    QTest::addColumn<QByteArray>("startedPath"); // null: nothing started

    const QByteArray tool = "C:\\WINDOWS\\system32\\msinfo32.exe";
    const QByteArray folderTool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";
    QTest::newRow("full path with a variable")
        << QByteArray("%SystemRoot%\\system32\\msinfo32.exe") << QByteArray() << true << tool;
    QTest::newRow("folder with a variable")
        << QByteArray() << QByteArray("%CommonProgramFiles%\\Microsoft Shared\\MSInfo") << true << folderTool;
    QTest::newRow("full path without a variable") << tool << QByteArray() << true << tool;
    QTest::newRow("unknown variable kept, and not found")
        << QByteArray() << QByteArray("%NoSuchFolder%\\MSInfo") << true << QByteArray();
    QTest::newRow("full path whose expansion fails: the folder is tried")
        << QByteArray("%SystemRoot%\\system32\\msinfo32.exe")
        << QByteArray("%CommonProgramFiles%\\Microsoft Shared\\MSInfo") << false << QByteArray();
}

void TestSysInfo::expandableValues()
{
    QFETCH(QByteArray, firstValue);
    QFETCH(QByteArray, secondValue);
    QFETCH(bool, expands);
    QFETCH(QByteArray, startedPath);

    MemoryPlatform platform;
    platform.setVariable("SystemRoot", "C:\\WINDOWS");
    platform.setVariable("CommonProgramFiles", "C:\\Program Files\\Common Files");
    platform.setRefuseExpansion(!expands);
    platform.addFile("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE");
    const auto expandable = [](const QByteArray &text) {
        return memoryValue(sysinfo::RegExpandSz, text + QByteArray(1, '\0'));
    };
    if (!firstValue.isNull())
        platform.setValue(HKLM, FirstKey, FirstValue, expandable(firstValue));
    if (!secondValue.isNull())
        platform.setValue(HKLM, SecondKey, SecondValue, expandable(secondValue));

    const Outcome outcome = sysinfo::StartSysInfo(platform);

    QCOMPARE(outcome == Outcome::Started, !startedPath.isNull());
    const QList<QByteArray> expectedStarts =
        startedPath.isNull() ? QList<QByteArray> {} : QList<QByteArray> {startedPath};
    QCOMPARE(toQt(platform.started()), expectedStarts);
    // Each value read was expanded, once, as it was stored.
    QList<QByteArray> stored;
    for (const QByteArray &value : {firstValue, secondValue}) {
        if (!value.isNull())
            stored.append(value);
    }
    if (expands && !firstValue.isNull())
        stored = {firstValue}; // found at the first try
    QCOMPARE(toQt(platform.expansions()), stored);
    if (!expands)
        QVERIFY(platform.dirPatterns().empty());
    verifyHandlesBalanced(platform, int(stored.size()));
}

void TestSysInfo::valueWithoutTextTriesTheFolder_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a lone NUL") << quint32(sysinfo::RegSz) << raw("\0");
    QTest::newRow("an expandable lone NUL") << quint32(sysinfo::RegExpandSz) << raw("\0");
    QTest::newRow("binary") << quint32(3) << raw("C:\\x.exe\0");
    QTest::newRow("several strings") << quint32(7) << raw("C:\\x.exe\0\0");
}

void TestSysInfo::valueWithoutTextTriesTheFolder()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);

    MemoryPlatform platform;
    platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(type, bytes));
    platform.setString(HKLM, SecondKey, SecondValue, "C:\\Folder");
    platform.addFile("C:\\Folder\\MSINFO32.EXE");
    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Started);
    QCOMPARE(toQt(platform.started()), QList<QByteArray> {"C:\\Folder\\MSINFO32.EXE"});
    verifyHandlesBalanced(platform, 2);
}

void TestSysInfo::emptyValueEndsTheLookup_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("forcedSize");
    QTest::newRow("empty string") << quint32(sysinfo::RegSz) << QByteArray() << qint64(-1);
    QTest::newRow("size 0 reported for real bytes") << quint32(sysinfo::RegSz) << raw("abc\0") << qint64(0);
    QTest::newRow("empty value of another type") << quint32(3) << QByteArray() << qint64(-1);
}

void TestSysInfo::emptyValueEndsTheLookup()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, forcedSize);

    // Read alone, an empty value is an error after the key is closed...
    MemoryPlatform platform;
    platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(type, bytes, forcedSize));
    std::string keyVal = "old text";
    QVERIFY_THROWS_EXCEPTION(sysinfo::EmptyValue, sysinfo::GetKeyValue(platform, HKLM, FirstKey, FirstValue, keyVal));
    QVERIFY(keyVal.empty());
    verifyHandlesBalanced(platform, 1);

    // ...and it ends the search with the message, even when the folder key
    // would have found the tool.
    MemoryPlatform system;
    system.setValue(HKLM, FirstKey, FirstValue, memoryValue(type, bytes, forcedSize));
    system.setString(HKLM, SecondKey, SecondValue, "C:\\Folder");
    system.addFile("C:\\Folder\\MSINFO32.EXE");
    QCOMPARE(sysinfo::StartSysInfo(system), Outcome::Unavailable);
    QVERIFY(!secondKeyOpened(system));
    QVERIFY(system.startAttempts().empty());
}

void TestSysInfo::decodeValueStaysInsideBuffer_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("buffer"); // exactly the buffer, no spare bytes
    QTest::addColumn<quint32>("returnedSize");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");

    const quint32 sz = sysinfo::RegSz;
    const quint32 dword = sysinfo::RegDword;

    QTest::newRow("size one past a small buffer") << sz << QByteArray("abcd") << 5u << false << QByteArray("");
    QTest::newRow("size equal to the buffer, no NUL") << sz << QByteArray("abcd") << 4u << true << QByteArray("abcd");
    QTest::newRow("size inside the buffer") << sz << QByteArray("abcd") << 2u << true << QByteArray("ab");
    QTest::newRow("NUL at position n") << sz << raw("ab\0d") << 3u << true << QByteArray("ab");
    QTest::newRow("empty buffer, size 1") << sz << QByteArray() << 1u << false << QByteArray("");
    QTest::newRow("empty buffer, size 0") << sz << QByteArray() << 0u << false << QByteArray("");
    QTest::newRow("dword filling the buffer") << dword << raw("\x03\x02\x01\x00") << 4u << true << QByteArray("66051");
    QTest::newRow("dword past a 3-byte buffer") << dword << raw("\x03\x02\x01") << 4u << false << QByteArray("");
    QTest::newRow("huge size") << sz << QByteArray("ab") << 0xFFFFFFFFu << false << QByteArray("");
}

void TestSysInfo::decodeValueStaysInsideBuffer()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, buffer);
    QFETCH(quint32, returnedSize);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);

    // A heap block of exactly this size, so a stray read trips the sanitizers.
    const std::vector<unsigned char> exact(buffer.begin(), buffer.end());
    std::string out = "before";
    QCOMPARE(sysinfo::decodeValue(type, exact.data(), exact.size(), returnedSize, out), ok);
    QCOMPARE(toQt(out), after);
}

void TestSysInfo::decodeValueWithoutBuffer()
{
    std::string out = "before";
    QVERIFY(!sysinfo::decodeValue(sysinfo::RegSz, nullptr, 0, 1, out));
    QCOMPARE(toQt(out), QByteArray(""));
    out = "before";
    QVERIFY(!sysinfo::decodeValue(sysinfo::RegSz, nullptr, 1024, 4, out));
    QCOMPARE(toQt(out), QByteArray(""));
}

void TestSysInfo::queryGetsClearedFullBuffer()
{
    MemoryPlatform platform;
    platform.addKey(HKLM, FirstKey);
    platform.setString(HKLM, SecondKey, SecondValue, "C:\\Folder");
    platform.addFile("C:\\Folder\\MSINFO32.EXE");

    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Started);

    QCOMPARE(int(platform.queries().size()), 2);
    QCOMPARE(platform.queries()[0].valueName, FirstValue);
    QCOMPARE(platform.queries()[1].valueName, SecondValue);
    for (const auto &query : platform.queries()) {
        QCOMPARE(query.sizeIn, std::uint32_t(1024));
        QVERIFY(query.bufferZeroed);
    }
}

// ---------------------------------------------------------------------------
// Registry handles and access

namespace {

enum Scenario {
    ValueRead,
    ValueMissing,
    QueryRefused,
    SizeZero,
    Oversize,
    UnknownType,
    ShortDword,
    QueryThrows,
    FirstOpenRefused,
    AllOpensRefused,
    CloseThrows,
};

// The second key always holds a usable folder, so a failed first lookup
// goes on to open it.
void setUp(MemoryPlatform &platform, int scenario)
{
    platform.setString(HKLM, SecondKey, SecondValue, "C:\\Folder");
    platform.addFile("C:\\Folder\\MSINFO32.EXE");
    const std::string tool = "C:\\Tools\\msinfo32.exe";

    switch (scenario) {
    case ValueRead:
        platform.setString(HKLM, FirstKey, FirstValue, tool);
        break;
    case ValueMissing:
        platform.addKey(HKLM, FirstKey);
        break;
    case QueryRefused:
        platform.addKey(HKLM, FirstKey);
        platform.setRefuseQueries(true);
        break;
    case SizeZero:
        platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(1, "x", 0));
        break;
    case Oversize:
        platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(1, "x", 1025));
        break;
    case UnknownType:
        platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(3, "\x01\x02"));
        break;
    case ShortDword:
        platform.setValue(HKLM, FirstKey, FirstValue, memoryValue(4, "\x01\x02"));
        break;
    case QueryThrows:
        platform.setString(HKLM, FirstKey, FirstValue, tool);
        platform.setThrowOn(MemoryPlatform::Call::Query);
        break;
    case FirstOpenRefused:
        platform.setString(HKLM, FirstKey, FirstValue, tool);
        platform.refuseOpenOf(HKLM, FirstKey);
        break;
    case AllOpensRefused:
        platform.setString(HKLM, FirstKey, FirstValue, tool);
        platform.setRefuseAllOpens(true);
        break;
    case CloseThrows:
        platform.setString(HKLM, FirstKey, FirstValue, tool);
        platform.setThrowOn(MemoryPlatform::Call::Close);
        break;
    }
}

} // namespace

void TestSysInfo::readOnlyAccess_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<int>("openCalls");

    QTest::newRow("first value read") << int(ValueRead) << 1;
    QTest::newRow("fallback to the second key") << int(ValueMissing) << 2;
    QTest::newRow("first key refused") << int(FirstOpenRefused) << 2;
    QTest::newRow("every key refused") << int(AllOpensRefused) << 2;
}

void TestSysInfo::readOnlyAccess()
{
    QFETCH(int, scenario);
    QFETCH(int, openCalls);

    MemoryPlatform platform;
    setUp(platform, scenario);
    sysinfo::StartSysInfo(platform);

    QCOMPARE(int(platform.opens().size()), openCalls);
    for (const auto &open : platform.opens()) {
        QCOMPARE(open.root, HKLM);
        QCOMPARE(open.options, std::uint32_t(0));
        QCOMPARE(open.access, std::uint32_t(0x20019));
    }
}

void TestSysInfo::keyHandles_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<int>("opened");
    QTest::addColumn<bool>("started");

    QTest::newRow("value read") << int(ValueRead) << 1 << true;
    QTest::newRow("value missing") << int(ValueMissing) << 2 << true;
    QTest::newRow("query refused") << int(QueryRefused) << 2 << false;
    QTest::newRow("size 0") << int(SizeZero) << 1 << false;
    QTest::newRow("size past the buffer") << int(Oversize) << 2 << true;
    QTest::newRow("unknown type: the folder is tried") << int(UnknownType) << 2 << true;
    QTest::newRow("short dword") << int(ShortDword) << 2 << true;
    QTest::newRow("query throws") << int(QueryThrows) << 1 << false;
    QTest::newRow("first key refused") << int(FirstOpenRefused) << 1 << true;
    QTest::newRow("every key refused") << int(AllOpensRefused) << 0 << false;
    QTest::newRow("close throws") << int(CloseThrows) << 1 << false;
}

void TestSysInfo::keyHandles()
{
    QFETCH(int, scenario);
    QFETCH(int, opened);
    QFETCH(bool, started);

    MemoryPlatform platform;
    setUp(platform, scenario);

    QCOMPARE(sysinfo::StartSysInfo(platform) == Outcome::Started, started);
    verifyHandlesBalanced(platform, opened);
}

// ---------------------------------------------------------------------------
// Starting the tool

void TestSysInfo::startPathPassedUnchanged_data()
{
    QTest::addColumn<bool>("viaFolder");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("startedPath");

    const QList<QPair<QByteArray, QByteArray>> paths = {
        {"spaces", "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"},
        {"ampersand, pipe, semicolon", "C:\\Tools & More\\a|b;c\\msinfo32.exe"},
        {"command words", "/opt/sys info/tool; rm -rf ~ & echo hi | cat"},
        {"substitutions and quotes", "$(touch pwned) `id` \"quoted\" 'single' %PATH%.exe"},
        {"leading and trailing spaces", "  C:\\x.exe  "},
        {"UTF-8 bytes", "C:\\Programaci\xC3\xB3n\\informaci\xC3\xB3n.exe"},
    };
    for (const auto &[name, path] : paths) {
        QTest::newRow(("full path: " + name).constData()) << false << path << path;
        QTest::newRow(("folder: " + name).constData()) << true << path << QByteArray(path + "\\MSINFO32.EXE");
    }
}

void TestSysInfo::startPathPassedUnchanged()
{
    QFETCH(bool, viaFolder);
    QFETCH(QByteArray, location);
    QFETCH(QByteArray, startedPath);

    MemoryPlatform platform;
    if (viaFolder) {
        platform.setString(HKLM, SecondKey, SecondValue, toStd(location));
        platform.addFile(toStd(startedPath));
    } else {
        platform.setString(HKLM, FirstKey, FirstValue, toStd(location));
    }

    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Started);
    QCOMPARE(toQt(platform.startAttempts()), QList<QByteArray> {startedPath});
    QCOMPARE(toQt(platform.started()), QList<QByteArray> {startedPath});
}

void TestSysInfo::refusedStartIsUnavailable()
{
    MemoryPlatform platform;
    platform.setString(HKLM, FirstKey, FirstValue, "C:\\Tools\\msinfo32.exe");
    platform.setRefuseStarts(true);

    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Unavailable);
    QCOMPARE(toQt(platform.startAttempts()), QList<QByteArray> {"C:\\Tools\\msinfo32.exe"});
    QVERIFY(platform.started().empty());
}

void TestSysInfo::platformExceptionIsUnavailable_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<bool>("nonStandard");
    QTest::addColumn<bool>("viaFolder");

    const QList<QPair<const char *, MemoryPlatform::Call>> calls = {
        {"open", MemoryPlatform::Call::Open},   {"query", MemoryPlatform::Call::Query},
        {"close", MemoryPlatform::Call::Close}, {"dir", MemoryPlatform::Call::Dir},
        {"shell", MemoryPlatform::Call::Shell}, {"expand", MemoryPlatform::Call::Expand},
    };
    for (const auto &[name, call] : calls) {
        const bool viaFolder = call == MemoryPlatform::Call::Dir;
        QTest::addRow("%s throws std::exception", name) << int(call) << false << viaFolder;
        QTest::addRow("%s throws something else", name) << int(call) << true << viaFolder;
    }
}

void TestSysInfo::platformExceptionIsUnavailable()
{
    QFETCH(int, call);
    QFETCH(bool, nonStandard);
    QFETCH(bool, viaFolder);

    MemoryPlatform platform;
    if (viaFolder) {
        platform.setString(HKLM, SecondKey, SecondValue, "C:\\Folder");
        platform.addFile("C:\\Folder\\MSINFO32.EXE");
    } else {
        platform.setValue(HKLM, FirstKey, FirstValue,
                          memoryValue(sysinfo::RegExpandSz, raw("%SystemRoot%\\msinfo32.exe\0")));
    }
    const auto thrower = MemoryPlatform::Call(call);
    platform.setThrowOn(thrower, nonStandard);

    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Unavailable);
    QVERIFY(platform.started().empty());

    // The throwing call was really reached.
    switch (thrower) {
    case MemoryPlatform::Call::Open:
        QVERIFY(!platform.opens().empty());
        break;
    case MemoryPlatform::Call::Query:
        QVERIFY(!platform.queries().empty());
        break;
    case MemoryPlatform::Call::Close:
        QVERIFY(!platform.closes().empty());
        break;
    case MemoryPlatform::Call::Dir:
        QVERIFY(!platform.dirPatterns().empty());
        break;
    case MemoryPlatform::Call::Shell:
        QCOMPARE(int(platform.startAttempts().size()), 1);
        break;
    case MemoryPlatform::Call::Expand:
        QCOMPARE(int(platform.expansions().size()), 1);
        break;
    }
    // Even when a call throws, every opened key is closed once, never twice.
    int opened = 0;
    for (const auto &open : platform.opens())
        opened += open.status == sysinfo::ErrorSuccess ? 1 : 0;
    verifyHandlesBalanced(platform, opened);
}

void TestSysInfo::unavailableMessageText()
{
    QCOMPARE(QByteArray(sysinfo::UnavailableMessage), QByteArray("System Information Is Unavailable At This Time"));
}

// ---------------------------------------------------------------------------
// The Linux / POSIX platform

void TestSysInfo::posixToolLookup_data()
{
    // files: "dir/name=mode" with mode 755, 644 or dir; paths: '@x' is the
    // temp folder's x, anything else is used as written.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("searchPath");
    QTest::addColumn<QString>("expected"); // relative to the temp folder

    QTest::newRow("no tool") << QStringList {} << "@a:@b"
                             << "";
    QTest::newRow("executable tool") << QStringList {"a/hardinfo=755"} << "@a:@b"
                                     << "a/hardinfo";
    QTest::newRow("non-executable file is not taken") << QStringList {"a/hardinfo=644"} << "@a:@b"
                                                      << "";
    QTest::newRow("non-executable skipped for the next tool")
        << QStringList {"a/hardinfo=644", "b/kinfocenter=755"} << "@a:@b"
        << "b/kinfocenter";
    QTest::newRow("directory is not taken") << QStringList {"a/hardinfo=dir"} << "@a:@b"
                                            << "";
    QTest::newRow("earlier tool wins over earlier folder")
        << QStringList {"a/kinfocenter=755", "b/hardinfo=755"} << "@a:@b"
        << "b/hardinfo";
    QTest::newRow("same tool: earlier folder wins") << QStringList {"a/hardinfo=755", "b/hardinfo=755"} << "@b:@a"
                                                    << "b/hardinfo";
    QTest::newRow("last tool of the list") << QStringList {"b/xfce4-taskmanager=755"} << "@a:@b"
                                           << "b/xfce4-taskmanager";
    QTest::newRow("folder with trailing slash") << QStringList {"a/hardinfo=755"} << "@a/"
                                                << "a/hardinfo";
    QTest::newRow("relative folder is ignored") << QStringList {"a/hardinfo=755"} << "a"
                                                << "";
    QTest::newRow("empty entry is ignored") << QStringList {"hardinfo=755"} << ":"
                                            << "";
}

void TestSysInfo::posixToolLookup()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QFETCH(QStringList, files);
    QFETCH(QString, searchPath);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    QVERIFY(QDir(root).mkpath("a"));
    QVERIFY(QDir(root).mkpath("b"));
    for (const QString &file : files) {
        const QString name = file.section('=', 0, 0);
        const QString mode = file.section('=', 1);
        const QString path = root + '/' + name;
        if (mode == "dir")
            QVERIFY(QDir(root).mkpath(name));
        else
            QVERIFY(writeFile(path, "#!/bin/sh\n", mode == "755" ? Executable : Plain));
    }
    QStringList entries = searchPath.split(':');
    for (QString &entry : entries) {
        if (entry.startsWith('@'))
            entry = root + '/' + entry.mid(1);
    }

    // Relative and empty entries would resolve against the temp folder.
    const QString previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previousDir); });

    sysinfo::PosixPlatform platform(sysinfo::PosixPlatform::defaultTools(), entries.join(':').toStdString());
    const QString wanted = expected.isEmpty() ? QString() : root + '/' + expected;
    QCOMPARE(QString::fromStdString(platform.findTool()), wanted);

    std::string keyVal;
    QCOMPARE(sysinfo::GetKeyValue(platform, HKLM, FirstKey, FirstValue, keyVal), !wanted.isEmpty());
    QCOMPARE(QString::fromStdString(keyVal), wanted);
#endif
}

void TestSysInfo::posixRegistryAnswers()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const std::string tool = temp.path().toStdString() + "/kinfocenter";
    QVERIFY(writeFile(QString::fromStdString(tool), "#!/bin/sh\n", Executable));
    sysinfo::PosixPlatform platform({"kinfocenter"}, temp.path().toStdString());

    KeyHandle handle = 0;
    QCOMPARE(platform.regOpenKeyEx(HKLM, SecondKey, 0, sysinfo::KeyRead, handle), sysinfo::ErrorFileNotFound);
    QCOMPARE(platform.regOpenKeyEx(0x80000001u, FirstKey, 0, sysinfo::KeyRead, handle), sysinfo::ErrorFileNotFound);
    QCOMPARE(platform.regOpenKeyEx(HKLM, FirstKey, 0, sysinfo::KeyRead, handle), sysinfo::ErrorSuccess);

    unsigned char buffer[1024] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    QCOMPARE(platform.regQueryValueEx(handle, SecondValue, type, buffer, size), sysinfo::ErrorFileNotFound);

    size = sizeof buffer;
    QCOMPARE(platform.regQueryValueEx(handle, FirstValue, type, buffer, size), sysinfo::ErrorSuccess);
    QCOMPARE(type, sysinfo::RegSz);
    QCOMPARE(size, std::uint32_t(tool.size() + 1));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size)), toQt(tool).append('\0'));

    // Too small a buffer: the size needed, nothing written past it.
    unsigned char small[4] = {};
    size = sizeof small;
    QCOMPARE(platform.regQueryValueEx(handle, FirstValue, type, small, size), sysinfo::ErrorMoreData);
    QCOMPARE(size, std::uint32_t(tool.size() + 1));

    QCOMPARE(platform.regCloseKey(handle), sysinfo::ErrorSuccess);
    QCOMPARE(platform.regCloseKey(handle), sysinfo::ErrorInvalidHandle);
    size = sizeof buffer;
    QCOMPARE(platform.regQueryValueEx(handle, FirstValue, type, buffer, size), sysinfo::ErrorInvalidHandle);
#endif
}

void TestSysInfo::posixNoToolIsUnavailable()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    RecordingPosixPlatform platform(sysinfo::PosixPlatform::defaultTools(), temp.path().toStdString());

    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Unavailable);
    QVERIFY(platform.shellCalls.empty());
#endif
}

void TestSysInfo::posixStartsFoundTool()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    const QString marker = root + "/marker";

    // Records its argument count and how many of its open files point at
    // the probe the test leaves open without close-on-exec.
    const QByteArray script = "#!/bin/sh\n"
                              "leaks=$(ls -l /proc/$$/fd/ 2>/dev/null | grep -c leak-probe)\n"
                              "printf '%s %s' \"$#\" \"$leaks\" > '"
                              + QFile::encodeName(marker) + ".tmp' && mv '" + QFile::encodeName(marker) + ".tmp' '"
                              + QFile::encodeName(marker) + "'\n";
    QVERIFY(writeFile(root + "/hardinfo", script, Executable));
    QVERIFY(writeFile(root + "/leak-probe", "", Plain));
    const int probe = ::open(QFile::encodeName(root + "/leak-probe").constData(), O_RDONLY);
    QVERIFY(probe >= 0);
    auto closeProbe = qScopeGuard([probe] { ::close(probe); });

    RecordingPosixPlatform platform(sysinfo::PosixPlatform::defaultTools(), root.toStdString());
    QCOMPARE(sysinfo::StartSysInfo(platform), Outcome::Started);
    QCOMPARE(int(platform.shellCalls.size()), 1);
    QCOMPARE(QString::fromStdString(platform.shellCalls.front()), root + "/hardinfo");

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    QFile result(marker);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), QByteArray("0 0"));
    // The launcher reaped its helper and the tool is not our child.
    QVERIFY(noChildrenLeft());
#endif
}

void TestSysInfo::posixShellRefuses_data()
{
    QTest::addColumn<QString>("name");        // inside the temp folder; empty: ""
    QTest::addColumn<QByteArray>("contents"); // null: nothing created
    QTest::addColumn<bool>("executable");

    QTest::newRow("missing file") << "missing" << QByteArray() << true;
    QTest::newRow("non-executable file") << "plain" << QByteArray("#!/bin/sh\n") << false;
    QTest::newRow("executable without interpreter line") << "bare" << QByteArray("touch should-not-run\n") << true;
    QTest::newRow("folder") << "folder/" << QByteArray() << true;
    QTest::newRow("empty path") << "" << QByteArray() << true;
}

void TestSysInfo::posixShellRefuses()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(bool, executable);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    std::string path;
    if (!name.isEmpty()) {
        const QString full = temp.path() + '/' + name;
        if (name.endsWith('/'))
            QVERIFY(QDir().mkpath(full));
        else if (!contents.isNull())
            QVERIFY(writeFile(full, contents, executable ? Executable : Plain));
        path = QFile::encodeName(full).toStdString();
    }

    sysinfo::PosixPlatform platform({}, temp.path().toStdString());
    QVERIFY(!platform.shell(path));
    QVERIFY(noChildrenLeft());
#endif
}

void TestSysInfo::posixDir_data()
{
    QTest::addColumn<QString>("pattern"); // '@' is the temp folder
    QTest::addColumn<QString>("expected");

    QTest::newRow("existing file") << "@/MSINFO32.EXE"
                                   << "MSINFO32.EXE";
    QTest::newRow("missing file") << "@/nothing.exe"
                                  << "";
    QTest::newRow("folder") << "@/sub"
                            << "";
    QTest::newRow("backslash is not a separator") << "@/sub\\MSINFO32.EXE"
                                                  << "";
    QTest::newRow("no wildcards") << "@/MSINFO*.EXE"
                                  << "";
    QTest::newRow("empty pattern") << ""
                                   << "";
}

void TestSysInfo::posixDir()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX only");
#else
    QFETCH(QString, pattern);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    QVERIFY(writeFile(temp.path() + "/MSINFO32.EXE", "", Plain));
    QVERIFY(QDir(temp.path()).mkpath("sub"));
    QVERIFY(writeFile(temp.path() + "/sub/MSINFO32.EXE", "", Plain));
    pattern.replace('@', temp.path());

    sysinfo::PosixPlatform platform({}, temp.path().toStdString());
    QCOMPARE(QString::fromStdString(platform.dir(pattern.toStdString())), expected);
#endif
}

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
