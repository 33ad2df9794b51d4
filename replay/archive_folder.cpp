// Opens the data folder, and with it the archive tree, in Explorer.
#include "app/tray_application.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"

void TrayApplication::OpenArchiveFolder() {
    // A relative name would open whatever folder is current.
    bool opened = IsFullyQualifiedPath(settings.DataFolder) &&
                  sys::ShellExecuteA(window, "open", settings.DataFolder, sys::kSwShowNormal) > 32;
    if (!opened) {
        sys::MessageBoxA(window, settings.LoadText(IDS_OPEN_ARCHIVE_FAILED), caption,
                         sys::kMbOk | sys::kMbIconInformation);
    }
}
