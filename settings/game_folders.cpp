// The game's install folder from the registry and its data folder.
#include <cstring>

#include "platform/registry.h"
#include "settings/profile_settings.h"

namespace {

void CopyPath(char* out, const char* path) {
    std::size_t length = std::strlen(path);
    if (length > sys::kMaxPath - 1) length = sys::kMaxPath - 1;
    std::memcpy(out, path, length);
    out[length] = '\0';
}

}  // namespace

char* ProfileSettings::GetRegistryInstallPath() {
    if (RegistryInstallPath[0] != '\0') return RegistryInstallPath;
    std::memset(RegistryInstallPath, 0, sizeof RegistryInstallPath);
    uint32_t size = sizeof RegistryInstallPath;
    sys::RegKey key = nullptr;
    if (sys::RegOpenKeyExA(sys::kHkeyCurrentUser, "Software\\Sega\\PuyoF", 0, sys::kKeyQueryValue, &key) != 0) {
        return RegistryInstallPath;
    }
    int32_t result = sys::RegQueryValueExA(key, "Install Path", reinterpret_cast<uint8_t*>(RegistryInstallPath), &size);
    // A value that fills the whole buffer without a NUL is no path that can be used.
    if (result != 0 || std::memchr(RegistryInstallPath, '\0', sizeof RegistryInstallPath) == nullptr) {
        std::memset(RegistryInstallPath, 0, sizeof RegistryInstallPath);
    }
    sys::RegCloseKey(key);
    return RegistryInstallPath;
}

char* ProfileSettings::GetDefaultDataFolder() {
    if (DefaultDataFolder[0] != '\0') return DefaultDataFolder;
    if (IsWin9x()) {
        CopyPath(DefaultDataFolder, GetRegistryInstallPath());
        return DefaultDataFolder;
    }
    int32_t result =
        CallSHGetFolderPath(nullptr, sys::kCsidlAppData, nullptr, sys::kShgfpTypeCurrent, DefaultDataFolder);
    DefaultDataFolder[sizeof DefaultDataFolder - 1] = '\0';
    static const char kGameFolder[] = "\\Sega\\PuyoF\\";
    if (result >= 0 && std::strlen(DefaultDataFolder) + sizeof kGameFolder <= sizeof DefaultDataFolder) {
        std::strcat(DefaultDataFolder, kGameFolder);
    } else {
        // Failure, or an application-data folder too long to hold the game's folder.
        CopyPath(DefaultDataFolder, GetRegistryInstallPath());
    }
    return DefaultDataFolder;
}

bool ProfileSettings::IsWin9x() {
    sys::OsVersionInfo info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sys::kOsVersionInfoSize;
    sys::GetVersionExA(&info);
    return info.dwPlatformId == sys::kVerPlatformWin32Windows && info.dwMajorVersion == 4 && info.dwMinorVersion <= 10;
}

int32_t ProfileSettings::CallSHGetFolderPath(sys::Window owner, int folder, void* token, uint32_t flags, char* path) {
    sys::Module shell32 = sys::LoadLibraryA("Shell32.dll");
    if (shell32 == nullptr) return -1;
    int32_t result = -1;
    sys::ProcAddress proc = sys::GetProcAddress(shell32, "SHGetFolderPathA");
    if (proc != nullptr) result = sys::CallSHGetFolderPathA(proc, owner, folder, token, flags, path);
    sys::FreeLibrary(shell32);
    return result;
}
