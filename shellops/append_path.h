// The one path join of the program.
#pragma once

#include <cstddef>

// Appends name to the 260-byte path buffer with one backslash between them (none
// added when path already ends in one; an empty path receives it). Refuses a join
// that would not fit, leaving path as it was, and returns false then.
bool AppendPath(char* path, const char* name);

// Zero-fills out (size bytes) and copies path into it. False, with out empty,
// when path does not fit a 260-byte path buffer or out: it is never cut.
bool CopyPath(char* out, std::size_t size, const char* path);

// True when the last character of path is a backslash: the second byte of a code
// page 932 double-byte character never counts as one.
bool EndsWithBackslash(const char* path);

// True when byte is the first byte of a code page 932 double-byte character.
bool IsLeadByte(unsigned char byte);

// Offset of the last part of path, the file name: one past its last backslash or
// slash; a trail byte of a double-byte character is never taken for one.
std::size_t FileNameOffset(const char* path);

// True for a path that names one place whatever the current drive and folder:
// "X:\..." or "\\server\share...". The shell recycles only such paths; it
// deletes others for good.
bool IsFullyQualifiedPath(const char* path);

// True when name is one file name or pattern inside a folder: not empty, no path
// separator or drive colon, and not made of dots alone ("." or "..").
bool IsPlainFileName(const char* name);

// Names or paths compared as the file system compares them: ASCII letters
// without case, both bytes of a double-byte character exactly.
bool SameNameIgnoringCase(const char* a, const char* b);
