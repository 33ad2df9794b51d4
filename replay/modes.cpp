// Play mode and browse mode, and the delete of the loaded replays between them.
#include <cstring>

#include "app/tray_application.h"
#include "replay/replay_pattern.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"

namespace {}  // namespace

void TrayApplication::SetMode(int32_t newMode) {
    if (newMode == PlayMode && mode == BrowseMode) DeleteLoadedReplays(settings.DataFolder);
    // Assigned only now: ticks during the delete must still see browse mode.
    mode = newMode;
}

void TrayApplication::DeleteLoadedReplays(const char* folder) {
    // Joined to an empty folder the pattern would name the current folder's files.
    if (folder == nullptr || folder[0] == '\0') return;

    char filePattern[kReplayPatternSize];
    GetReplayFilePattern(settings, filePattern);

    // One byte beyond a path buffer, so that even a full-length pattern is
    // followed by the NUL that closes the list.
    char pattern[sys::kMaxPath + 1];
    if (!CopyPath(pattern, sizeof pattern, folder) || !AppendPath(pattern, filePattern)) return;

    RunFileRequest(window, sys::kFoDelete, pattern, nullptr, request_flags::kRecycle, caption);
}
