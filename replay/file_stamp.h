// What tells one copy of a replay from another without reading it: its size and
// last-write time, which a copy by the shell carries over to its target.
#pragma once

#include <cstdint>

#include "platform/types.h"

struct FileStamp {
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
    sys::FileTime ftLastWriteTime;
};

// The stamp of the file at path (no wildcard). False when no file of exactly that
// name is there: a folder, or a file found only by its short name, does not count.
bool ReadFileStamp(const char* path, FileStamp* stamp);

bool SameStamp(const FileStamp& left, const FileStamp& right);

// True when the two files (no wildcards) can be read and hold the same bytes.
bool SameContents(const char* left, const char* right);
