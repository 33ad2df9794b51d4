// Starting with Windows: the value ZOLM of the user's Run key, holding this
// program's path in quotes. The value is the setting; the INI file has no key.
#include <cstring>

#include "app/tray_application.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "ZOLM";

// Room for a path, its two quotes and its NUL.
constexpr std::size_t kQuotedPathSize = sys::kMaxPath + 2;

// This program's path in quotes, as the Run value holds it; false when the path
// is unknown.
bool QuotedProgramPath(char (&out)[kQuotedPathSize]) {
    std::memset(out, 0, sizeof out);
    uint32_t length = sys::GetModuleFileNameA(out + 1, sys::kMaxPath);
    if (length == 0 || length >= sys::kMaxPath) return false;
    out[0] = '"';
    out[length + 1] = '"';
    return true;
}

}  // namespace

bool TrayApplication::StartsWithWindows() {
    char program[kQuotedPathSize];
    sys::RegKey key = nullptr;
    if (!QuotedProgramPath(program) ||
        sys::RegOpenKeyExA(sys::kHkeyCurrentUser, kRunKey, 0, sys::kKeyQueryValue, &key) != 0) {
        return false;
    }
    // Room for this path and its NUL, and one byte more: a longer value names another.
    char value[sizeof program + 1];
    std::memset(value, 0, sizeof value);
    uint32_t size = sizeof value - 1;
    bool read = sys::RegQueryValueExA(key, kRunValue, reinterpret_cast<uint8_t*>(value), &size) == 0;
    sys::RegCloseKey(key);
    // A copy of the program elsewhere, or another program, is not this one.
    return read && SameNameIgnoringCase(value, program);
}

void TrayApplication::ToggleStartWithWindows() {
    bool starts = StartsWithWindows();
    char program[kQuotedPathSize];
    sys::RegKey key = nullptr;
    bool changed = QuotedProgramPath(program) &&
                   sys::RegCreateKeyExA(sys::kHkeyCurrentUser, kRunKey, sys::kKeySetValue, &key) == 0;
    if (changed) {
        int32_t result =
            starts ? sys::RegDeleteValueA(key, kRunValue)
                   : sys::RegSetValueExA(key, kRunValue, sys::kRegSz, reinterpret_cast<const uint8_t*>(program),
                                         static_cast<uint32_t>(std::strlen(program) + 1));
        changed = result == 0;
        sys::RegCloseKey(key);
    }
    // A locked-down registry: the player must not believe the change was made.
    if (!changed) {
        sys::MessageBoxA(window, settings.LoadText(IDS_START_WITH_WINDOWS_FAILED), caption,
                         sys::kMbOk | sys::kMbIconInformation);
    }
}
