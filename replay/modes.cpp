// Play mode and browse mode, and the recycle of the loaded replays between them.
#include <cstring>

#include "app/tray_application.h"
#include "platform/memory.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/path_list.h"

void TrayApplication::SetMode(int32_t newMode) {
    // A switch, the one at the end of a load too, ends the archive pass where it
    // is: its remaining slots wait for later ticks.
    EndArchivePass();
    if (newMode == PlayMode && mode == BrowseMode) {
        // Replays that may still lie in the slots would be archived as new ones.
        if (!DeleteLoadedReplays(settings.DataFolder)) return;
    }
    // The game may write the slots during browse mode: what the scans saw
    // before does not vouch for what the slots hold afterwards.
    if (newMode == BrowseMode) presence.ForgetAll();
    // Assigned only now: ticks during the recycle must still see browse mode.
    mode = newMode;
}

bool TrayApplication::DeleteLoadedReplays(const char* folder) {
    // The shell would take a relative name from the current folder and delete
    // it for good rather than recycle it.
    if (!IsFullyQualifiedPath(folder)) return true;

    uint32_t recorded = 0;
    for (uint32_t index = 0; index < kMaxTrackedSlots; ++index) recorded += slotLoaded[index] ? 1 : 0;
    if (recorded == 0) return true;

    std::size_t listSize = static_cast<std::size_t>(recorded) * sys::kMaxPath + 1;
    char* buffer = static_cast<char*>(sys::AllocateZeroed(listSize));
    if (buffer == nullptr) return false;
    PathList unchanged(buffer, listSize);

    // Only the slots a load wrote and nobody has written since: a replay the game
    // wrote during browse mode, or a slot whose replace the user refused, stays
    // for the monitor to archive.
    uint32_t first = settings.GetMinIndex();
    for (uint32_t index = 0; index < kMaxTrackedSlots; ++index) {
        if (!slotLoaded[index]) continue;
        char slotName[sys::kMaxPath];
        char path[sys::kMaxPath];
        FileStamp now;
        if (!slotScan.FormatSlotName(slotName, sizeof slotName, first + index) ||
            !CopyPath(path, sizeof path, folder) || !AppendPath(path, slotName)) {
            continue;
        }
        if (ReadFileStamp(path, &now) && SameStamp(now, loadedStamps[index])) unchanged.Append(path);
    }

    int result = 0;
    if (unchanged.count > 0) {
        result = RunFileRequest(window, sys::kFoDelete, unchanged.Text(), nullptr, request_flags::kRecycle, caption);
    }
    sys::Free(buffer);
    if (result != 0) return false;
    std::memset(slotLoaded, 0, sizeof slotLoaded);
    return true;
}
