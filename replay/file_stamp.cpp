#include "replay/file_stamp.h"

#include <cstring>

#include "platform/files.h"
#include "shellops/append_path.h"
#include "shellops/file_pattern.h"

namespace {

const char* NameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
            ++p;
        } else if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    std::memset(stamp, 0, sizeof *stamp);
    sys::FindData found;
    sys::SearchHandle search = sys::FindFirstFileA(path, &found);
    if (search == sys::kInvalidSearch) return false;
    sys::FindClose(search);
    if ((found.dwFileAttributes & sys::kFileAttributeDirectory) != 0) return false;
    if (!MatchesFilePattern(found.cFileName, NameOf(path))) return false;
    stamp->nFileSizeHigh = found.nFileSizeHigh;
    stamp->nFileSizeLow = found.nFileSizeLow;
    stamp->ftLastWriteTime = found.ftLastWriteTime;
    return true;
}

bool SameStamp(const FileStamp& left, const FileStamp& right) {
    return left.nFileSizeHigh == right.nFileSizeHigh && left.nFileSizeLow == right.nFileSizeLow &&
           left.ftLastWriteTime.dwLowDateTime == right.ftLastWriteTime.dwLowDateTime &&
           left.ftLastWriteTime.dwHighDateTime == right.ftLastWriteTime.dwHighDateTime;
}
