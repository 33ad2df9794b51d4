// The replay monitor: each tick finds the slot files, and moves every one that
// two consecutive scans have found into the dated archive tree.
#include "app/tray_application.h"
#include "shellops/file_request.h"

namespace {

void VisitSlot(TrayApplication& app, const char* sourceFolder, const char* archiveRoot, uint32_t slot, uint32_t index) {
    if (!app.slotScan.IsSlotFilePresent(slot)) {
        app.presence.MarkAbsent(slot);
        app.archiveFailures.Absent(index);
        return;
    }
    app.presence.MarkPresent(slot);
    if (app.presence.IsPresentInBoth(slot) == 0) return;
    // The file may have gone since the scan began.
    if (!app.slotScan.ReadSlotFile(slot)) {
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
    // install, a tick's own move) would move files inside that request, and
    // rewrite the presence table under the tick that is waiting.
    if (FileRequestUnderway()) return;
    if (mode == BrowseMode) return;
    if (settings.DataFolder[0] == '\0') return;
    ArchiveStableReplays(settings.DataFolder, settings.DataFolder);
}

void TrayApplication::ArchiveStableReplays(const char* sourceFolder, const char* archiveRoot) {
    uint32_t first = settings.GetMinIndex();
    uint32_t last = settings.GetMaxIndex();
    // A range that runs backwards holds no slot. The loop stops on the last slot
    // rather than past it, so a range that ends at the largest number ends too.
    if (first <= last) {
        slotScan.BeginScan(sourceFolder, first, last);
        for (uint32_t slot = first;; ++slot) {
            VisitSlot(*this, sourceFolder, archiveRoot, slot, slot - first);
            if (slot == last) break;
        }
    }
    presence.EndScan();
}
