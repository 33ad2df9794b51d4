// Files by handle, mutexes and the last error.
#include "platform/handles.h"

#include "platform/win32/win32_headers.h"

namespace sys {

Handle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags) {
    HANDLE file = ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidHandle : file;
}

bool ReadFile(Handle file, void* buffer, uint32_t size, uint32_t* read) {
    DWORD done = 0;
    BOOL ok = ::ReadFile(static_cast<HANDLE>(file), buffer, size, &done, nullptr);
    *read = ok ? done : 0;
    return ok != FALSE;
}

Handle CreateMutexA(const char* name) { return ::CreateMutexA(nullptr, FALSE, name); }

uint32_t GetLastError() { return ::GetLastError(); }

uint32_t FormatMessageA(uint32_t error, char* out, uint32_t size) {
    if (size == 0) return 0;
    out[0] = '\0';
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, out,
                                    size, nullptr);
    if (length >= size) length = size - 1;
    while (length > 0 && (out[length - 1] == '\r' || out[length - 1] == '\n' || out[length - 1] == ' ')) --length;
    out[length] = '\0';
    return length;
}

bool CloseHandle(Handle handle) {
    if (handle == nullptr || handle == kInvalidHandle) return false;
    return ::CloseHandle(static_cast<HANDLE>(handle)) != FALSE;
}

}  // namespace sys
