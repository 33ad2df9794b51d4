// The close sequence, shared by WM_CLOSE and the exit command.
#include "app/tray_application.h"
#include "platform/handles.h"
#include "platform/window.h"

void TrayApplication::CloseSequence() {
    // Already closed: a second close must not release anything twice.
    if (window == nullptr) return;
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
    // Only the instance that added the atom holds a reference to it.
    if (ownsAtom) sys::GlobalDeleteAtom(atom);
    ownsAtom = false;
    sys::CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    // The icon is a shared image and is not destroyed.
}

// The session is ending: the system ends the process once the message has been
// answered, with no WM_QUIT and so no destructor. The close sequence and the
// settings' save run now; a start that never completed saves nothing, as at any
// early end.
void TrayApplication::EndSession() {
    bool started = initialized != 0;
    CloseSequence();
    if (started && !settings.Saved) settings.Save();
}
