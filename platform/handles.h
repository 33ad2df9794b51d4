// Kernel objects the program holds by handle: the single-instance mutex, the
// files that test whether a folder or a file can be written, and files read.
#pragma once

#include "platform/types.h"

namespace sys {

// Opens or creates the file with the given access, share mode, creation disposition and
// flags (no security attributes, no template). kInvalidHandle on failure;
// otherwise the handle must be closed with CloseHandle.
Handle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags);

// Reads up to size bytes from the file's position into buffer and moves past
// them; *read is 0 at the end of the file. False on failure.
bool ReadFile(Handle file, void* buffer, uint32_t size, uint32_t* read);

// Opens the named mutex of this session, creating it when it does not exist yet,
// without taking ownership. NULL on failure. GetLastError then tells whether it
// existed already (kErrorAlreadyExists). The system closes it when the process ends.
Handle CreateMutexA(const char* name);

// The calling thread's last error code.
uint32_t GetLastError();

// The system's text for an error code, in the user's language, into out (size
// bytes, NUL-terminated; the line break that ends it removed). Returns its
// length; 0 when the system has none.
uint32_t FormatMessageA(uint32_t error, char* out, uint32_t size);

// False on failure; NULL and kInvalidHandle are ignored.
bool CloseHandle(Handle handle);

}  // namespace sys
