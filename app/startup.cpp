// The start-up sequence: single-instance guard, first-run offer, icon, menus and
// the tray icon; and the timer started while the hidden window is created.
#include <cstring>

#include "app/tray_application.h"
#include "platform/handles.h"
#include "platform/profile.h"
#include "platform/window.h"
#include "res/resource.h"

namespace {

constexpr uint32_t kMinimumInterval = 5000;
// At logon Explorer may not take the icon yet, and says nothing when it can: try
// again every 4 s for three minutes.
constexpr uint32_t kTrayIconRetryPeriod = 4000;
constexpr uint32_t kTrayIconRetries = 45;

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
    ShowTrayIcon();
    initialized = 1;
}

void TrayApplication::CheckSingleInstance() {
    // The atom outlives a process that was ended without its close sequence; the
    // mutex does not, so it alone says whether an instance runs. Without it, the
    // atom is the only sign left.
    instanceMutex = sys::CreateMutexA(atomName);
    bool mutexExisted = instanceMutex != nullptr && sys::GetLastError() == sys::kErrorAlreadyExists;
    atom = sys::GlobalFindAtomA(atomName);
    bool anotherRuns = instanceMutex != nullptr ? mutexExisted : atom != 0;
    if (!anotherRuns && atom != 0) {
        // Left behind by an instance that is gone: take it over.
        ownsAtom = true;
        return;
    }
    if (anotherRuns) {
        int answer = sys::MessageBoxA(nullptr, settings.LoadText(IDS_ALREADY_RUNNING), caption,
                                      sys::kMbYesNo | sys::kMbIconInformation);
        // The question's modal loop may have let a close through.
        if (answer == sys::kIdNo || window == nullptr) {
            atom = 0;
            sys::CloseHandle(instanceMutex);
            instanceMutex = nullptr;
            return;
        }
    }
    // Each running instance holds a reference, so the atom stays while one runs.
    atom = sys::GlobalAddAtomA(atomName);
    ownsAtom = atom != 0;
    if (atom == 0) {
        sys::CloseHandle(instanceMutex);
        instanceMutex = nullptr;
    }
}

// Adds the icon, or keeps retrying on the hidden window's timer until the shell takes it.
void TrayApplication::ShowTrayIcon() {
    if (AddTrayIcon()) {
        StopTrayIconRetry();
        return;
    }
    if (trayIconRetriesLeft != 0) return;
    if (sys::SetTimer(window, kTrayIconRetryTimer, kTrayIconRetryPeriod, nullptr) != 0) {
        trayIconRetriesLeft = kTrayIconRetries;
    }
}

void TrayApplication::RetryTrayIcon() {
    if (trayIconRetriesLeft == 0) return;
    if (AddTrayIcon() || trayIconRetriesLeft == 1) {
        StopTrayIconRetry();
        return;
    }
    --trayIconRetriesLeft;
}

void TrayApplication::StopTrayIconRetry() {
    if (trayIconRetriesLeft == 0) return;
    sys::KillTimer(window, kTrayIconRetryTimer);
    trayIconRetriesLeft = 0;
}

// Called at start-up, on each retry, and again whenever Explorer restarts.
bool TrayApplication::AddTrayIcon() {
    std::memset(&notifyData, 0, sizeof notifyData);
    notifyData.cbSize = sys::NotifyIconDataV1Size();
    notifyData.hWnd = window;
    notifyData.uID = 1;
    notifyData.uFlags = sys::kNifMessage | sys::kNifIcon | sys::kNifTip;
    notifyData.uCallbackMessage = sys::kWmTrayNotify;
    notifyData.hIcon = icon;
    WriteTrayTip(notifyData.szTip, sizeof notifyData.szTip);
    if (sys::Shell_NotifyIconA(sys::kNimAdd, &notifyData)) return true;
    // A shell that timed out may have added it all the same, and one that restarted
    // may have kept it: then the icon is there and only takes its details again.
    return sys::Shell_NotifyIconA(sys::kNimModify, &notifyData);
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
