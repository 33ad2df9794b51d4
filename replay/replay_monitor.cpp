// The replay monitor: each tick finds the slot files, and moves every one that
// two consecutive scans have found into the dated archive tree. A pass over the
// slots runs in slices of bounded time, between which the message loop serves
// the tray icon, its menu and the session's end.
#include "app/tray_application.h"
#include "platform/window.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"

namespace {

// Two sightings show a replay the game has finished writing only when a timer
// period lies between them: a scan that begins just after a long pass would
// find the slots that pass visited last seen a moment ago. Measured from each
// slot's sighting to the begin of this scan, give or take a slice for the
// clock's steps and a tick that waited for one.
bool SeenAPeriodAgo(const TrayApplication& app, uint32_t slot) {
    uint32_t period = app.settings.MonitorInterval;
    uint32_t needed = period > kArchiveSliceMilliseconds ? period - kArchiveSliceMilliseconds : 0;
    return app.archivePass.began - app.presence.SeenBefore(slot) >= needed;
}

// Keeps the first of the slots due to be told, and counts them all.
void NoteDue(TrayApplication& app, const char* fileName, uint32_t reason) {
    TrayApplication::ArchivePass& pass = app.archivePass;
    if (pass.toTell++ != 0) return;
    CopyPath(pass.firstToTell, sizeof pass.firstToTell, fileName);
    pass.firstReason = reason;
}

void VisitSlot(TrayApplication& app, const char* sourceFolder, const char* archiveRoot, uint32_t slot, uint32_t index,
               uint32_t now) {
    bool present = app.slotScan.IsSlotFilePresent(slot);
    if (present) {
        app.presence.MarkPresent(slot, now);
        if (app.presence.IsPresentInBoth(slot) == 0 || !SeenAPeriodAgo(app, slot)) return;
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
        app.archiveFailures.Absent(index);
    } else if (app.archiveFailures.Failed(index)) {
        NoteDue(app, app.slotScan.found.cFileName, result.reason);
    }
}

}  // namespace

void TrayApplication::MonitorTick() {
    // A tick dispatched by the modal loop of a request (a load's copy, a voice
    // install, a pass's own move) would move files inside that request, and
    // rewrite the presence table under the pass that is waiting. One dispatched
    // by a command's menu, picker or message box would keep the player waiting.
    if (FileRequestUnderway() || commandRunning) return;
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
    archivePass.began = sys::GetTickCount();
    archivePass.toTell = 0;
    ContinueArchivePass();
}

void TrayApplication::ContinueArchivePass() {
    if (!archivePass.underway || commandRunning || FileRequestUnderway()) return;
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
        VisitSlot(*this, archivePass.source, archivePass.root, slot, slot - archivePass.first, started);
        // The pass stops on the last slot rather than past it, so a range that
        // ends at the largest number ends too.
        if (slot == archivePass.last) {
            EndArchivePass();
            ShowArchiveFailures();
            return;
        }
        archivePass.next = slot + 1;
        if (sys::GetTickCount() - started >= kArchiveSliceMilliseconds) {
            ScheduleArchiveSlice();
            return;
        }
    }
}

void TrayApplication::ScheduleArchiveSlice() {
    // Should the timer not be had, the next tick goes on. A close has ended the pass.
    if (archivePass.underway) sys::SetTimer(window, kArchiveSliceTimer, kArchiveSlicePause, nullptr);
}

void TrayApplication::EndArchivePass() {
    if (!archivePass.underway) return;
    archivePass.underway = false;
    // The slots not visited yet count as not seen: they need two scans again.
    presence.EndScan();
}
