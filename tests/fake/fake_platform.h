// The fake platform: every seam call of the program is recorded in order, and
// every answer comes from a script that a test sets up beforehand. One global
// state, reset by each test with fake::Reset().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace fake {

// One file or folder of the fake file system. Paths are full Windows paths,
// matched without case; files are enumerated in the order they were added.
struct Entry {
    std::string path;
    std::string contents;
    bool isFolder = false;
    uint64_t creationTime = 0;  // FILETIME ticks, UTC
    uint64_t lastWriteTime = 0;
    bool locked = false;  // held open by another program: no request can move it

    // The folded path and folded parent, kept while path stays what they were made from.
    mutable std::string foldedFrom;
    mutable std::string folded;
    mutable std::string foldedParent;
};

// A file opened with CreateFileA.
struct OpenFile {
    std::string deleteOnClose;  // its path when the system deletes it on close, else ""
    std::string path;
    std::size_t position;  // where the next ReadFile starts
};

struct MessageBoxCall {
    sys::Window owner;
    std::string text;
    std::string caption;
    uint32_t style;
};

// A batch request as it crossed the seam, lists split into their entries.
struct FileOpCall {
    sys::Window hwnd;
    uint32_t wFunc;
    std::vector<std::string> from;
    std::vector<std::string> to;
    bool toIsNull;
    uint16_t fFlags;
    int fAnyOperationsAborted;
    void* hNameMappings;
    std::string progressTitle;
    bool progressTitleIsNull;
};

struct ShellNotifyCall {
    uint32_t message;
    sys::NotifyIconData data;
};

struct MenuItem {
    uint32_t flags;
    uintptr_t id;
    std::string text;
    bool checked = false;
    bool grayed = false;
};

struct FakeMenu {
    std::vector<MenuItem> items;
    std::vector<sys::Menu> subMenus;  // by position; nullptr for plain items
    bool destroyed = false;
    std::size_t destroyedAtCall = 0;  // index in State::calls of the DestroyMenu that did it
};

struct State {
    // Everything the program asked for, by seam function name, in order.
    std::vector<std::string> calls;

    // Program and resources.
    std::string moduleFileName = "C:\\Program Files\\ZOLM\\zolm.exe";
    std::map<uint32_t, std::string> strings;  // the real string table, code page 932

    // Registry: HKCU\Software\Sega\PuyoF.
    bool registryKeyExists = true;
    bool installPathExists = true;
    std::string installPathBytes = "C:\\Games\\PuyoF";  // stored bytes, NUL added when terminated
    bool installPathTerminated = true;
    int registryOpenCount = 0;
    int registryCloseCount = 0;
    // HKCU\Software\Microsoft\Windows\CurrentVersion\Run: value name -> text.
    std::map<std::string, std::string> runValues;
    // ...\Explorer\StartupApproved\Run: value name -> binary record.
    std::map<std::string, std::string> approvedValues;

    // Version and shell32.
    sys::OsVersionInfo version{148, 5, 1, 2600, 2, {0}};
    bool shell32Loads = true;
    bool shGetFolderPathExported = true;
    int32_t shGetFolderPathResult = 0;
    std::string appDataFolder = "C:\\Users\\player\\AppData\\Roaming";
    int32_t userNotificationState = 5;  // SHQueryUserNotificationState: QUNS_ACCEPTS_NOTIFICATIONS

    // File system; INI files live here too, as text.
    std::vector<Entry> entries;
    int failCreateDirectory = 0;   // the next N CreateDirectoryA calls fail
    bool volumeShortNames = true;  // 8.3 names are kept, as on a system drive
    // Folders where no file can be made or written (Program Files to a user). The
    // program's own folder exists without an entry; any other missing folder takes no file.
    std::vector<std::string> readOnlyFolders;
    std::map<sys::Handle, OpenFile> openFiles;  // CreateFileA handles not closed
    std::vector<std::string> createdFiles;      // the paths of the files CreateFileA made

    // Batch requests: results in order (0 when the queue is empty); when
    // applyFileOps is set, successful moves, copies and deletes change entries.
    std::deque<int> fileOpResults;
    std::deque<bool> fileOpAborts;  // fAnyOperationsAborted of each request (none when empty)
    bool applyFileOps = true;
    std::vector<FileOpCall> fileOps;
    // The shell's own error dialogs: one per request without FOF_NOERRORUI that
    // meets a locked source. Its modal loop runs duringModalLoop once more.
    int errorDialogs = 0;

