// Times the archiving of a burst of 1000 slot files by the real program's pass:
// how long the thread stays away from its message loop at the most (while it is
// away the tray menu does not open, and after 5 s Windows calls the program "Not
// Responding"), and how long until every file is archived. Both are also given
// as a multiple of one plain move of one file by the shell, timed in the same run.
// It also opens the tray menu during the burst and presses Escape in it, as a
// player would, and times the key's wait: from the key to the menu closing.
//
//   zolm_burst_bench.exe [data folder]     (default: %TEMP%\zolm-burst-bench)
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/tray_application.h"
#include "tools/bench/bench_clock.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/file_request.h"

namespace {

const int kSlotFiles = 1000;
const int kPlainMoves = 20;

// A file of its own contents, last written `second` seconds after a fixed
// moment, so that every replay of the burst has an archive name of its own.
bool MakeFile(const char* path, int second) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char text[64];
    DWORD written = 0;
    int length = std::snprintf(text, sizeof text, "burst replay %d", second);
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    SYSTEMTIME base = {2007, 5, 0, 12, 0, 0, 0, 0};
    FILETIME time;
    SystemTimeToFileTime(&base, &time);
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(second) * 10000000ull;
    time.dwLowDateTime = ticks.LowPart;
    time.dwHighDateTime = ticks.HighPart;
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return true;
}

// Empties folder and everything below it.
void Clear(const char* folder) {
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            Clear(path);
            RemoveDirectoryA(path);
        } else {
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The files directly in folder whose names match pattern; with below, the files
// in its sub-folders, at any depth, instead.
int CountFiles(const char* folder, const char* pattern, bool below) {
    char search[MAX_PATH];
    std::snprintf(search, sizeof search, "%s\\%s", folder, below ? "*" : pattern);
    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA(search, &found);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!below) {
            count += isFolder ? 0 : 1;
        } else if (isFolder && found.cFileName[0] != '.') {
            char path[MAX_PATH];
            std::snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
            count += CountFiles(path, "*", false) + CountFiles(path, "*", true);
        }
    } while (FindNextFileA(handle, &found));
    FindClose(handle);
    return count;
}

// One move of one file by the shell, with the archive move's flags, on average.
double TimePlainMove(const char* data) {
    char plain[MAX_PATH];
    std::snprintf(plain, sizeof plain, "%s\\plain", data);
    CreateDirectoryA(plain, nullptr);
    double total = 0;
    for (int i = 0; i < kPlainMoves; ++i) {
        char from[MAX_PATH + 1] = {};
        char to[MAX_PATH + 1] = {};
        std::snprintf(from, MAX_PATH, "%s\\plain.RPD", data);
        std::snprintf(to, MAX_PATH, "%s\\%d.RPD", plain, i);
        MakeFile(from, i);
        double start = bench::Now();
        RunFileRequest(nullptr, 1, from, to, request_flags::kArchiveMove, nullptr);
        total += bench::Now() - start;
    }
    Clear(plain);
    RemoveDirectoryA(plain);
    return total / kPlainMoves;
}

// When the player pressed Escape in the tray menu; 0 until then.
volatile double keyPressedAt = 0;

// Waits for the tray menu to show, then presses Escape as real keyboard input,
// which the message loops take after posted messages and before timers.
DWORD WINAPI PressEscapeInMenu(void*) {
    for (int wait = 0; wait < 4000; ++wait) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu != nullptr && IsWindowVisible(menu)) {
            Sleep(50);
            keyPressedAt = bench::Now();
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
            return 0;
        }
        Sleep(5);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    char data[MAX_PATH];
    bench::ChooseFolder(argc, argv, "zolm-burst-bench", data);
    Clear(data);

    double plainMove = TimePlainMove(data);
    for (int slot = 0; slot < kSlotFiles; ++slot) {
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s\\REPLAY%03d.RPD", data, slot);
        if (!MakeFile(path, slot)) {
            std::printf("cannot make the slot files\n");
            return 1;
        }
    }

    // The program's settings beside this program: the data folder, and a timer
    // too slow to tick during the run, whose ticks this loop makes itself.
    char ini[MAX_PATH];
    GetModuleFileNameA(nullptr, ini, sizeof ini);
    std::strcpy(std::strrchr(ini, '.'), ".ini");
    WritePrivateProfileStringA("Replay", "DataFolder", data, ini);
    WritePrivateProfileStringA("Replay", "MonitorInterval", "86400000", ini);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    TrayApplication* application = new TrayApplication(instance);
    theApplication = application;
    application->window = sys::CreateDialogParamA(instance, IDD_HIDDEN, nullptr, TrayApplication::DialogProc, 0);
    std::strcpy(application->caption, "ZOLM");
    // The ticks of this run are the ones this loop makes, each a period after the last.
    application->settings.MonitorInterval = 0;
    application->CreateMenus();
    application->initialized = 1;

    // The first tick sees the files; the second begins to archive them, and the
    // player clicks the tray icon while it goes on.
    application->MonitorTick();
    double longest = 0;
    double start = bench::Now();
    application->MonitorTick();
    longest = bench::Now() - start;
    PostMessageA(static_cast<HWND>(application->window), sys::kWmTrayNotify, 1, WM_RBUTTONDOWN);
    HANDLE presser = CreateThread(nullptr, 0, PressEscapeInMenu, nullptr, 0, nullptr);
    double inputWait = -1;
    int away = 1;
    MSG message;
    for (;;) {
        double before = bench::Now();
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            // The menu's own loop serves the thread meanwhile: not time away.
            if (message.message == sys::kWmTrayNotify) {
                inputWait = keyPressedAt != 0 ? bench::Now() - keyPressedAt : -1;
                ++away;
                continue;
            }
        } else if (application->archivePass.underway) {
            WaitMessage();  // the next slice is on its way
        } else if (CountFiles(data, "REPLAY*.RPD", false) == 0 || bench::Now() - start > 600000) {
            break;
        } else {
            application->MonitorTick();  // as the timer would, once a period
        }
        double spent = bench::Now() - before;
        if (spent > longest) longest = spent;
        ++away;
    }
    double total = bench::Now() - start;
    int archived = CountFiles(data, "*", true);
    WaitForSingleObject(presser, 1000);
    CloseHandle(presser);

    std::printf("one plain move: %.2f ms (mean of %d)\n", plainMove, kPlainMoves);
    std::printf("burst of %d slot files: %d archived, in %d runs from the message loop\n", kSlotFiles, archived, away);
    std::printf("longest time away from the message loop: %.0f ms = %.0f plain moves\n", longest, longest / plainMove);
    std::printf("all archived after: %.0f ms = %.0f plain moves\n", total, total / plainMove);
    if (inputWait >= 0) {
        std::printf("input wait: Escape in the tray menu opened during the burst closed it after %.0f ms\n", inputWait);
    } else {
        std::printf("input wait: the tray menu did not open or take the key\n");
    }
    application->initialized = 0;
    Clear(data);
    return archived == kSlotFiles ? 0 : 1;
}
