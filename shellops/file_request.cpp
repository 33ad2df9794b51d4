#include "shellops/file_request.h"

#include <cstring>

#include "platform/shell.h"

int RunFileRequest(sys::Window owner, uint32_t function, const char* from, const char* to, uint16_t flags,
                   const char* progressTitle) {
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
    int result = sys::SHFileOperationA(&request);
    if (result == 0 && request.fAnyOperationsAborted != 0) return kFileRequestAborted;
    return result;
}