    // User interface.
    std::deque<int> messageBoxAnswers;  // kIdNo when empty
    std::vector<MessageBoxCall> messageBoxes;
    std::deque<std::string> pickedFolders;               // "" = cancelled; cancelled when empty
    int pickerItemListsLive = 0;                         // item lists handed out and not freed
    std::map<sys::IdList, std::string> pickerItemLists;  // those lists, with their paths
    int mallocsLive = 0;                                 // allocators got and not released
    std::vector<sys::BrowseInfo> browseInfos;
    std::vector<std::string> browseTitles;
    std::vector<std::string> browseSelections;  // paths sent with BFFM_SETSELECTIONA
    std::deque<int> popupChoices;               // 0 (dismissed) when empty
    std::vector<sys::Menu> trackedMenus;
    std::vector<sys::Point> trackedPoints;  // where each opened
    std::vector<std::string> shellOpened;   // "verb path show" of each ShellExecuteA that opened a folder
    // Called inside TrackPopupMenuEx, SHBrowseForFolderA and SHFileOperationA,
    // as the program's modal loops would dispatch messages there.
    std::function<void()> duringModalLoop;
    std::vector<ShellNotifyCall> notifyIcons;
    int notifyAddFailures = 0;                             // the next N NIM_ADD fail, as a busy shell's do
    std::set<std::pair<sys::Window, uint32_t>> trayIcons;  // icons the shell shows: window and uID
    int smallIconSize = 16;                                // SM_CXSMICON and SM_CYSMICON
    std::vector<sys::Point> loadedImageSizes;              // cx, cy of each LoadImageA
    std::map<sys::Menu, FakeMenu> menus;
    int nextHandle = 0x100;

    // Windows and messages.
    sys::Window dialog = nullptr;
    sys::DialogProcFn dialogProc = nullptr;
    bool dialogDestroyed = false;       // DestroyWindow ran on dialog; it gets no more messages
    intptr_t dialogResult = 0;          // the dialog's result slot (DWLP_MSGRESULT)
    std::deque<sys::Message> messages;  // GetMessageA takes from here; 0 when empty or after quit
    bool quitPosted = false;
    bool waitedForever = false;  // GetMessageA found no message and no quit: Windows would block
    // Called by GetMessageA before it reads the queue, as the user or another
    // program would post messages while the loop runs. It must not reassign itself.
    std::function<void()> onGetMessage;
    std::vector<sys::Message> posted;

    // Timer, and the clock: it stands still but for the time each batch request takes.
    uint32_t tickCount = 0;
    uint32_t requestMilliseconds = 0;
    sys::TimerProcFn timerProc = nullptr;
    uint32_t timerPeriod = 0;
    bool timerRunning = false;
    std::map<sys::TimerId, uint32_t> windowTimers;  // timers of the hidden window: id and period

    // Atoms, system-wide: name -> reference count.
    std::map<std::string, int> atoms;

    // Named mutexes, session-wide: name -> open handles; and this process's handles.
    std::map<std::string, int> mutexes;
    std::map<sys::Handle, std::string> openMutexes;
    uint32_t lastError = 0;

    // Heap: the next N allocations fail.
    int failAllocations = 0;
    int blocksLive = 0;

    // COM.
    int comInitialized = 0;

    // Fault injection (FailCall): the calls that can fail and match faultTarget are
    // counted in faultCalls; the one numbered faultAt (from 1) fails, and so do the
    // faultRepeat - 1 matching calls after it. faultAt 0 only counts.
    std::string faultTarget;
    int faultAt = 0;
    int faultRepeat = 1;
    int faultCalls = 0;
    std::vector<std::string> faultsInjected;  // the names of the calls made to fail
};

State& state();

// Resets the state: empty file system, the real string table, defaults above.
void Reset();

// Adds a file (or folder) to the fake file system; its parent folders too.
void AddFile(const std::string& path, const std::string& contents = "", uint64_t creationTime = 0);
void AddFolder(const std::string& path);
bool Exists(const std::string& path);
std::string Contents(const std::string& path);
void Remove(const std::string& path);

// FILETIME ticks of a local date and time, for a fake whose local time is UTC.
uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second);

// How many times name was called, and the calls filtered to the given names.
int CallCount(const std::string& name);
std::vector<std::string> CallsAmong(const std::vector<std::string>& names);

// Fires the thread timer once, as the message loop would.
void FireTimer();

// The group of a seam function, derived from its name: "allocation", "file search",
// "directory creation", "shell request", "profile", "registry", "menu", "timer",
// "tray icon", "window", "atom", "format", "resource"; "" for none of them.
std::string GroupOf(const std::string& name);

// Makes the k-th call (from 1, counted from now) that can fail and whose name or
// group is target ("" for any) fail, and the repeat - 1 such calls after it;
// k 0 only counts them (state().faultCalls).
void FailCall(const std::string& target, int k, int repeat = 1);

// Called by every fake seam function that the platform lets fail, after recording
// the call: true when this call is to fail, and it then returns the platform's
// failure value.
bool ShouldFail(const char* name);

}  // namespace fake
