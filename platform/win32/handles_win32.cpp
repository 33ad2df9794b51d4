// Files by handle, mutexes and the last error.
#include "platform/handles.h"

#include "platform/win32/win32_headers.h"

namespace sys {

Handle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags) {
    HANDLE file = ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidHandle : file;
}

Handle CreateMutexA(const char* name) { return ::CreateMutexA(nullptr, FALSE, name); }

uint32_t GetLastError() { return ::GetLastError(); }

bool CloseHandle(Handle handle) {
    if (handle == nullptr || handle == kInvalidHandle) return false;
    return ::CloseHandle(static_cast<HANDLE>(handle)) != FALSE;
}

}  // namespace sys
