#include "replay/replay_pattern.h"

#include <cstring>

#include "res/resource.h"
#include "settings/profile_settings.h"
#include "shellops/append_path.h"

void GetReplayFilePattern(ProfileSettings& settings, char* out) {
    const char* pattern = settings.ReplayCopySrc;
    if (!IsPlainFileName(pattern)) pattern = settings.LoadText(IDS_REPLAY_COPY_SRC);
    std::memset(out, 0, kReplayPatternSize);
    std::strncpy(out, pattern, kReplayPatternSize - 1);
}
