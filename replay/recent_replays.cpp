// The tray menu's recent replays: the newest day folders of the archive, each
// loaded with one click as if it had been picked in the folder picker.
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/window.h"
#include "replay/replay_pattern.h"
#include "res/resource.h"
#include "shellops/file_search.h"

void TrayApplication::FillRecentReplays(sys::Menu taskTray) {
    // The submenu is the one popup of the tray menu.
    int items = sys::GetMenuItemCount(taskTray);
    int position = 0;
    sys::Menu recent = nullptr;
    for (; position < items && recent == nullptr; ++position) recent = sys::GetSubMenu(taskTray, position);
    if (recent == nullptr) return;
    --position;
    for (int left = sys::GetMenuItemCount(recent); left > 0; --left) sys::DeleteMenu(recent, 0, sys::kMfByPosition);

    recentDays.count = 0;
    if (RecentDays::HasDayFolders(slotScan.ArchiveFormat()) && settings.DataFolder[0] != '\0') {
        char pattern[kReplayPatternSize];
        GetReplayFilePattern(settings, pattern);
        recentDays.Find(settings.DataFolder, pattern);
    }
    for (uint32_t index = 0; index < recentDays.count; ++index) {
        // "2026/12/06（12件）"
        char label[64];
        std::memset(label, 0, sizeof label);
        sys::FormatInt(label, sizeof label, "%04d/", recentDays.years[index]);
        sys::FormatInt(label + 5, sizeof label - 5, "%02d/", recentDays.months[index]);
        sys::FormatInt(label + 8, sizeof label - 8, "%02d", recentDays.days[index]);
        sys::FormatInt(label + 10, sizeof label - 10, settings.LoadText(IDS_RECENT_COUNT), recentDays.replays[index]);
        sys::AppendMenuA(recent, sys::kMfString, IDM_RECENT_FIRST + index, label);
    }
    // A custom archive format, or an empty archive: nothing to offer.
    sys::EnableMenuItem(taskTray, static_cast<uint32_t>(position),
                        sys::kMfByPosition | (recentDays.count == 0 ? sys::kMfGrayed : sys::kMfEnabled));
}

void TrayApplication::LoadRecentReplays(uint32_t index) {
    // A day folder that has gone since the menu opened loads nothing.
    if (index >= recentDays.count || !IsFolder(recentDays.folders[index])) return;
    LoadChosenReplays(recentDays.folders[index]);
}
