// Searches that keep only the files whose long names match. A search by pattern
// also matches short 8.3 names, which can read like anything ("MY_V~P10.WAV" for
// "my_voice_take260_13.WAV"), and it finds folders too.
#pragma once

#include "platform/files.h"
#include "shellops/append_path.h"
#include "shellops/file_pattern.h"

// True when found is the file that pattern names: its long name matches, or the
// pattern is its short name itself.
bool IsNamedFile(const sys::FindData& found, const char* pattern);

// Leaves in cFileName a name that the ANSI calls reach. A long name with a
// character outside the code page comes back with '?' in its place: a wildcard
// to every later call, which would take other files. The short name then stands
// in for it; without one, false: the file cannot be named.
bool TakeReachableName(sys::FindData* found);

// Calls visit(found) for each file, never a folder, that the search for path
// finds and that path's last part names, until visit returns false. Each
// found.cFileName is one that can be used in a path.
template <typename Visit>
void ForEachFile(const char* path, Visit visit) {
    const char* pattern = path + FileNameOffset(path);
    sys::FindData found;
    sys::SearchHandle search = sys::FindFirstFileA(path, &found);
    if (search == sys::kInvalidSearch) return;
    bool more = true;
    do {
        bool isFile = (found.dwFileAttributes & sys::kFileAttributeDirectory) == 0;
        if (isFile && IsNamedFile(found, pattern) && TakeReachableName(&found)) more = visit(found);
    } while (more && sys::FindNextFileA(search, &found));
    sys::FindClose(search);
}

// The first such file; false when there is none.
bool FindOneFile(const char* path, sys::FindData* found);

// True when path (no wildcard) names a file, not a folder.
bool IsFile(const char* path);
// True when folder holds a file of that name.
bool HoldsFile(const char* folder, const char* name);
// True when path names a folder.
bool IsFolder(const char* path);
