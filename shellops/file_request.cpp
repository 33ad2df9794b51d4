#include "shellops/file_request.h"

#include <cstring>

#include "platform/shell.h"

namespace {

bool underway = false;

}  // namespace

bool FileRequestUnderway() { return underway; }

int RunFileRequest(sys::Window owner, uint32_t function, const char* from, const char* to, uint16_t flags,
                   const char* progressTitle) {
    if (underway) return kFileRequestAborted;
    sys::FileOpRequest request;
    std::memset(&request, 0, sizeof request);
    request.hwnd = owner;
    request.wFunc = function;
    request.pFrom = from;
    request.pTo = to;
    request.fFlags = flags;
    request.fAnyOperationsAborted = 0;
    request.hNameMappings = nullptr;
    request.lpszProgressTitle = progressTitle;
    underway = true;
    int result = sys::SHFileOperationA(&request);
    underway = false;
    if (result == 0 && request.fAnyOperationsAborted != 0) return kFileRequestAborted;
    return result;
}
