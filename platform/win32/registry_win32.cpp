// The registry, the version test and run-time linking.
#include "platform/registry.h"

#include "platform/win32/win32_headers.h"

namespace sys {

int32_t RegOpenKeyExA(RegKey root, const char* subKey, uint32_t options, uint32_t access, RegKey* out) {
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExA(static_cast<HKEY>(root), subKey, options, access, &key);
    *out = key;
    return result;
}

int32_t RegQueryValueExA(RegKey key, const char* name, uint8_t* data, uint32_t* size) {
    DWORD bytes = *size;
    LONG result = ::RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, nullptr, data, &bytes);
    *size = bytes;
    return result;
}

int32_t RegCloseKey(RegKey key) { return ::RegCloseKey(static_cast<HKEY>(key)); }

int32_t RegCreateKeyExA(RegKey root, const char* subKey, uint32_t access, RegKey* out) {
    HKEY key = nullptr;
    LONG result = ::RegCreateKeyExA(static_cast<HKEY>(root), subKey, 0, nullptr, 0, access, nullptr, &key, nullptr);
    *out = key;
    return result;
}

int32_t RegSetValueExA(RegKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    return ::RegSetValueExA(static_cast<HKEY>(key), name, 0, type, data, size);
}

int32_t RegDeleteValueA(RegKey key, const char* name) { return ::RegDeleteValueA(static_cast<HKEY>(key), name); }

bool GetVersionExA(OsVersionInfo* info) {
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    // GetVersionExA is deprecated in the SDK headers but is exactly the call we mean.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = ::GetVersionExA(&version);
#pragma GCC diagnostic pop
    info->dwMajorVersion = version.dwMajorVersion;
    info->dwMinorVersion = version.dwMinorVersion;
    info->dwBuildNumber = version.dwBuildNumber;
    info->dwPlatformId = version.dwPlatformId;
    lstrcpynA(info->szCSDVersion, version.szCSDVersion, sizeof info->szCSDVersion);
    return ok != FALSE;
}

Module LoadLibraryA(const char* name) { return ::LoadLibraryA(name); }

ProcAddress GetProcAddress(Module module, const char* name) {
    return reinterpret_cast<ProcAddress>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool FreeLibrary(Module module) { return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE; }

int32_t CallSHGetFolderPathA(ProcAddress proc, Window owner, int folder, void* token, uint32_t flags, char* path) {
    // SHGetFolderPathA is WINAPI (stdcall on i686): calling it through a plain
    // function pointer would unbalance the stack.
    typedef HRESULT(WINAPI * ShGetFolderPathFn)(HWND, int, HANDLE, DWORD, LPSTR);
    ShGetFolderPathFn call = reinterpret_cast<ShGetFolderPathFn>(proc);
    return call(static_cast<HWND>(owner), folder, static_cast<HANDLE>(token), flags, path);
}

int32_t CallSHQueryUserNotificationState(ProcAddress proc, int32_t* state) {
    // WINAPI too; the enumeration is an int.
    typedef HRESULT(WINAPI * QueryStateFn)(int*);
    int answer = 0;
    HRESULT result = reinterpret_cast<QueryStateFn>(proc)(&answer);
    *state = answer;
    return result;
}

}  // namespace sys
