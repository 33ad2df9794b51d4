#include "voice/voice_copy.h"

#include <cstdint>
#include <cstring>

#include "platform/files.h"
#include "platform/memory.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/file_search.h"
#include "shellops/path_list.h"

namespace {

// The copy of name from sourceFolder into targetFolder. False when it does not
// fit, or, with onlyMissing, the target folder holds that name already.
bool FilePair(const char* sourceFolder, const char* targetFolder, const char* name, bool onlyMissing, char* from,
              char* to) {
    return CopyPath(from, sys::kMaxPath, sourceFolder) && AppendPath(from, name) &&
           CopyPath(to, sys::kMaxPath, targetFolder) && AppendPath(to, name) &&
           (!onlyMissing || sys::GetFileAttributesA(to) == sys::kInvalidFileAttributes);
}

}  // namespace

int CopyFolderFiles(sys::Window owner, const char* sourceFolder, const char* pattern, const char* targetFolder,
                    bool onlyMissing, uint16_t flags, const char* progressTitle) {
    char search[sys::kMaxPath];
    // Without either folder the names would be joined to the current drive's root.
    if (sourceFolder[0] == '\0' || targetFolder[0] == '\0' || !CopyPath(search, sizeof search, sourceFolder) ||
        !AppendPath(search, pattern)) {
        return kNothingToCopy;
    }
    char from[sys::kMaxPath];
    char to[sys::kMaxPath];
    uint64_t files = 0;
    ForEachFile(search, [&](const sys::FindData& found) {
        if (FilePair(sourceFolder, targetFolder, found.cFileName, onlyMissing, from, to)) ++files;
        return true;
    });
    if (files == 0) return kNothingToCopy;
    uint64_t listBytes = files * sys::kMaxPath + 1;
    if (listBytes > SIZE_MAX) return kNoRoomForLists;
    char* fromBuffer = static_cast<char*>(sys::AllocateZeroed(static_cast<std::size_t>(listBytes)));
    char* toBuffer = static_cast<char*>(sys::AllocateZeroed(static_cast<std::size_t>(listBytes)));
    int result = kNoRoomForLists;
    if (fromBuffer != nullptr && toBuffer != nullptr) {
        PathList sources(fromBuffer, static_cast<std::size_t>(listBytes));
        PathList targets(toBuffer, static_cast<std::size_t>(listBytes));
        ForEachFile(search, [&](const sys::FindData& found) {
            if (FilePair(sourceFolder, targetFolder, found.cFileName, onlyMissing, from, to)) {
                PathList::AppendPair(sources, from, targets, to);
            }
            return true;
        });
        result = sources.count == 0
                     ? kNothingToCopy
                     : RunFileRequest(owner, sys::kFoCopy, sources.Text(), targets.Text(), flags, progressTitle);
    }
    sys::Free(fromBuffer);
    sys::Free(toBuffer);
    return result;
}
