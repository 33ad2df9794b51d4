// The menus, the tray icon's callback and the command dispatch.
#include "app/tray_application.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/file_request.h"
#include "voice/character_table.h"

namespace {

constexpr sys::WParam kTrayIconId = 1;

void RunCommand(TrayApplication& application, uint32_t command) {
    switch (command) {
        case IDM_PLAYMODE: application.SetMode(PlayMode); break;
        case IDM_BROWSEMODE: application.SetMode(BrowseMode); break;
        case IDM_REPLAY: application.ChooseAndLoadReplays(); break;
        case IDM_VOICE: application.ChooseAndInstallVoices(); break;
        case IDM_RESTORE_VOICES: application.ChooseAndRestoreVoices(); break;
        case IDM_OPEN_ARCHIVE: application.OpenArchiveFolder(); break;
        case IDM_START_WITH_WINDOWS: application.ToggleStartWithWindows(); break;
        case IDM_EXIT: application.CloseSequence(); break;
        default:
            // An entry of the recent replays, or nothing: the menu was dismissed.
            if (command >= IDM_RECENT_FIRST && command < IDM_RECENT_FIRST + RecentDays::kMost) {
                application.LoadRecentReplays(command - IDM_RECENT_FIRST);
            }
            break;
    }
}

}  // namespace

void TrayApplication::CreateMenus() {
    trayMenu = sys::LoadMenuA(instance, IDR_TRAYMENU);
    characterPopup = sys::CreatePopupMenu();
    for (uint32_t character = 0; character < CharacterTable::kCount; ++character) {
        char label[kCharacterLabelSize];
        WriteCharacterLabel(character, label, sizeof label);
        sys::AppendMenuA(characterPopup, sys::kMfString, character + 1, label);
    }
}

void TrayApplication::HandleTrayMessage(sys::WParam wParam, sys::LParam lParam) {
    if (wParam != kTrayIconId) return;
    if (lParam != sys::kWmLButtonDown && lParam != sys::kWmRButtonDown) return;
    if (initialized == 0 || window == nullptr) return;
    // The menu, the picker and the shell's dialogs all dispatch messages while a
    // command or a tick's move waits in them; a click there must not start a
    // command inside it.
    if (commandRunning || FileRequestUnderway()) return;
    commandRunning = true;
    uint32_t command = ShowTrayMenu();
    // The menu's loop may have let a close through; the menus are gone then.
    if (window != nullptr) RunCommand(*this, command);
    commandRunning = false;
    // An archive pass the command left waiting goes on.
    ScheduleArchiveSlice();
}

uint32_t TrayApplication::ShowTrayMenu() {
    sys::Menu popup = sys::GetSubMenu(trayMenu, 0);
    sys::CheckMenuItem(popup, IDM_PLAYMODE,
                       sys::kMfByCommand | (mode == PlayMode ? sys::kMfChecked : sys::kMfUnchecked));
    sys::CheckMenuItem(popup, IDM_BROWSEMODE,
                       sys::kMfByCommand | (mode == BrowseMode ? sys::kMfChecked : sys::kMfUnchecked));
    sys::CheckMenuItem(popup, IDM_START_WITH_WINDOWS,
                       sys::kMfByCommand | (StartsWithWindows() ? sys::kMfChecked : sys::kMfUnchecked));
    FillRecentReplays(popup);
    return ShowPopupAtCursor(popup, window);
}

uint32_t TrayApplication::ShowPopupAtCursor(sys::Menu menu, sys::Window owner) {
    sys::Point point{0, 0};
    sys::GetCursorPos(&point);
    // Without this the menu does not close when the user clicks elsewhere.
    sys::SetForegroundWindow(owner);
    int command = sys::TrackPopupMenuEx(menu, sys::kTpmReturnCmd, point.x, point.y, owner);
    // Lets the owner's queue run once, so that the next menu opens on the first click.
    sys::PostMessageA(owner, sys::kWmNull, 0, 0);
    return command > 0 ? static_cast<uint32_t>(command) : 0;
}
