// Plain stand-ins for the Win32 types that cross the platform seam, so that the
// logic compiles without <windows.h>. Handles are opaque pointers; records keep
// the field names of the Win32 structures they mirror, so code reads like the API.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sys {

using Instance = void*;      // HINSTANCE
using Window = void*;        // HWND
using Menu = void*;          // HMENU
using Icon = void*;          // HICON
using RegKey = void*;        // HKEY
using Module = void*;        // HMODULE
using ProcAddress = void*;   // FARPROC
using SearchHandle = void*;  // HANDLE of FindFirstFileA
using IdList = void*;        // PIDLIST_ABSOLUTE
using Handle = void*;        // HANDLE of a file or a mutex
using Malloc = void*;        // IMalloc*
using Atom = uint16_t;       // ATOM
using TimerId = uintptr_t;   // UINT_PTR
using WParam = uintptr_t;    // WPARAM
using LParam = intptr_t;     // LPARAM

constexpr std::size_t kMaxPath = 260;
const SearchHandle kInvalidSearch = reinterpret_cast<SearchHandle>(static_cast<intptr_t>(-1));
const Handle kInvalidHandle = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));

// Messages and results the logic names.
constexpr uint32_t kWmNull = 0x0000;
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmQueryEndSession = 0x0011;
constexpr uint32_t kWmEndSession = 0x0016;
constexpr uint32_t kEndSessionCloseApp = 0x1;  // in lParam: the Restart Manager closes the program
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmNotify = 0x004E;
constexpr uint32_t kWmInitDialog = 0x0110;
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kWmTimer = 0x0113;
constexpr uint32_t kWmMouseMove = 0x0200;
constexpr uint32_t kWmLButtonDown = 0x0201;
constexpr uint32_t kWmRButtonDown = 0x0204;
constexpr uint32_t kWmTrayNotify = 0x8064;  // WM_APP + 0x64

constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
constexpr uint32_t kMbOk = 0x00;
constexpr uint32_t kMbYesNo = 0x04;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr uint32_t kMbDefButton2 = 0x100;
constexpr uint32_t kMbSetForeground = 0x10000;
constexpr uint32_t kMbTopmost = 0x40000;

constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// CreateFileA.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kFileShareAll = 0x7;  // read, write and delete
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kFileAttributeTemporary = 0x100;
constexpr uint32_t kFileFlagDeleteOnClose = 0x04000000u;

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorFilenameExcedRange = 206;  // "The filename or extension is too long."
constexpr uint32_t kErrorAlreadyExists = 183;

struct FileTime {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

struct SystemTime {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

// WIN32_FIND_DATAA, the fields the program reads.
struct FindData {
    uint32_t dwFileAttributes;
    FileTime ftCreationTime;
    FileTime ftLastWriteTime;
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
    // Characters the ANSI code page cannot spell exactly (none, or only by a
    // look-alike such as a backslash for the yen sign) come back as '?'.
    char cFileName[kMaxPath];
    // The 8.3 name, where the long name is no valid one and the volume keeps them.
    char cAlternateFileName[14];
};

// OSVERSIONINFOA.
struct OsVersionInfo {
    uint32_t dwOSVersionInfoSize;
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
    uint32_t dwPlatformId;
    char szCSDVersion[128];
};
constexpr uint32_t kOsVersionInfoSize = 148;
constexpr uint32_t kVerPlatformWin32Windows = 1;

// SHFILEOPSTRUCTA. pFrom and pTo are double-NUL lists.
struct FileOpRequest {
    Window hwnd;
    uint32_t wFunc;
    const char* pFrom;
    const char* pTo;
    uint16_t fFlags;
    int fAnyOperationsAborted;
    void* hNameMappings;
    const char* lpszProgressTitle;
};
constexpr uint32_t kFoMove = 1;
constexpr uint32_t kFoCopy = 2;
constexpr uint32_t kFoDelete = 3;
constexpr uint16_t kFofMultiDestFiles = 0x0001;
constexpr uint16_t kFofSilent = 0x0004;
constexpr uint16_t kFofRenameOnCollision = 0x0008;
constexpr uint16_t kFofNoConfirmation = 0x0010;
constexpr uint16_t kFofAllowUndo = 0x0040;
constexpr uint16_t kFofFilesOnly = 0x0080;
constexpr uint16_t kFofSimpleProgress = 0x0100;
constexpr uint16_t kFofNoConfirmMkdir = 0x0200;
constexpr uint16_t kFofNoErrorUi = 0x0400;

// NOTIFYICONDATAA in its first form, and the balloon of its second. The Win32
// side sends the first-version size of the structure on the running
// architecture, or the second's for a balloon.
struct NotifyIconData {
    uint32_t cbSize;
    Window hWnd;
    uint32_t uID;
    uint32_t uFlags;
    uint32_t uCallbackMessage;
    Icon hIcon;
    char szTip[64];
    char szInfo[256];
    char szInfoTitle[64];
    uint32_t dwInfoFlags;
};
constexpr uint32_t kNimAdd = 0;
constexpr uint32_t kNimModify = 1;
constexpr uint32_t kNimDelete = 2;
constexpr uint32_t kNifMessage = 0x1;
constexpr uint32_t kNifIcon = 0x2;
constexpr uint32_t kNifTip = 0x4;
constexpr uint32_t kNifInfo = 0x10;
constexpr uint32_t kNiifWarning = 0x2;

// Callbacks, in portable form; the Win32 side wraps them in CALLBACK trampolines.
using DialogProcFn = intptr_t (*)(Window window, uint32_t message, WParam wParam, LParam lParam);
using TimerProcFn = void (*)(Window window, uint32_t message, TimerId id, uint32_t time);
using BrowseCallbackFn = int (*)(Window window, uint32_t message, LParam lParam, LParam data);

// BROWSEINFOA.
struct BrowseInfo {
    Window hwndOwner;
    IdList pidlRoot;
    char* pszDisplayName;
    const char* lpszTitle;
    uint32_t ulFlags;
    BrowseCallbackFn lpfn;
    LParam lParam;
    int iImage;
};
constexpr uint32_t kBifReturnOnlyFsDirs = 0x0001;
constexpr uint32_t kBifNewDialogStyle = 0x0040;
constexpr uint32_t kBifNoNewFolderButton = 0x0200;
constexpr uint32_t kBffmInitialized = 1;
constexpr uint32_t kBffmSetSelectionA = 0x0466;

constexpr uint32_t kMfString = 0x0000;
constexpr uint32_t kMfByCommand = 0x0000;
constexpr uint32_t kMfUnchecked = 0x0000;
constexpr uint32_t kMfChecked = 0x0008;
constexpr uint32_t kMfEnabled = 0x0000;
constexpr uint32_t kMfGrayed = 0x0001;
constexpr uint32_t kMfByPosition = 0x0400;
constexpr uint32_t kTpmReturnCmd = 0x0100;

constexpr uint32_t kImageIcon = 1;
constexpr uint32_t kLrShared = 0x8000;
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;

struct Point {
    int32_t x;
    int32_t y;
};

struct Message {
    Window hwnd;
    uint32_t message;
    WParam wParam;
    LParam lParam;
};

}  // namespace sys
