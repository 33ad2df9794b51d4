// The modal folder picker, opened at a preselected folder.
#include <cstring>

#include "app/tray_application.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "res/resource.h"

namespace {

constexpr uint32_t kPickerFlags = sys::kBifReturnOnlyFsDirs | sys::kBifNewDialogStyle | sys::kBifNoNewFolderButton;

}  // namespace

void TrayApplication::BrowseForFolder(char* chosen, const char* start) {
    chosen[0] = '\0';  // what a cancel, or no picker at all, leaves
    sys::Malloc allocator = nullptr;
    if (sys::SHGetMalloc(&allocator) != 0) return;

    sys::BrowseInfo info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = window;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = settings.LoadText(IDS_PICKER_PROMPT);
    info.ulFlags = kPickerFlags;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<sys::LParam>(start);

    sys::IdList picked = sys::SHBrowseForFolderA(&info);
    if (picked != nullptr) {
        // A place without a file-system path must read as nothing chosen.
        if (!sys::SHGetPathFromIDListA(picked, chosen)) chosen[0] = '\0';
        sys::MallocFree(allocator, picked);
    }
    sys::MallocRelease(allocator);
    // A folder whose name the ANSI calls cannot spell would be read and written
    // as another path, or as a wildcard: refused, and the player told why.
    if (std::strchr(chosen, '?') != nullptr) {
        chosen[0] = '\0';
        sys::MessageBoxA(window, settings.LoadText(IDS_FOLDER_NAME_UNUSABLE), caption,
                         sys::kMbOk | sys::kMbIconInformation);
    }
}

int TrayApplication::BrowseCallback(sys::Window window, uint32_t message, sys::LParam, sys::LParam data) {
    if (message == sys::kBffmInitialized && data != 0) {
        sys::SendMessageA(window, sys::kBffmSetSelectionA, 1, data);
    }
    return 0;
}
