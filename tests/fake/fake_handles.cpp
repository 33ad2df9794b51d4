// The fake handles: files made with CreateFileA (only new ones, as the program
// makes them), named mutexes, and the last error they leave.

#include "platform/handles.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace fake {
namespace detail {

bool FolderTakesFiles(const std::string& folder) {
    std::string key = FoldPath(folder);
    for (const std::string& readOnly : state().readOnlyFolders) {
        if (FoldPath(readOnly) == key) return false;
    }
    if (IsDriveRoot(folder) || key == FoldPath(ParentOf(state().moduleFileName))) return true;
    const Entry* entry = FindEntry(folder);
    return entry != nullptr && entry->isFolder;
}

}  // namespace detail
}  // namespace fake

namespace sys {

using fake::state;

Handle CreateFileA(const char* path, uint32_t, uint32_t, uint32_t disposition, uint32_t flags) {
    state().calls.push_back("CreateFileA");
    std::string p = path != nullptr ? path : "";
    if (fake::ShouldFail("CreateFileA")) {
        state().lastError = kErrorAccessDenied;
        return kInvalidHandle;
    }
    if (disposition != kCreateNew || p.empty() || fake::Exists(p) ||
        !fake::detail::FolderTakesFiles(fake::detail::ParentOf(p))) {
        return kInvalidHandle;
    }
    fake::AddFile(p);
    Handle file = fake::detail::NewHandle();
    state().openFiles[file] = (flags & kFileFlagDeleteOnClose) != 0 ? p : std::string();
    return file;
}

Handle CreateMutexA(const char* name) {
    state().calls.push_back("CreateMutexA");
    if (fake::ShouldFail("CreateMutexA")) {
        state().lastError = kErrorAccessDenied;
        return nullptr;
    }
    std::string key = name != nullptr ? name : "";
    int& open = state().mutexes[key];
    state().lastError = open > 0 ? kErrorAlreadyExists : 0;
    ++open;
    Handle mutex = fake::detail::NewHandle();
    state().openMutexes[mutex] = key;
    return mutex;
}

uint32_t GetLastError() {
    state().calls.push_back("GetLastError");
    return state().lastError;
}

bool CloseHandle(Handle handle) {
    state().calls.push_back("CloseHandle");
    auto file = state().openFiles.find(handle);
    if (file != state().openFiles.end()) {
        if (!file->second.empty()) fake::Remove(file->second);  // deleted on close
        state().openFiles.erase(file);
        return true;
    }
    auto mutex = state().openMutexes.find(handle);
    if (mutex == state().openMutexes.end()) return false;
    if (--state().mutexes[mutex->second] <= 0) state().mutexes.erase(mutex->second);
    state().openMutexes.erase(mutex);
    return true;
}

}  // namespace sys
