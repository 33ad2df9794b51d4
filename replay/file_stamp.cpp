#include "replay/file_stamp.h"

#include <cstring>

#include "shellops/file_search.h"

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    std::memset(stamp, 0, sizeof *stamp);
    sys::FindData found;
    if (!FindOneFile(path, &found)) return false;
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
