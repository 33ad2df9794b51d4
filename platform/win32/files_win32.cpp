// File search, file times, folders and integer formatting.
#include "platform/files.h"

#include <cstring>

#include "platform/win32/ansi_names.h"
#include "platform/win32/win32_headers.h"

namespace sys {

void ToAnsiName(const WCHAR* name, char* out, std::size_t size) {
    if (size < 2) return;
    BOOL usedDefault = FALSE;
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, out, static_cast<int>(size), "?", &usedDefault) ==
        0) {
        out[0] = '?';
        out[1] = '\0';
    }
    out[size - 1] = '\0';
}

namespace {

// The search reads each name as the system stores it: the ANSI call would
// convert it with best fit, and a look-alike can be a separator.
void CopyFindData(const WIN32_FIND_DATAW& found, FindData* data) {
    data->dwFileAttributes = found.dwFileAttributes;
    data->ftCreationTime.dwLowDateTime = found.ftCreationTime.dwLowDateTime;
    data->ftCreationTime.dwHighDateTime = found.ftCreationTime.dwHighDateTime;
    data->ftLastWriteTime.dwLowDateTime = found.ftLastWriteTime.dwLowDateTime;
    data->ftLastWriteTime.dwHighDateTime = found.ftLastWriteTime.dwHighDateTime;
    data->nFileSizeHigh = found.nFileSizeHigh;
    data->nFileSizeLow = found.nFileSizeLow;
    ToAnsiName(found.cFileName, data->cFileName, sizeof data->cFileName);
    ToAnsiName(found.cAlternateFileName, data->cAlternateFileName, sizeof data->cAlternateFileName);
}

FILETIME ToFiletime(const FileTime* time) {
    FILETIME result;
    result.dwLowDateTime = time->dwLowDateTime;
    result.dwHighDateTime = time->dwHighDateTime;
    return result;
}

// wsprintfA writes at most 1024 bytes and its terminator.
constexpr std::size_t kWsprintfLimit = 1025;

// The formatted text is NUL-terminated within its buffer, so the copy stops at
// whichever comes first: that NUL or the room in out.
int CopyBounded(char* out, std::size_t size, const char* formatted) {
    if (size == 0) return 0;
    std::size_t kept = 0;
    while (kept < size - 1 && kept < kWsprintfLimit - 1 && formatted[kept] != '\0') ++kept;
    std::memcpy(out, formatted, kept);
    out[kept] = '\0';
    return static_cast<int>(kept);
}

}  // namespace

SearchHandle FindFirstFileA(const char* pattern, FindData* data) {
    WCHAR widePattern[MAX_PATH];
    if (::MultiByteToWideChar(CP_ACP, 0, pattern, -1, widePattern, MAX_PATH) == 0) {
        return kInvalidSearch;
    }
    WIN32_FIND_DATAW found;
    ZeroMemory(&found, sizeof found);
    HANDLE search = ::FindFirstFileW(widePattern, &found);
    if (search == INVALID_HANDLE_VALUE) return kInvalidSearch;
    CopyFindData(found, data);
    return search;
}

bool FindNextFileA(SearchHandle search, FindData* data) {
    WIN32_FIND_DATAW found;
    ZeroMemory(&found, sizeof found);
    if (!::FindNextFileW(static_cast<HANDLE>(search), &found)) return false;
    CopyFindData(found, data);
    return true;
}

bool FindClose(SearchHandle search) { return ::FindClose(static_cast<HANDLE>(search)) != FALSE; }

bool FileTimeToLocalFileTime(const FileTime* utc, FileTime* local) {
    FILETIME in = ToFiletime(utc);
    FILETIME out = {0, 0};
    BOOL ok = ::FileTimeToLocalFileTime(&in, &out);
    local->dwLowDateTime = out.dwLowDateTime;
    local->dwHighDateTime = out.dwHighDateTime;
    return ok != FALSE;
}

bool FileTimeToSystemTime(const FileTime* time, SystemTime* out) {
    FILETIME in = ToFiletime(time);
    SYSTEMTIME converted;
    ZeroMemory(&converted, sizeof converted);
    BOOL ok = ::FileTimeToSystemTime(&in, &converted);
    out->wYear = converted.wYear;
    out->wMonth = converted.wMonth;
    out->wDayOfWeek = converted.wDayOfWeek;
    out->wDay = converted.wDay;
    out->wHour = converted.wHour;
    out->wMinute = converted.wMinute;
    out->wSecond = converted.wSecond;
    out->wMilliseconds = converted.wMilliseconds;
    return ok != FALSE;
}

uint32_t GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

bool CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr) != FALSE; }

int FormatInt(char* out, std::size_t size, const char* format, uint32_t a) {
    char formatted[kWsprintfLimit];
    ZeroMemory(formatted, sizeof formatted);
    ::wsprintfA(formatted, format, a);
    return CopyBounded(out, size, formatted);
}

int FormatInt2(char* out, std::size_t size, const char* format, uint32_t a, uint32_t b) {
    char formatted[kWsprintfLimit];
    ZeroMemory(formatted, sizeof formatted);
    ::wsprintfA(formatted, format, a, b);
    return CopyBounded(out, size, formatted);
}

}  // namespace sys
