// The hidden window's dialog procedure and the replay monitor's timer procedure.
#include "app/tray_application.h"
#include "platform/window.h"

intptr_t TrayApplication::DialogProc(sys::Window window, uint32_t message, sys::WParam wParam, sys::LParam lParam) {
    TrayApplication* application = theApplication;
    switch (message) {
        case sys::kWmInitDialog:
            if (application != nullptr) application->StartTimer(window);
            return 0;
        case sys::kWmTrayNotify:
            if (application != nullptr) application->HandleTrayMessage(wParam, lParam);
            return 1;
        case sys::kWmClose:
            if (application != nullptr) application->CloseSequence();
            return 1;
        case sys::kWmDestroy: sys::PostQuitMessage(0); return 1;
        case sys::kWmQueryEndSession:
            // Never hold up a logoff. A dialog procedure answers through its result slot.
            sys::SetWindowLongPtrA(window, sys::kDwlpMsgResult, 1);
            return 1;
        case sys::kWmEndSession:
            if (application == nullptr || wParam == 0) return 0;
            // The Restart Manager closes the program while the session goes on:
            // nothing may be left behind, the tray icon least of all.
            if ((static_cast<uint32_t>(lParam) & sys::kEndSessionCloseApp) != 0) {
                application->CloseForRestart();
            } else {
                application->EndSession();
            }
            return 0;
        case sys::kWmTimer:
            if (application == nullptr) return 1;
            if (wParam == kTrayIconRetryTimer) application->RetryTrayIcon();
            if (wParam == kArchiveSliceTimer) {
                sys::KillTimer(window, kArchiveSliceTimer);
                application->ContinueArchivePass();
            }
            return 1;
        case sys::kWmPaint:
        case sys::kWmNotify:
        case sys::kWmMouseMove:
        case sys::kWmLButtonDown:
        case sys::kWmRButtonDown: return 1;
        default: break;
    }
    // A restarted Explorer has lost the tray icon.
    if (application != nullptr && application->taskbarCreatedMessage != 0 &&
        message == application->taskbarCreatedMessage) {
        if (application->initialized != 0 && application->window != nullptr) application->ShowTrayIcon();
        return 1;
    }
    return 0;
}

void TrayApplication::MonitorTimerProc(sys::Window, uint32_t, sys::TimerId, uint32_t) {
    TrayApplication* application = theApplication;
    if (application != nullptr && application->initialized != 0) application->MonitorTick();
}
