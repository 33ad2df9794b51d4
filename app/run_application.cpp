// WinMain's body: the application object, its hidden window and the message loop.
#include <new>

#include "app/tray_application.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "res/resource.h"

namespace {

constexpr int kEarlyEnd = 1;

int RunTrayApplication(sys::Instance instance) {
    TrayApplication* application = new (std::nothrow) TrayApplication(instance);
    if (application == nullptr) return kEarlyEnd;
    // The dialog procedure needs the object while the window is being created.
    theApplication = application;

    sys::Window window =
        sys::CreateDialogParamA(instance, IDD_HIDDEN, sys::GetDesktopWindow(), TrayApplication::DialogProc, 0);
    if (window == nullptr) return kEarlyEnd;
    application->window = window;

    application->Initialize();
    // Early ends leave the object alive on purpose: destroying it would save the settings.
    if (application->initialized == 0) return kEarlyEnd;

    sys::ShowWindow(application->window, sys::kSwHide);
    sys::UpdateWindow(application->window);

    sys::Message message{};
    // -1 is an error, not a message: treat it as the end rather than spin on it.
    while (sys::GetMessageA(&message) > 0) {
        sys::TranslateMessage(&message);
        sys::DispatchMessageA(&message);
    }

    delete application;  // saves the settings, after the window is gone
    theApplication = nullptr;
    return static_cast<int>(message.wParam);
}

}  // namespace

int RunApplication(sys::Instance instance) {
    // The new-style folder picker needs an apartment-threaded COM on this thread.
    bool comReady = sys::CoInitializeApartment() >= 0;
    int exitCode = RunTrayApplication(instance);
    if (comReady) sys::CoUninitialize();
    return exitCode;
}
