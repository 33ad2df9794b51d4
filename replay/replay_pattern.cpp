#include "replay/replay_pattern.h"

#include <cstring>

#include "settings/profile_settings.h"
#include "shellops/append_path.h"

namespace {

constexpr uint32_t kDefaultPatternText = 4;

}  // namespace

bool IsReplayFilePattern(const char* pattern) { return IsPlainFileName(pattern); }

void GetReplayFilePattern(ProfileSettings& settings, char* out) {
    const char* pattern = settings.ReplayCopySrc;
    if (!IsReplayFilePattern(pattern)) pattern = settings.LoadText(kDefaultPatternText);
    std::memset(out, 0, kReplayPatternSize);
    std::strncpy(out, pattern, kReplayPatternSize - 1);
}
