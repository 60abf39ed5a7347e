// Makes a registry key readable by everyone and writable by no one, then
// reports whether the registry holds to it: asking for write access must be
// refused and read-only access granted. With --check it only reports.
//
// Exit codes: 0 the key is read-only; 3 write access is still granted (the
// registry ignores the key's access list); 1 anything else went wrong.

#include "screens/sysinfo.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/win32/windows.h"

namespace {

// What the launcher asked for before it was made read-only.
constexpr REGSAM ReadWriteAccess = 0x2003F;

bool makeReadOnly(const char *keyName)
{
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, WRITE_DAC | READ_CONTROL, &key);
    if (status != ERROR_SUCCESS) {
        std::printf("keyguard: opening %s to change its access list failed: %ld\n", keyName, status);
        return false;
    }

    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        ::RegCloseKey(key);
        return false;
    }

    // One entry: everyone may read. Protected, so nothing is inherited that
    // would give write access back.
    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(everyone);
    std::vector<unsigned char> aclBytes(aclSize);
    auto *acl = reinterpret_cast<PACL>(aclBytes.data());
    SECURITY_DESCRIPTOR descriptor;
    const bool built = ::InitializeAcl(acl, aclSize, ACL_REVISION)
                       && ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone)
                       && ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)
                       && ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    status =
        built ? ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, &descriptor)
              : LONG(::GetLastError());
    ::FreeSid(everyone);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        std::printf("keyguard: setting the access list of %s failed: %ld\n", keyName, status);
        return false;
    }
    return true;
}

LONG tryOpen(const char *keyName, REGSAM access)
{
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, access, &key);
    if (status == ERROR_SUCCESS)
        ::RegCloseKey(key);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const bool checkOnly = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !checkOnly) {
        std::printf("usage: keyguard [--check] KEY-UNDER-HKLM\n");
        return 1;
    }
    const char *keyName = argv[argc - 1];

    if (!checkOnly && !makeReadOnly(keyName))
        return 1;

    const LONG readWrite = tryOpen(keyName, ReadWriteAccess);
    const LONG readOnly = tryOpen(keyName, sysinfo::KeyRead);
    std::printf("keyguard: %s: read-write open -> %ld, read-only open -> %ld\n", keyName, readWrite, readOnly);
    if (readOnly != ERROR_SUCCESS)
        return 1;
    if (readWrite == ERROR_SUCCESS)
        return 3;
    return readWrite == ERROR_ACCESS_DENIED ? 0 : 1;
}
