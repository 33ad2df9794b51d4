// The fake registry (HKCU\Software\Sega\PuyoF and the Run key), version test
// and shell32 linking.
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "platform/registry.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

using fake::state;

constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorInvalidHandle = 6;
constexpr int32_t kErrorInvalidParameter = 87;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kEInvalidArg = static_cast<int32_t>(0x80070057u);

// Handles that the fake hands out; their values mean nothing else.
const sys::Module kShell32 = reinterpret_cast<sys::Module>(static_cast<uintptr_t>(0x7C9C0000u));
int shGetFolderPathProcMarker;  // its address stands for the export
const sys::ProcAddress kShGetFolderPathProc = &shGetFolderPathProcMarker;
int queryNotificationProcMarker;
const sys::ProcAddress kQueryNotificationProc = &queryNotificationProcMarker;

const char kGameKey[] = "Software\\Sega\\PuyoF";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Open keys: true for the Run key, false for the game's.
std::map<sys::RegKey, bool>& OpenKeys() {
    static std::map<sys::RegKey, bool> keys;
    return keys;
}

sys::RegKey OpenKey(bool run) {
    sys::RegKey key = fake::detail::NewHandle();
    OpenKeys()[key] = run;
    ++state().registryOpenCount;
    return key;
}

bool IsRunKey(sys::RegKey key) {
    auto found = OpenKeys().find(key);
    return found != OpenKeys().end() && found->second;
}

// Open keys of Task Manager's startup list: Run keys whose values are its records.
std::set<sys::RegKey> approvedKeys;
std::map<std::string, std::string>& ValuesOf(sys::RegKey key) {
    return approvedKeys.count(key) != 0 ? state().approvedValues : state().runValues;
}

int& LoadedShell32() {
    static int count = 0;
    return count;
}

bool EqualNoCase(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    return fake::detail::FoldPath(a) == fake::detail::FoldPath(b);
}

}  // namespace

namespace fake {
namespace detail {

void ResetRegistry() {
    OpenKeys().clear();
    approvedKeys.clear();
    LoadedShell32() = 0;
}

int OpenKeyCount() { return static_cast<int>(OpenKeys().size()); }

int LoadedLibraryCount() { return LoadedShell32(); }

}  // namespace detail
}  // namespace fake

