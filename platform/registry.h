// The registry, the version test and run-time linking.
#pragma once

#include "platform/types.h"

namespace sys {

const RegKey kHkeyCurrentUser = reinterpret_cast<RegKey>(static_cast<uintptr_t>(0x80000001u));
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kRegSz = 1;

// Results are Win32 error codes: 0 is success. A key opened with success must be
// closed with RegCloseKey.
int32_t RegOpenKeyExA(RegKey root, const char* subKey, uint32_t options, uint32_t access, RegKey* out);
// Reads value name straight into data; *size is the buffer size in and the
// data size out. The value's type is not asked for.
int32_t RegQueryValueExA(RegKey key, const char* name, uint8_t* data, uint32_t* size);
int32_t RegCloseKey(RegKey key);
// Opens the key, making it when it is missing (no class, options or security).
int32_t RegCreateKeyExA(RegKey root, const char* subKey, uint32_t access, RegKey* out);
// Writes value name of type with size bytes of data.
int32_t RegSetValueExA(RegKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size);
int32_t RegDeleteValueA(RegKey key, const char* name);

// Fills info (dwOSVersionInfoSize set by the caller). False on failure.
bool GetVersionExA(OsVersionInfo* info);

// NULL on failure. A loaded library is freed with FreeLibrary.
Module LoadLibraryA(const char* name);
// NULL when the module has no such export.
ProcAddress GetProcAddress(Module module, const char* name);
bool FreeLibrary(Module module);

// Calls proc, which GetProcAddress returned for "SHGetFolderPathA", with the five
// arguments of that function; path receives up to 260 bytes. Returns its HRESULT.
int32_t CallSHGetFolderPathA(ProcAddress proc, Window owner, int folder, void* token, uint32_t flags, char* path);
// Calls proc, which GetProcAddress returned for "SHQueryUserNotificationState"
// (Vista and later): *state receives a QUERY_USER_NOTIFICATION_STATE. Returns
// its HRESULT.
int32_t CallSHQueryUserNotificationState(ProcAddress proc, int32_t* state);
constexpr int kCsidlAppData = 0x1A;        // the user's roaming application data
constexpr uint32_t kShgfpTypeCurrent = 0;  // the folder's path as it is now

}  // namespace sys
