// The fake handles: files opened or made with CreateFileA, named mutexes, and
// the last error they leave.

#include "platform/handles.h"

#include <cstring>
#include <string>
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

Handle CreateFileA(const char* path, uint32_t access, uint32_t, uint32_t disposition, uint32_t flags) {
    state().calls.push_back("CreateFileA");
    std::string p = path != nullptr ? path : "";
    if (fake::ShouldFail("CreateFileA")) {
        state().lastError = kErrorAccessDenied;
        return kInvalidHandle;
    }
    const fake::Entry* entry = fake::detail::FindEntry(p);
    bool writes = (access & kGenericWrite) != 0;
    if (disposition == kOpenExisting) {
        if (entry == nullptr || entry->isFolder) {
            state().lastError = entry == nullptr ? kErrorFileNotFound : kErrorAccessDenied;
            return kInvalidHandle;
        }
        if (writes && !fake::detail::FolderTakesFiles(fake::detail::ParentOf(p))) {
            state().lastError = kErrorAccessDenied;
            return kInvalidHandle;
        }
        Handle file = fake::detail::NewHandle();
        state().openFiles[file] = fake::OpenFile{std::string(), entry->path, 0};
        return file;
    }
    if (entry != nullptr) {
        state().lastError = kErrorFileExists;
        return kInvalidHandle;
    }
    if (disposition != kCreateNew || p.empty() || !fake::detail::FolderTakesFiles(fake::detail::ParentOf(p))) {
        state().lastError = kErrorAccessDenied;
        return kInvalidHandle;
    }
    fake::AddFile(p);
    state().createdFiles.push_back(p);
    Handle file = fake::detail::NewHandle();
    state().openFiles[file] = fake::OpenFile{(flags & kFileFlagDeleteOnClose) != 0 ? p : std::string(), p, 0};
    return file;
}

bool ReadFile(Handle file, void* buffer, uint32_t size, uint32_t* read) {
    state().calls.push_back("ReadFile");
    *read = 0;
    auto open = state().openFiles.find(file);
    if (fake::ShouldFail("ReadFile") || open == state().openFiles.end()) return false;
    const fake::Entry* entry = fake::detail::FindEntry(open->second.path);
    if (entry == nullptr) return false;
    std::size_t position = open->second.position;
    std::size_t count = position < entry->contents.size() ? entry->contents.size() - position : 0;
    if (count > size) count = size;
    std::memcpy(buffer, entry->contents.data() + position, count);
    open->second.position += count;
    *read = static_cast<uint32_t>(count);
    return true;
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

uint32_t FormatMessageA(uint32_t error, char* out, uint32_t size) {
    state().calls.push_back("FormatMessageA");
    if (size == 0) return 0;
    std::string text = "error " + std::to_string(error) + ".";
    if (fake::ShouldFail("FormatMessageA")) text.clear();
    std::size_t length = text.size() < size ? text.size() : size - 1;
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return static_cast<uint32_t>(length);
}

bool CloseHandle(Handle handle) {
    state().calls.push_back("CloseHandle");
    auto file = state().openFiles.find(handle);
    if (file != state().openFiles.end()) {
        if (!file->second.deleteOnClose.empty()) fake::Remove(file->second.deleteOnClose);
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
