#include "shellops/file_search.h"

bool FindOneFile(const char* path, sys::FindData* found) {
    bool any = false;
    ForEachFile(path, [&](const sys::FindData& file) {
        *found = file;
        any = true;
        return false;
    });
    return any;
}
