// Play mode and browse mode, and the delete of the loaded replays between them.
#include <cstring>

#include "app/tray_application.h"
#include "platform/shell.h"
#include "replay/replay_pattern.h"
#include "shellops/append_path.h"

namespace {

constexpr uint16_t kDeleteFlags = sys::kFofAllowUndo | sys::kFofFilesOnly | sys::kFofSimpleProgress;

}  // namespace

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
    std::memset(pattern, 0, sizeof pattern);
    if (std::memchr(folder, '\0', sys::kMaxPath) == nullptr) return;
    std::strcpy(pattern, folder);
    if (!AppendPath(pattern, filePattern)) return;

    sys::FileOpRequest request;
    std::memset(&request, 0, sizeof request);
    request.hwnd = window;
    request.wFunc = sys::kFoDelete;
    request.pFrom = pattern;
    request.pTo = nullptr;
    request.fFlags = kDeleteFlags;
    request.fAnyOperationsAborted = 0;
    request.hNameMappings = nullptr;
    request.lpszProgressTitle = caption;
    sys::SHFileOperationA(&request);
}
