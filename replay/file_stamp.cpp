#include "replay/file_stamp.h"

#include <cstring>

#include "platform/handles.h"
#include "shellops/file_search.h"

namespace {

sys::Handle OpenToRead(const char* path) {
    // Shared every way: the game may hold a replay open, and reading changes nothing.
    return sys::CreateFileA(path, sys::kGenericRead, sys::kFileShareAll, sys::kOpenExisting, sys::kFileAttributeNormal);
}

}  // namespace

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    std::memset(stamp, 0, sizeof *stamp);
    sys::FindData found{};
    if (!FindOneFile(path, &found)) return false;
    *stamp = FileStamp{found.nFileSizeHigh, found.nFileSizeLow, found.ftLastWriteTime};
    return true;
}

bool SameStamp(const FileStamp& left, const FileStamp& right) {
    return left.nFileSizeHigh == right.nFileSizeHigh && left.nFileSizeLow == right.nFileSizeLow &&
           left.ftLastWriteTime.dwLowDateTime == right.ftLastWriteTime.dwLowDateTime &&
           left.ftLastWriteTime.dwHighDateTime == right.ftLastWriteTime.dwHighDateTime;
}

bool SameContents(const char* left, const char* right) {
    sys::Handle a = OpenToRead(left);
    sys::Handle b = OpenToRead(right);
    bool same = a != sys::kInvalidHandle && b != sys::kInvalidHandle;
    char bytesA[4096];
    char bytesB[4096];
    while (same) {
        uint32_t readA = 0;
        uint32_t readB = 0;
        // A read that fails or comes short proves nothing: the files count as different.
        same = sys::ReadFile(a, bytesA, sizeof bytesA, &readA) && sys::ReadFile(b, bytesB, sizeof bytesB, &readB) &&
               readA == readB && std::memcmp(bytesA, bytesB, readA) == 0;
        if (readA == 0) break;
    }
    sys::CloseHandle(a);
    sys::CloseHandle(b);
    return same;
}
