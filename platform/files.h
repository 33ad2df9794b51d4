// File search, file times, folders and file formatting helpers of the platform.
#pragma once

#include "platform/types.h"

namespace sys {

// kInvalidSearch when nothing matches; otherwise the first match is in *data and
// the handle must be closed with FindClose.
SearchHandle FindFirstFileA(const char* pattern, FindData* data);
// False when there is no further match.
bool FindNextFileA(SearchHandle search, FindData* data);
bool FindClose(SearchHandle search);

bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local);
bool FileTimeToSystemTime(const FileTime* time, SystemTime* out);

// kInvalidFileAttributes when the path does not exist.
uint32_t GetFileAttributesA(const char* path);
// False on failure, also when the folder exists already.
bool CreateDirectoryA(const char* path);

// wsprintfA with integer arguments only. The caller has checked that format takes
// exactly that many integer conversions. The result is cut to size - 1 bytes and
// always NUL-terminated; returns its length.
int FormatInt(char* out, std::size_t size, const char* format, uint32_t a);
int FormatInt2(char* out, std::size_t size, const char* format, uint32_t a, uint32_t b);

}  // namespace sys
