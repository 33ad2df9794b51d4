// The fake shell: batch file operations over the fake file system, the folder
// picker with its allocator, and COM. Moves behave as Wine 8's do: no missing
// destination folder is created, and an existing destination is replaced.
#include <algorithm>
#include <cstring>

#include "platform/shell.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace fake {
namespace {

constexpr int kErrorCancelled = 1223;  // ERROR_CANCELLED, what Wine returns for a missing folder
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorSharingViolation = 32;
constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);

void Record(const char* name) { state().calls.push_back(name); }

std::vector<std::string> SplitList(const char* list) {
    std::vector<std::string> entries;
    if (list == nullptr) return entries;
    for (const char* p = list; *p != '\0'; p += std::strlen(p) + 1) entries.push_back(p);
    return entries;
}

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

std::string NameOf(const std::string& path) {
    std::size_t sep = detail::LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool FolderExists(const std::string& path) {
    if (detail::IsDriveRoot(path)) return true;
    const Entry* entry = detail::FindEntry(path);
    return entry != nullptr && entry->isFolder;
}

// The entries that a source names: the file or folder itself, or for a pattern
// the entries directly in its folder whose names match (files only if asked).
std::vector<std::string> Expand(const std::string& source, bool filesOnly) {
    std::vector<std::string> paths;
    if (!HasWildcard(source)) {
        if (const Entry* entry = detail::FindEntry(source)) paths.push_back(entry->path);
        return paths;
    }
    std::string folderKey = detail::FoldPath(detail::ParentOf(source));
    std::string pattern = NameOf(source);
    for (const Entry& entry : state().entries) {
        if (detail::FoldedParentOf(entry) != folderKey) continue;
        if (filesOnly && entry.isFolder) continue;
        if (detail::SearchMatches(pattern, NameOf(entry.path))) paths.push_back(entry.path);
    }
    return paths;
}

bool AnySourceLocked(const FileOpCall& call) {
    bool filesOnly = (call.fFlags & sys::kFofFilesOnly) != 0;
    for (const std::string& source : call.from) {
        for (const std::string& path : Expand(source, filesOnly)) {
            if (detail::FindEntry(path)->locked) return true;
        }
    }
    return false;
}

// Renames one entry, and everything below it for a folder.
void MoveEntry(const std::string& from, const std::string& to) {
    std::string key = detail::FoldPath(from);
    if (detail::FoldPath(to) != key && detail::FindEntry(to) != nullptr) Remove(to);
    std::string below = key + "\\";
    for (Entry& entry : state().entries) {
        std::string folded = detail::FoldedPathOf(entry);
        if (folded == key) {
            entry.path = to;
        } else if (folded.compare(0, below.size(), below) == 0) {
            entry.path = to + entry.path.substr(from.size());
        }
    }
}

void CopyFile(const std::string& from, const std::string& to) {
    const Entry* source = detail::FindEntry(from);
    if (source == nullptr) return;
    if (source->isFolder) {
        AddFolder(to);
        return;
    }
    Entry copy = *source;
    AddFile(to, copy.contents, copy.creationTime);
    if (Entry* made = detail::FindEntry(to)) made->lastWriteTime = copy.lastWriteTime;
}

int ApplyMove(const FileOpCall& call) {
    bool paired = (call.fFlags & sys::kFofMultiDestFiles) != 0;
    if (paired) {
        for (const std::string& target : call.to) {
            if (!FolderExists(detail::ParentOf(target))) return kErrorCancelled;
        }
        for (std::size_t i = 0; i < call.from.size() && i < call.to.size(); ++i) {
            // Each file's own failure is ignored, as Wine ignores it.
            if (detail::FindEntry(call.from[i]) != nullptr)
                MoveEntry(detail::FindEntry(call.from[i])->path, call.to[i]);
        }
        return 0;
    }
    if (call.to.size() != 1 || !FolderExists(call.to[0])) return kErrorCancelled;
    bool filesOnly = (call.fFlags & sys::kFofFilesOnly) != 0;
    for (const std::string& source : call.from) {
        for (const std::string& path : Expand(source, filesOnly)) MoveEntry(path, call.to[0] + "\\" + NameOf(path));
    }
    return 0;
}

// True for a path below one of the folders that take no file.
bool IsBelowReadOnlyFolder(const std::string& path) {
    std::string key = detail::FoldPath(path);
    for (const std::string& folder : state().readOnlyFolders) {
        std::string below = detail::FoldPath(folder) + "\\";
        if (key.compare(0, below.size(), below) == 0) return true;
    }
    return false;
}

int ApplyCopy(const FileOpCall& call) {
    if (call.from.empty()) return kErrorAccessDenied;
    bool paired = (call.fFlags & sys::kFofMultiDestFiles) != 0;
    if (paired) {
        int result = 0;
        for (std::size_t i = 0; i < call.from.size() && i < call.to.size(); ++i) {
            if (IsBelowReadOnlyFolder(call.to[i])) {
                result = kErrorAccessDenied;
                continue;
            }
            CopyFile(call.from[i], call.to[i]);
        }
        return result;
    }
    if (call.to.size() != 1) return kErrorCancelled;
    bool filesOnly = (call.fFlags & sys::kFofFilesOnly) != 0;
    for (const std::string& source : call.from) {
        std::vector<std::string> matches = Expand(source, filesOnly);
        if (HasWildcard(source) || FolderExists(call.to[0])) {
            // Into the destination folder, made when missing.
            AddFolder(call.to[0]);
            for (const std::string& path : matches) CopyFile(path, call.to[0] + "\\" + NameOf(path));
        } else {
            for (const std::string& path : matches) CopyFile(path, call.to[0]);
        }
    }
    return 0;
}

void ApplyDelete(const FileOpCall& call) {
    bool filesOnly = (call.fFlags & sys::kFofFilesOnly) != 0;
    for (const std::string& source : call.from) {
        for (const std::string& path : Expand(source, filesOnly)) Remove(path);
    }
}

}  // namespace
}  // namespace fake

