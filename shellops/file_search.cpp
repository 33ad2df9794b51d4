#include "shellops/file_search.h"

#include <cstring>

namespace {

// '?' is never the second byte of a double-byte character.
bool HasQuestionMark(const char* name) { return std::strchr(name, '?') != nullptr; }

bool HasWildcard(const char* pattern) { return std::strpbrk(pattern, "*?") != nullptr; }

}  // namespace

bool IsNamedFile(const sys::FindData& found, const char* pattern) {
    if (MatchesFilePattern(found.cFileName, pattern)) return true;
    // A name passed on as a short name (see TakeReachableName) finds its file again.
    return !HasWildcard(pattern) && found.cAlternateFileName[0] != '\0' &&
           MatchesFilePattern(found.cAlternateFileName, pattern);
}

bool TakeReachableName(sys::FindData* found) {
    if (!HasQuestionMark(found->cFileName)) return true;
    const char* shortName = found->cAlternateFileName;
    const char* end = static_cast<const char*>(std::memchr(shortName, '\0', sizeof found->cAlternateFileName));
    if (end == nullptr || end == shortName || HasQuestionMark(shortName)) return false;
    std::size_t length = static_cast<std::size_t>(end - shortName);
    std::memset(found->cFileName, 0, sizeof found->cFileName);
    std::memcpy(found->cFileName, shortName, length);
    return true;
}

bool FindOneFile(const char* path, sys::FindData* found) {
    bool any = false;
    ForEachFile(path, [&](const sys::FindData& file) {
        *found = file;
        any = true;
        return false;
    });
    return any;
}

bool IsFile(const char* path) {
    uint32_t attributes = sys::GetFileAttributesA(path);
    return attributes != sys::kInvalidFileAttributes && (attributes & sys::kFileAttributeDirectory) == 0;
}

bool HoldsFile(const char* folder, const char* name) {
    char path[sys::kMaxPath];
    return CopyPath(path, sizeof path, folder) && AppendPath(path, name) && IsFile(path);
}

bool IsFolder(const char* path) {
    uint32_t attributes = sys::GetFileAttributesA(path);
    return attributes != sys::kInvalidFileAttributes && (attributes & sys::kFileAttributeDirectory) != 0;
}
