// The entry point of the Windows GUI program.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <commctrl.h>

#include "app/tray_application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The manifest asks for Common Controls 6: Windows XP shows no dialog with
    // them until they are initialised, and loading them before the first message
    // box spares it the load between its window and its buttons.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return RunApplication(instance);
}
