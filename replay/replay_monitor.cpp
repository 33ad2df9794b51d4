// The replay monitor: each tick finds the slot files, and moves every one that
// two consecutive scans have found into the dated archive tree. A pass over the
// slots runs in slices of bounded time, between which the message loop serves
// the tray icon, its menu and the session's end.
#include "app/tray_application.h"
#include "platform/window.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"

namespace {

void VisitSlot(TrayApplication& app, const char* sourceFolder, const char* archiveRoot, uint32_t slot, uint32_t index) {
    bool present = app.slotScan.IsSlotFilePresent(slot);
    if (present) {
        app.presence.MarkPresent(slot);
        if (app.presence.IsPresentInBoth(slot) == 0) return;
    }
    // The file may also have gone since the scan began.
    if (!present || !app.slotScan.ReadSlotFile(slot)) {
        app.presence.MarkAbsent(slot);
        app.archiveFailures.Absent(index);
        return;
    }
    ArchiveResult result = app.ArchiveReplay(sourceFolder, archiveRoot, app.slotScan.found);
    if (result.left) {
        app.presence.MarkAbsent(slot);
        app.archiveFailures.Archived(index);
    } else if (app.archiveFailures.Failed(index)) {
        app.ShowArchiveWarning(app.slotScan.found.cFileName, result.reason);
    }
}

}  // namespace

void TrayApplication::MonitorTick() {
    // A tick dispatched by the modal loop of a request (a load's copy, a voice
    // install, a pass's own move) would move files inside that request, and
    // rewrite the presence table under the pass that is waiting.
    if (FileRequestUnderway()) return;
    if (mode == BrowseMode) return;
    if (settings.DataFolder[0] == '\0') return;
    // A pass that a burst of replays has kept going goes on; a second never starts.
    if (archivePass.underway) {
        ContinueArchivePass();
        return;
    }
    ArchiveStableReplays(settings.DataFolder, settings.DataFolder);
}

void TrayApplication::ArchiveStableReplays(const char* sourceFolder, const char* archiveRoot) {
    uint32_t first = settings.GetMinIndex();
    uint32_t last = settings.GetMaxIndex();
    // A range that runs backwards holds no slot.
    if (first > last || !CopyPath(archivePass.source, sizeof archivePass.source, sourceFolder) ||
        !CopyPath(archivePass.root, sizeof archivePass.root, archiveRoot)) {
        presence.EndScan();
        return;
    }
    slotScan.BeginScan(sourceFolder, first, last);
    archivePass.underway = true;
    archivePass.first = first;
    archivePass.next = first;
    archivePass.last = last;
    ContinueArchivePass();
}

void TrayApplication::ContinueArchivePass() {
    if (!archivePass.underway || FileRequestUnderway()) return;
    // Each slice returns to the message loop well within the quarter second in
    // which a tray click should open the menu, however many replays wait.
    uint32_t started = sys::GetTickCount();
    // The slots still to visit are judged as they are now: a file the game has
    // written, replaced or removed since the last slice is seen as it is.
    if (archivePass.next != archivePass.first) {
        slotScan.BeginScan(archivePass.source, archivePass.first, archivePass.last);
    }
    for (;;) {
        uint32_t slot = archivePass.next;
        VisitSlot(*this, archivePass.source, archivePass.root, slot, slot - archivePass.first);
        // The pass stops on the last slot rather than past it, so a range that
        // ends at the largest number ends too.
        if (slot == archivePass.last) {
            EndArchivePass();
            return;
        }
        archivePass.next = slot + 1;
        if (sys::GetTickCount() - started >= kArchiveSliceMilliseconds) {
            // Should the message be lost, the next tick goes on.
            sys::PostMessageA(window, kWmArchiveSlice, 0, 0);
            return;
        }
    }
}

void TrayApplication::EndArchivePass() {
    if (!archivePass.underway) return;
    archivePass.underway = false;
    // The slots not visited yet count as not seen: they need two scans again.
    presence.EndScan();
}
