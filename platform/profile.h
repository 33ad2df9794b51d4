// Private-profile (INI) files, string resources and the program's own path.
#pragma once

#include "platform/types.h"

namespace sys {

// Copies the value of section/key from file into out (at most size - 1 bytes,
// always NUL-terminated); def when the key is absent (NULL means ""). Returns
// the number of bytes copied, without the NUL.
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* out, uint32_t size,
                                  const char* file);

// The key's value as a decimal integer, def when the key is absent.
uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t def, const char* file);

// Writes section/key = value into file, creating the file when needed. False on failure.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file);

// Copies string resource id into out (at most size - 1 bytes, NUL-terminated).
// Returns the length copied; 0 when the string does not exist.
int LoadStringA(Instance instance, uint32_t id, char* out, int size);

// The full path of the program's own file, truncated to size and NUL-terminated
// when it fits exactly as the platform does it. Returns its length; 0 on failure.
uint32_t GetModuleFileNameA(char* out, uint32_t size);

}  // namespace sys
