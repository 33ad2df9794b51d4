// The close sequence, shared by WM_CLOSE and the exit command.
#include "app/tray_application.h"
#include "platform/window.h"

void TrayApplication::CloseSequence() {
    // Already closed: a second close must not release anything twice.
    if (window == nullptr) return;
    sys::KillTimer(nullptr, timerId);
    timerId = 0;
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
    // The icon is a shared image and is not destroyed.
}
