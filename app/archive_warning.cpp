// What the player is told of replays that cannot be archived: a balloon on the
// tray icon once a slot has failed for ten ticks, and the tray tip for as long
// as any slot fails.
#include <cstring>

#include "app/tray_application.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/bounded_text.h"

namespace {

// What SHQueryUserNotificationState answers while a balloon would go unseen:
// the user is away or locked out, busy in a full-screen program, in a
// full-screen Direct3D game, or presenting.
constexpr int32_t kQunsNotPresent = 1;
constexpr int32_t kQunsPresentationMode = 4;

// Windows 10 and 11 show a balloon as a toast, and Focus Assist holds toasts
// back while a full-screen game runs: exactly when replays are written. The
// call is Vista's, looked up at run time so that older systems still start.
bool UserSeesBalloons() {
    sys::Module shell = sys::LoadLibraryA("shell32.dll");
    if (shell == nullptr) return true;
    sys::ProcAddress query = sys::GetProcAddress(shell, "SHQueryUserNotificationState");
    int32_t state = 0;
    bool away = query != nullptr && sys::CallSHQueryUserNotificationState(query, &state) == 0 &&
                state >= kQunsNotPresent && state <= kQunsPresentationMode;
    sys::FreeLibrary(shell);
    return !away;
}

}  // namespace

void TrayApplication::ShowArchiveFailures() {
    uint32_t failing = archiveFailures.Failing();
    if (failing != tipFailing) {
        tipFailing = failing;
        sys::NotifyIconData tip = notifyData;
        tip.uFlags = sys::kNifTip;
        WriteTrayTip(tip.szTip, sizeof tip.szTip);
        // Refused while the icon is gone: adding it again writes the same tip.
        sys::Shell_NotifyIconA(sys::kNimModify, &tip);
    }
    // Slots not told of stay due: the first pass after tells them.
    if (archivePass.toTell == 0 || !UserSeesBalloons()) return;
    if (ShowArchiveWarning(archivePass.firstToTell, archivePass.firstReason, archivePass.toTell)) {
        archiveFailures.ToldOfDue();
    }
}

bool TrayApplication::ShowArchiveWarning(const char* fileName, uint32_t reason, uint32_t count) {
    // The icon's own record, with the balloon added.
    sys::NotifyIconData balloon = notifyData;
    balloon.uFlags = sys::kNifInfo;
    balloon.dwInfoFlags = sys::kNiifWarning;
    std::memset(balloon.szInfoTitle, 0, sizeof balloon.szInfoTitle);
    AppendCut(balloon.szInfoTitle, sizeof balloon.szInfoTitle, caption);

    // The first file, how many there are, then the platform's own words.
    const char* text = settings.LoadText(count > 1 ? IDS_ARCHIVE_FAILED_MANY : IDS_ARCHIVE_FAILED);
    ExpandText(balloon.szInfo, sizeof balloon.szInfo, text, fileName, count);
    char words[256];
    if (reason != 0 && sys::FormatMessageA(reason, words, sizeof words) != 0) {
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, "\n");
        AppendCut(balloon.szInfo, sizeof balloon.szInfo, words);
    }
    return sys::Shell_NotifyIconA(sys::kNimModify, &balloon);
}

void TrayApplication::WriteTrayTip(char* tip, std::size_t size) {
    if (tipFailing == 0) {
        std::memset(tip, 0, size);
        AppendCut(tip, size, caption);
        return;
    }
    ExpandText(tip, size, settings.LoadText(IDS_TIP_ARCHIVE_FAILING), caption, tipFailing);
}
