// Private-profile files, string resources and the program's own path.
#include "platform/profile.h"

#include "platform/win32/win32_headers.h"

namespace sys {

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* out, uint32_t size,
                                  const char* file) {
    return ::GetPrivateProfileStringA(section, key, def, out, size, file);
}

uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t def, const char* file) {
    return ::GetPrivateProfileIntA(section, key, def, file);
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file) {
    return ::WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

int LoadStringA(Instance instance, uint32_t id, char* out, int size) {
    return ::LoadStringA(static_cast<HINSTANCE>(instance), id, out, size);
}

uint32_t GetModuleFileNameA(char* out, uint32_t size) { return ::GetModuleFileNameA(nullptr, out, size); }

}  // namespace sys
