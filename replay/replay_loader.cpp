// Loading a folder of stored replays into the slot files, for the game to show.
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "replay/replay_pattern.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/path_list.h"

namespace {

constexpr uint32_t kCountOfWrappedRange = 100;

// Bytes of one copy list: a path buffer per slot and the NUL that closes the list.
// Zero when the platform could not address that much.
std::size_t ListSize(uint32_t count) {
    uint64_t bytes = static_cast<uint64_t>(count) * sys::kMaxPath + 1;
    if (bytes > static_cast<uint64_t>(SIZE_MAX)) return 0;
    return static_cast<std::size_t>(bytes);
}

}  // namespace

void TrayApplication::ChooseAndLoadReplays() {
    char chosen[sys::kMaxPath];
    std::memset(chosen, 0, sizeof chosen);
    const char* start =
        settings.ReplayLastOpenedFolder[0] != '\0' ? settings.ReplayLastOpenedFolder : settings.DataFolder;

    BrowseForFolder(chosen, start);
    if (chosen[0] == '\0') return;
    // A close let through by the picker's loop has destroyed the window.
    if (window == nullptr) return;

    LoadReplays(chosen, settings.DataFolder);
    CopyPath(settings.ReplayLastOpenedFolder, sizeof settings.ReplayLastOpenedFolder, chosen);
}

void TrayApplication::LoadReplays(const char* sourceFolder, const char* dataFolder) {
    // Without a data folder the slot names would be joined to the current folder.
    if (dataFolder[0] == '\0') return;

    uint32_t first = settings.GetMinIndex();
    uint32_t last = settings.GetMaxIndex();
    // A range that runs backwards has no slot to load into.
    if (first > last) {
        SetMode(BrowseMode);
        return;
    }
    uint32_t count = last - first + 1;
    if (count == 0) count = kCountOfWrappedRange;

    std::size_t listSize = ListSize(count);
    char* sourceBuffer = listSize != 0 ? static_cast<char*>(sys::AllocateZeroed(listSize)) : nullptr;
    char* targetBuffer = listSize != 0 ? static_cast<char*>(sys::AllocateZeroed(listSize)) : nullptr;
    // Nothing was loaded: stay in the mode the user had, which still archives.
    if (sourceBuffer == nullptr || targetBuffer == nullptr) {
        sys::Free(sourceBuffer);
        sys::Free(targetBuffer);
        return;
    }
    PathList sources(sourceBuffer, listSize);
    PathList targets(targetBuffer, listSize);

    char filePattern[kReplayPatternSize];
    GetReplayFilePattern(settings, filePattern);
    char pattern[sys::kMaxPath];
    sys::FindData found;
    sys::SearchHandle search = sys::kInvalidSearch;
    if (CopyPath(pattern, sizeof pattern, sourceFolder) && AppendPath(pattern, filePattern)) {
        search = sys::FindFirstFileA(pattern, &found);
    }

    if (search != sys::kInvalidSearch) {
        // The k-th file found goes onto slot first + k - 1.
        uint32_t slot = first;
        uint32_t slotsUsed = 0;
        do {
            if (slot > last || slotsUsed == count) break;
            // "." and ".." and folders that match are no replays.
            if (found.dwFileAttributes & sys::kFileAttributeDirectory) continue;

            char source[sys::kMaxPath];
            char target[sys::kMaxPath];
            char slotName[sys::kMaxPath];
            // A pair that does not fit is left out; its slot keeps what it holds.
            if (CopyPath(source, sizeof source, sourceFolder) && AppendPath(source, found.cFileName) &&
                slotScan.FormatSlotName(slotName, sizeof slotName, slot) &&
                CopyPath(target, sizeof target, dataFolder) && AppendPath(target, slotName)) {
                PathList::AppendPair(sources, source, targets, target);
            }
            ++slot;
            ++slotsUsed;
            if (slot == 0) break;  // past the highest slot number there is
        } while (sys::FindNextFileA(search, &found));
        sys::FindClose(search);
    }

    if (sources.count > 0) {
        RunFileRequest(window, sys::kFoCopy, sources.Text(), targets.Text(), request_flags::kPairedCopy, caption);
    }

    sys::Free(sourceBuffer);
    sys::Free(targetBuffer);
    // Also when nothing matched: the game now shows whatever the slots hold.
    SetMode(BrowseMode);
}
