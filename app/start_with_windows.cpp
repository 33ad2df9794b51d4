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
// Task Manager and Settings turn a startup entry off here and leave the Run
// value alone: a binary record under the value's name, whose first byte is odd
// while the entry is off (02 or 06 on, 03 off).
const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

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

// True when Windows keeps a record that turns the Run value off. With access
// kKeySetValue as well, such a record is removed.
bool TurnedOffByWindows(uint32_t access) {
    sys::RegKey key = nullptr;
    if (sys::RegOpenKeyExA(sys::kHkeyCurrentUser, kApprovedKey, 0, access, &key) != 0) return false;
    uint8_t record[64];
    std::memset(record, 0, sizeof record);
    uint32_t size = sizeof record;
    bool off = sys::RegQueryValueExA(key, kRunValue, record, &size) == 0 && size != 0 && (record[0] & 1) != 0;
    if (off && (access & sys::kKeySetValue) != 0) off = sys::RegDeleteValueA(key, kRunValue) != 0;
    sys::RegCloseKey(key);
    return off;
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
    return read && SameNameIgnoringCase(value, program) && !TurnedOffByWindows(sys::kKeyQueryValue);
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
    // Turned on, it must not stay turned off by Windows; turned off, Windows'
    // own record is left as it is.
    if (changed && !starts) changed = !TurnedOffByWindows(sys::kKeyQueryValue | sys::kKeySetValue);
    // A locked-down registry: the player must not believe the change was made.
    if (!changed) {
        sys::MessageBoxA(window, settings.LoadText(IDS_START_WITH_WINDOWS_FAILED), caption,
                         sys::kMbOk | sys::kMbIconInformation);
    }
}
