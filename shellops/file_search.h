// Searches that keep only the files whose long names match. A search by pattern
// also matches short 8.3 names, which can read like anything ("MY_V~P10.WAV" for
// "my_voice_take260_13.WAV"), and it finds folders too.
#pragma once

#include "platform/files.h"
#include "shellops/append_path.h"
#include "shellops/file_pattern.h"

// Calls visit(found) for each file, never a folder, that the search for path
// finds and whose long name matches path's last part, until visit returns false.
template <typename Visit>
void ForEachFile(const char* path, Visit visit) {
    const char* pattern = path + FileNameOffset(path);
    sys::FindData found;
    sys::SearchHandle search = sys::FindFirstFileA(path, &found);
    if (search == sys::kInvalidSearch) return;
    bool more = true;
    do {
        bool isFile = (found.dwFileAttributes & sys::kFileAttributeDirectory) == 0;
        if (isFile && MatchesFilePattern(found.cFileName, pattern)) more = visit(found);
    } while (more && sys::FindNextFileA(search, &found));
    sys::FindClose(search);
}

// The first such file; false when there is none.
bool FindOneFile(const char* path, sys::FindData* found);
