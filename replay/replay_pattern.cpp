#include "replay/replay_pattern.h"

#include <cstring>

#include "settings/profile_settings.h"
#include "shellops/append_path.h"

namespace {

constexpr uint32_t kDefaultPatternText = 4;

}  // namespace

bool IsReplayFilePattern(const char* pattern) {
    if (pattern == nullptr || pattern[0] == '\0') return false;
    bool onlyDots = true;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern); *p != '\0'; ++p) {
        // The second byte of a double-byte character may be 0x5C and is no separator.
        if (IsLeadByte(*p) && p[1] != '\0') {
            ++p;
            onlyDots = false;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == ':') return false;
        if (*p != '.') onlyDots = false;
    }
    // "." and ".." name folders, never files.
    return !onlyDots;
}

void GetReplayFilePattern(ProfileSettings& settings, char* out) {
    const char* pattern = settings.ReplayCopySrc;
    if (!IsReplayFilePattern(pattern)) pattern = settings.LoadText(kDefaultPatternText);
    std::memset(out, 0, kReplayPatternSize);
    std::strncpy(out, pattern, kReplayPatternSize - 1);
}