namespace sys {

using fake::state;

constexpr int kErrorInvalidFiles = 0x7C;  // DE_INVALIDFILES

int SHFileOperationA(FileOpRequest* request) {
    fake::Record("SHFileOperationA");
    fake::FileOpCall call;
    call.hwnd = request->hwnd;
    call.wFunc = request->wFunc;
    call.from = fake::SplitList(request->pFrom);
    call.to = fake::SplitList(request->pTo);
    call.toIsNull = request->pTo == nullptr;
    call.fFlags = request->fFlags;
    call.fAnyOperationsAborted = request->fAnyOperationsAborted;
    call.hNameMappings = request->hNameMappings;
    call.progressTitleIsNull = request->lpszProgressTitle == nullptr;
    call.progressTitle = request->lpszProgressTitle != nullptr ? request->lpszProgressTitle : "";
    state().fileOps.push_back(call);
    state().tickCount += state().requestMilliseconds;
    // The shell refused the request as a whole, before touching any file.
    if (fake::ShouldFail("SHFileOperationA")) return kErrorInvalidFiles;

    int result = 0;
    if (!state().fileOpResults.empty()) {
        result = state().fileOpResults.front();
        state().fileOpResults.pop_front();
    }
    if (!state().fileOpAborts.empty()) {
        request->fAnyOperationsAborted = state().fileOpAborts.front() ? 1 : 0;
        state().fileOpAborts.pop_front();
    }
    if (state().duringModalLoop) state().duringModalLoop();
    if (!state().applyFileOps || result != 0 || request->fAnyOperationsAborted != 0) return result;
    if (fake::AnySourceLocked(call)) {
        if ((call.fFlags & kFofNoErrorUi) != 0) return fake::kErrorSharingViolation;
        // "File In Use", answered with Cancel.
        ++state().errorDialogs;
        if (state().duringModalLoop) state().duringModalLoop();
        request->fAnyOperationsAborted = 1;
        return fake::kErrorCancelled;
    }
    switch (call.wFunc) {
        case kFoMove: return fake::ApplyMove(call);
        case kFoCopy: return fake::ApplyCopy(call);
        case kFoDelete: fake::ApplyDelete(call); return 0;
        default: return result;
    }
}

int32_t SHGetMalloc(Malloc* out) {
    fake::Record("SHGetMalloc");
    if (fake::ShouldFail("SHGetMalloc")) {
        *out = nullptr;
        return fake::kEFail;
    }
    *out = fake::detail::NewHandle();
    ++state().mallocsLive;
    return 0;
}

void MallocFree(Malloc, void* block) {
    fake::Record("MallocFree");
    if (state().pickerItemLists.erase(block) == 1) --state().pickerItemListsLive;
}

void MallocRelease(Malloc) {
    fake::Record("MallocRelease");
    --state().mallocsLive;
}

IdList SHBrowseForFolderA(BrowseInfo* info) {
    fake::Record("SHBrowseForFolderA");
    if (fake::ShouldFail("SHBrowseForFolderA")) return nullptr;
    state().browseInfos.push_back(*info);
    state().browseTitles.push_back(info->lpszTitle != nullptr ? info->lpszTitle : "");
    // The real picker calls back once its window exists, before the user acts.
    Window picker = fake::detail::NewHandle();
    if (info->lpfn != nullptr) info->lpfn(picker, kBffmInitialized, 0, info->lParam);
    if (state().duringModalLoop) state().duringModalLoop();
    if (state().pickedFolders.empty()) return nullptr;
    std::string picked = state().pickedFolders.front();
    state().pickedFolders.pop_front();
    if (picked.empty()) return nullptr;
    IdList list = fake::detail::NewHandle();
    state().pickerItemLists[list] = picked;
    ++state().pickerItemListsLive;
    return list;
}

bool SHGetPathFromIDListA(IdList list, char* path) {
    fake::Record("SHGetPathFromIDListA");
    std::memset(path, 0, kMaxPath);
    if (fake::ShouldFail("SHGetPathFromIDListA")) return false;
    auto found = state().pickerItemLists.find(list);
    if (found == state().pickerItemLists.end()) return false;
    std::strncpy(path, found->second.c_str(), kMaxPath - 1);
    std::replace(path, path + kMaxPath, fake::detail::kBestFitOnly, '?');
    return true;
}

intptr_t ShellExecuteA(Window, const char* verb, const char* file, int show) {
    fake::Record("ShellExecuteA");
    const fake::Entry* folder = fake::detail::FindEntry(file != nullptr ? file : "");
    if (fake::ShouldFail("ShellExecuteA")) return 32;      // SE_ERR_DLLNOTFOUND, the highest failure
    if (folder == nullptr || !folder->isFolder) return 2;  // ERROR_FILE_NOT_FOUND
    state().shellOpened.push_back(std::string(verb != nullptr ? verb : "") + " " + file + " " + std::to_string(show));
    return 33;  // the lowest success
}

int32_t CoInitializeApartment() {
    fake::Record("CoInitializeApartment");
    if (fake::ShouldFail("CoInitializeApartment")) return fake::kEFail;
    ++state().comInitialized;
    return state().comInitialized > 1 ? 1 : 0;
}

void CoUninitialize() {
    fake::Record("CoUninitialize");
    --state().comInitialized;
}

}  // namespace sys