namespace sys {

int32_t RegOpenKeyExA(RegKey root, const char* subKey, uint32_t options, uint32_t access, RegKey* out) {
    state().calls.push_back("RegOpenKeyExA");
    if (fake::ShouldFail("RegOpenKeyExA")) return kErrorAccessDenied;
    (void)access;
    if (options != 0) return kErrorInvalidParameter;
    if (root == kHkeyCurrentUser && (EqualNoCase(subKey, kRunKey) || EqualNoCase(subKey, kApprovedKey))) {
        *out = OpenKey(true);
        if (EqualNoCase(subKey, kApprovedKey)) approvedKeys.insert(*out);
        return kErrorSuccess;
    }
    if (root != kHkeyCurrentUser || !EqualNoCase(subKey, kGameKey) || !state().registryKeyExists) {
        return kErrorFileNotFound;
    }
    *out = OpenKey(false);
    return kErrorSuccess;
}

int32_t RegCreateKeyExA(RegKey root, const char* subKey, uint32_t, RegKey* out) {
    state().calls.push_back("RegCreateKeyExA");
    if (fake::ShouldFail("RegCreateKeyExA")) return kErrorAccessDenied;
    if (root != kHkeyCurrentUser || !EqualNoCase(subKey, kRunKey)) return kErrorAccessDenied;
    *out = OpenKey(true);
    return kErrorSuccess;
}

int32_t RegSetValueExA(RegKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    state().calls.push_back("RegSetValueExA");
    if (fake::ShouldFail("RegSetValueExA")) return kErrorAccessDenied;
    if (!IsRunKey(key) || type != kRegSz || size == 0 || data[size - 1] != '\0') return kErrorInvalidHandle;
    state().runValues[fake::detail::FoldPath(name)] = reinterpret_cast<const char*>(data);
    return kErrorSuccess;
}

int32_t RegDeleteValueA(RegKey key, const char* name) {
    state().calls.push_back("RegDeleteValueA");
    if (fake::ShouldFail("RegDeleteValueA")) return kErrorAccessDenied;
    if (!IsRunKey(key)) return kErrorInvalidHandle;
    return ValuesOf(key).erase(fake::detail::FoldPath(name)) == 1 ? kErrorSuccess : kErrorFileNotFound;
}

int32_t RegQueryValueExA(RegKey key, const char* name, uint8_t* data, uint32_t* size) {
    state().calls.push_back("RegQueryValueExA");
    if (fake::ShouldFail("RegQueryValueExA")) return kErrorAccessDenied;
    if (OpenKeys().count(key) == 0) return kErrorInvalidHandle;
    std::string bytes;
    if (IsRunKey(key)) {
        auto value = ValuesOf(key).find(fake::detail::FoldPath(name));
        if (value == ValuesOf(key).end()) return kErrorFileNotFound;
        bytes = value->second + (approvedKeys.count(key) != 0 ? "" : std::string(1, '\0'));  // a record, or text
    } else {
        if (!EqualNoCase(name, "Install Path") || !state().installPathExists) return kErrorFileNotFound;
        bytes = state().installPathBytes;
        if (state().installPathTerminated) bytes += '\0';
    }
    uint32_t needed = static_cast<uint32_t>(bytes.size());
    if (data == nullptr) {
        *size = needed;
        return kErrorSuccess;
    }
    if (needed > *size) {
        *size = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, bytes.data(), needed);
    *size = needed;
    return kErrorSuccess;
}

int32_t RegCloseKey(RegKey key) {
    state().calls.push_back("RegCloseKey");
    approvedKeys.erase(key);
    if (OpenKeys().erase(key) == 0) return kErrorInvalidHandle;
    if (fake::ShouldFail("RegCloseKey")) return kErrorInvalidHandle;
    ++state().registryCloseCount;
    return kErrorSuccess;
}

bool GetVersionExA(OsVersionInfo* info) {
    state().calls.push_back("GetVersionExA");
    if (fake::ShouldFail("GetVersionExA")) return false;
    if (info->dwOSVersionInfoSize != kOsVersionInfoSize) return false;
    *info = state().version;
    info->dwOSVersionInfoSize = kOsVersionInfoSize;
    return true;
}

Module LoadLibraryA(const char* name) {
    state().calls.push_back("LoadLibraryA");
    if (fake::ShouldFail("LoadLibraryA")) return nullptr;
    if (!state().shell32Loads || !(EqualNoCase(name, "Shell32.dll") || EqualNoCase(name, "Shell32"))) {
        return nullptr;
    }
    ++LoadedShell32();
    return kShell32;
}

ProcAddress GetProcAddress(Module module, const char* name) {
    state().calls.push_back("GetProcAddress");
    if (fake::ShouldFail("GetProcAddress")) return nullptr;
    if (module != kShell32 || LoadedShell32() == 0 || name == nullptr) return nullptr;
    if (std::strcmp(name, "SHQueryUserNotificationState") == 0) return kQueryNotificationProc;
    if (!state().shGetFolderPathExported || std::strcmp(name, "SHGetFolderPathA") != 0) return nullptr;
    return kShGetFolderPathProc;
}

int32_t CallSHQueryUserNotificationState(ProcAddress proc, int32_t* answer) {
    state().calls.push_back("CallSHQueryUserNotificationState");
    if (proc != kQueryNotificationProc || LoadedShell32() == 0) return kEInvalidArg;
    *answer = state().userNotificationState;
    return kErrorSuccess;
}

bool FreeLibrary(Module module) {
    state().calls.push_back("FreeLibrary");
    if (fake::ShouldFail("FreeLibrary")) return false;
    if (module != kShell32 || LoadedShell32() == 0) return false;
    --LoadedShell32();
    return true;
}

int32_t CallSHGetFolderPathA(ProcAddress proc, Window owner, int folder, void* token, uint32_t flags, char* path) {
    state().calls.push_back("CallSHGetFolderPathA");
    if (fake::ShouldFail("CallSHGetFolderPathA")) {
        if (path != nullptr) path[0] = '\0';
        return kEFail;
    }
    if (proc != kShGetFolderPathProc || LoadedShell32() == 0) return kEInvalidArg;  // a bad pointer in real life
    // Only what the program asks for is answered: the current user's application data.
    if (owner != nullptr || folder != 0x1A || token != nullptr || flags != 0 || path == nullptr) return kEInvalidArg;
    int32_t result = state().shGetFolderPathResult;
    if (result < 0) {
        path[0] = '\0';
        return result;
    }
    std::strncpy(path, state().appDataFolder.c_str(), kMaxPath - 1);
    path[kMaxPath - 1] = '\0';
    return result;
}

}  // namespace sys
