// Loading a folder of stored replays into the slot files, for the game to show.
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/memory.h"
#include "replay/replay_pattern.h"
#include "replay/sorted_names.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/file_search.h"
#include "shellops/path_list.h"

namespace {

// The slots a load can fill: the range, never more than are tracked. Zero for a
// range that runs backwards.
uint32_t SlotCount(uint32_t first, uint32_t last) {
    if (first > last) return 0;
    uint64_t span = static_cast<uint64_t>(last) - first + 1;
    return span < kMaxTrackedSlots ? static_cast<uint32_t>(span) : kMaxTrackedSlots;
}

// Offers every file of the folder whose long name matches pattern; a folder is
// never a replay.
void CollectReplayNames(const char* sourceFolder, const char* pattern, SortedNames& names) {
    char search[sys::kMaxPath];
    if (!CopyPath(search, sizeof search, sourceFolder) || !AppendPath(search, pattern)) return;
    ForEachFile(search, [&](const sys::FindData& found) {
        names.Offer(found.cFileName);
        return true;
    });
}

// The source and target of the index-th name kept. False when either does not
// fit a path buffer: that slot is skipped and keeps what it holds.
bool BuildPair(TrayApplication& app, const char* sourceFolder, const char* dataFolder, const char* name, uint32_t slot,
               char* source, char* target) {
    char slotName[sys::kMaxPath];
    return CopyPath(source, sys::kMaxPath, sourceFolder) && AppendPath(source, name) &&
           app.slotScan.FormatSlotName(slotName, sizeof slotName, slot) &&
           CopyPath(target, sys::kMaxPath, dataFolder) && AppendPath(target, slotName);
}

// What a slot needs before a replay is loaded into it.
enum class Readiness : uint8_t { kLeftOut, kReady, kCopy };

// Readies the slot at target for a loaded replay: empty, or holding what the
// last load put there, unchanged (the shell then asks before it replaces it).
// Anything else is a replay of the game's that the monitor has not moved yet,
// and it is archived now, whatever the two-scan rule would say: a replace
// answered Yes would lose it for good. A copy of a replay archived already is
// only named (kCopy): all of them go to the recycle bin in one request.
// kLeftOut when the slot cannot be readied: it is left out of this load.
Readiness ReadySlot(TrayApplication& app, const char* dataFolder, const char* target, uint32_t index) {
    uint32_t attributes = sys::GetFileAttributesA(target);
    if (attributes == sys::kInvalidFileAttributes) {
        uint32_t error = sys::GetLastError();
        bool empty = error == sys::kErrorFileNotFound || error == sys::kErrorPathNotFound;
        return empty ? Readiness::kReady : Readiness::kLeftOut;
    }
    sys::FindData found;
    if ((attributes & sys::kFileAttributeDirectory) != 0 || !FindOneFile(target, &found)) return Readiness::kLeftOut;
    FileStamp now{found.nFileSizeHigh, found.nFileSizeLow, found.ftLastWriteTime};
    if (app.slotLoaded[index] && SameStamp(now, app.loadedStamps[index])) return Readiness::kReady;
    ArchiveResult result = app.ArchiveReplay(dataFolder, dataFolder, found, false);
    if (result.copyOfArchived) return Readiness::kCopy;
    // What the scans saw of the slot, browse mode forgets.
    return result.left ? Readiness::kReady : Readiness::kLeftOut;
}

// Sends the copies of archived replays found in the slots to the recycle bin,
// in one request, unseen; a slot whose copy is still there afterwards is left
// out of the load.
void RecycleCopies(TrayApplication& app, const char* dataFolder, const SortedNames& names, uint32_t first,
                   const PathList& copies, Readiness* readiness) {
    if (copies.count == 0) return;
    RunFileRequest(app.window, sys::kFoDelete, copies.Text(), nullptr, request_flags::kSilentRecycle, nullptr);
    for (uint32_t index = 0; index < names.count; ++index) {
        if (readiness[index] != Readiness::kCopy) continue;
        char slotName[sys::kMaxPath];
        char target[sys::kMaxPath];
        bool gone = app.slotScan.FormatSlotName(slotName, sizeof slotName, first + index) &&
                    CopyPath(target, sizeof target, dataFolder) && AppendPath(target, slotName) &&
                    sys::GetFileAttributesA(target) == sys::kInvalidFileAttributes;
        readiness[index] = gone ? Readiness::kReady : Readiness::kLeftOut;
    }
}

// Remembers each slot that the copy really wrote: its target now has the size
// and last-write time of its source. A replace the user refused leaves the old
// file, which is not ours; a slot an earlier load wrote keeps its record.
void RecordWrittenSlots(TrayApplication& app, const char* sourceFolder, const char* dataFolder,
                        const SortedNames& names, uint32_t first) {
    for (uint32_t index = 0; index < names.count; ++index) {
        char source[sys::kMaxPath];
        char target[sys::kMaxPath];
        if (!BuildPair(app, sourceFolder, dataFolder, names.At(index), first + index, source, target)) continue;
        FileStamp copied;
        FileStamp original;
        if (!ReadFileStamp(target, &copied) || !ReadFileStamp(source, &original)) continue;
        if (!SameStamp(copied, original)) continue;
        app.slotLoaded[index] = true;
        app.loadedStamps[index] = copied;
    }
}

// Copies the folder's replays, in name order, onto the slots from the first one.
// False when nothing could be loaded because the lists could not be had.
bool CopyReplaysIntoSlots(TrayApplication& app, const char* sourceFolder, const char* dataFolder, uint32_t first,
                          uint32_t count) {
    SortedNames names;
    std::size_t listSize = static_cast<std::size_t>(count) * sys::kMaxPath + 1;
    char* sourceBuffer = static_cast<char*>(sys::AllocateZeroed(listSize));
    char* targetBuffer = static_cast<char*>(sys::AllocateZeroed(listSize));
    bool ready = sourceBuffer != nullptr && targetBuffer != nullptr && names.Allocate(count);
    if (ready) {
        char pattern[kReplayPatternSize];
        GetReplayFilePattern(app.settings, pattern);
        CollectReplayNames(sourceFolder, pattern, names);

        Readiness readiness[kMaxTrackedSlots] = {};
        PathList copies(sourceBuffer, listSize);
        for (uint32_t index = 0; index < names.count; ++index) {
            char source[sys::kMaxPath];
            char target[sys::kMaxPath];
            if (!BuildPair(app, sourceFolder, dataFolder, names.At(index), first + index, source, target)) continue;
            readiness[index] = ReadySlot(app, dataFolder, target, index);
            if (readiness[index] == Readiness::kCopy) copies.Append(target);
        }
        RecycleCopies(app, dataFolder, names, first, copies, readiness);

        PathList sources(sourceBuffer, listSize);
        PathList targets(targetBuffer, listSize);
        for (uint32_t index = 0; index < names.count; ++index) {
            char source[sys::kMaxPath];
            char target[sys::kMaxPath];
            if (readiness[index] == Readiness::kReady &&
                BuildPair(app, sourceFolder, dataFolder, names.At(index), first + index, source, target)) {
                PathList::AppendPair(sources, source, targets, target);
            }
        }
        if (sources.count > 0) {
            RunFileRequest(app.window, sys::kFoCopy, sources.Text(), targets.Text(), request_flags::kPairedCopy,
                           app.caption);
            RecordWrittenSlots(app, sourceFolder, dataFolder, names, first);
        }
    }
    sys::Free(sourceBuffer);
    sys::Free(targetBuffer);
    return ready;
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
    LoadChosenReplays(chosen);
}

void TrayApplication::LoadChosenReplays(const char* folder) {
    LoadReplays(folder, settings.DataFolder);
    CopyPath(settings.ReplayLastOpenedFolder, sizeof settings.ReplayLastOpenedFolder, folder);
}

void TrayApplication::LoadReplays(const char* sourceFolder, const char* dataFolder) {
    // Without a full data folder the slot names would be joined to the current
    // drive or folder.
    if (!IsFullyQualifiedPath(dataFolder)) return;

    uint32_t first = settings.GetMinIndex();
    uint32_t count = SlotCount(first, settings.GetMaxIndex());
    // A range that runs backwards has no slot to load into, and the game shows
    // what the slots hold.
    bool loaded = count == 0 || CopyReplaysIntoSlots(*this, sourceFolder, dataFolder, first, count);
    // When nothing was loaded the user keeps the mode they had, which may archive.
    if (loaded) SetMode(BrowseMode);
}
