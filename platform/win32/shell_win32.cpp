// The shell: batch file operations, the folder picker and COM.
#include "platform/shell.h"

#include "platform/win32/ansi_names.h"
#include "platform/win32/win32_headers.h"

namespace sys {
namespace {

// The picker is modal and the program opens one at a time, so one slot holds the
// portable callback while the shell calls the trampoline.
BrowseCallbackFn currentBrowseCallback = nullptr;

int CALLBACK BrowseTrampoline(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    if (currentBrowseCallback == nullptr) return 0;
    return currentBrowseCallback(window, message, lParam, data);
}

IMalloc* AsMalloc(Malloc allocator) { return static_cast<IMalloc*>(allocator); }

}  // namespace

int SHFileOperationA(FileOpRequest* request) {
    SHFILEOPSTRUCTA operation;
    ZeroMemory(&operation, sizeof operation);
    operation.hwnd = static_cast<HWND>(request->hwnd);
    operation.wFunc = request->wFunc;
    operation.pFrom = request->pFrom;
    operation.pTo = request->pTo;
    operation.fFlags = request->fFlags;
    operation.fAnyOperationsAborted = request->fAnyOperationsAborted;
    operation.hNameMappings = request->hNameMappings;
    operation.lpszProgressTitle = request->lpszProgressTitle;
    int result = ::SHFileOperationA(&operation);
    request->fAnyOperationsAborted = operation.fAnyOperationsAborted;
    request->hNameMappings = operation.hNameMappings;
    return result;
}

int32_t SHGetMalloc(Malloc* out) {
    IMalloc* allocator = nullptr;
    HRESULT result = ::SHGetMalloc(&allocator);
    *out = allocator;
    return result;
}

void MallocFree(Malloc allocator, void* block) { AsMalloc(allocator)->Free(block); }

void MallocRelease(Malloc allocator) { AsMalloc(allocator)->Release(); }

IdList SHBrowseForFolderA(BrowseInfo* info) {
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = static_cast<HWND>(info->hwndOwner);
    browse.pidlRoot = static_cast<PCIDLIST_ABSOLUTE>(info->pidlRoot);
    browse.pszDisplayName = info->pszDisplayName;
    browse.lpszTitle = info->lpszTitle;
    browse.ulFlags = info->ulFlags;
    browse.lpfn = info->lpfn != nullptr ? BrowseTrampoline : nullptr;
    browse.lParam = info->lParam;

    BrowseCallbackFn outer = currentBrowseCallback;
    currentBrowseCallback = info->lpfn;
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderA(&browse);
    currentBrowseCallback = outer;

    info->iImage = browse.iImage;
    return list;
}

bool SHGetPathFromIDListA(IdList list, char* path) {
    // The wide path, converted without best fit: a picked folder's look-alike
    // of a separator must not become one.
    WCHAR wide[MAX_PATH];
    if (::SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(list), wide) == FALSE) return false;
    ToAnsiName(wide, path, MAX_PATH);
    return true;
}

int32_t CoInitializeApartment() { return ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

void CoUninitialize() { ::CoUninitialize(); }

}  // namespace sys

namespace sys {

intptr_t ShellExecuteA(Window owner, const char* verb, const char* file, int show) {
    return reinterpret_cast<intptr_t>(::ShellExecuteA(static_cast<HWND>(owner), verb, file, nullptr, nullptr, show));
}

}  // namespace sys
