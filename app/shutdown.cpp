// The close sequence, shared by WM_CLOSE and the exit command.
#include "app/tray_application.h"
#include "platform/handles.h"
#include "platform/window.h"

void TrayApplication::CloseSequence() {
    // Already closed: a second close must not release anything twice.
    if (window == nullptr) return;
    EndArchivePass();
    sys::KillTimer(nullptr, timerId);
    timerId = 0;
    StopTrayIconRetry();
    Cleanup();
    sys::DestroyWindow(window);
    // Commands waiting in a modal loop test this when the loop returns.
    window = nullptr;
}

void TrayApplication::Cleanup() {
    sys::Shell_NotifyIconA(sys::kNimDelete, &notifyData);
    sys::DestroyMenu(characterPopup);
    sys::DestroyMenu(trayMenu);
    characterPopup = nullptr;
    trayMenu = nullptr;
    ReleaseInstance();
    // The icon is a shared image and is not destroyed.
}

void TrayApplication::ReleaseInstance() {
    // Only the instance that added the atom holds a reference to it.
    if (ownsAtom) sys::GlobalDeleteAtom(atom);
    ownsAtom = false;
    sys::CloseHandle(instanceMutex);
    instanceMutex = nullptr;
}

// The session is ending: Windows may end the process as soon as this returns,
// and a shell that is ending too can take seconds over removing a tray icon. So
// the settings are written first, and only what is quick follows; the windows
// need not be destroyed. A start that never completed saves nothing, as at any
// early end, and closes as usual.
void TrayApplication::EndSession() {
    if (initialized == 0 || window == nullptr) {
        CloseSequence();
        return;
    }
    if (!settings.Saved) settings.Save();
    // No tick, no slice and no command from here on.
    initialized = 0;
    EndArchivePass();
    sys::KillTimer(nullptr, timerId);
    timerId = 0;
    StopTrayIconRetry();
    ReleaseInstance();
    sys::PostQuitMessage(0);
    // A close still queued, or a command waiting in a modal loop, finds the
    // program closed: nothing slow, nothing released twice.
    window = nullptr;
}

// An installer or an update needs the program gone (the Restart Manager), and
// it may end the process soon after asking: the settings first, as at a
// session's end, then the whole close sequence, so that no icon is left behind.
void TrayApplication::CloseForRestart() {
    if (initialized != 0 && window != nullptr && !settings.Saved) settings.Save();
    CloseSequence();
}
