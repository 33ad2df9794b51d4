// The start-up sequence: single-instance guard, first-run offer, icon, menus and
// the tray icon; and the timer started while the hidden window is created.
#include <cstring>

#include "app/tray_application.h"
#include "platform/profile.h"
#include "platform/window.h"
#include "res/resource.h"

namespace {

constexpr uint32_t kMinimumInterval = 5000;

}  // namespace

void TrayApplication::Initialize() {
    sys::LoadStringA(instance, IDS_CAPTION, caption, sizeof caption);
    sys::LoadStringA(instance, IDS_ATOM_NAME, atomName, sizeof atomName);

    CheckSingleInstance();
    if (atom == 0) return;
    // The question's modal loop may have let a close through.
    if (window == nullptr) return;

    OfferVoiceBackup();
    if (window == nullptr) return;

    // The notification area shows small icons, larger at higher display scaling.
    icon = sys::LoadImageA(instance, IDI_TRAY, sys::kImageIcon, sys::GetSystemMetrics(sys::kSmCxSmIcon),
                           sys::GetSystemMetrics(sys::kSmCySmIcon), sys::kLrShared);
    CreateMenus();
    // Explorer broadcasts this when it restarts; the tray icon is lost then.
    taskbarCreatedMessage = sys::RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon();
    initialized = 1;
}

void TrayApplication::CheckSingleInstance() {
    atom = sys::GlobalFindAtomA(atomName);
    if (atom == 0) {
        atom = sys::GlobalAddAtomA(atomName);
        ownsAtom = atom != 0;
        return;
    }
    // The atom belongs to the running instance: this one must never delete it.
    int answer = sys::MessageBoxA(nullptr, settings.LoadText(IDS_ALREADY_RUNNING), caption,
                                  sys::kMbYesNo | sys::kMbIconInformation);
    if (answer == sys::kIdNo) atom = 0;
}

// Called at start-up and again whenever Explorer restarts.
void TrayApplication::AddTrayIcon() {
    std::memset(&notifyData, 0, sizeof notifyData);
    notifyData.cbSize = sys::NotifyIconDataV1Size();
    notifyData.hWnd = window;
    notifyData.uID = 1;
    notifyData.uFlags = sys::kNifMessage | sys::kNifIcon | sys::kNifTip;
    notifyData.uCallbackMessage = sys::kWmTrayNotify;
    notifyData.hIcon = icon;
    std::strncpy(notifyData.szTip, caption, sizeof notifyData.szTip - 1);
    sys::Shell_NotifyIconA(sys::kNimAdd, &notifyData);
}

// Runs inside the creation of the hidden window, before Initialize.
void TrayApplication::StartTimer(sys::Window dialog) {
    if (settings.MonitorInterval < kMinimumInterval) settings.MonitorInterval = kMinimumInterval;
    timerId = sys::SetTimer(nullptr, 0, settings.MonitorInterval, MonitorTimerProc);
    if (timerId != 0) return;
    // The shared text buffer holds the message, so the caption needs its own.
    sys::LoadStringA(instance, IDS_CAPTION, caption, sizeof caption);
    sys::MessageBoxA(dialog, settings.LoadText(IDS_TIMER_FAILED), caption, sys::kMbOk | sys::kMbIconInformation);
}
