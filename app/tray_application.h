// The one application object: settings, slot presence, the hidden window, the
// timer, the menus and the tray icon, and every command of the program.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "replay/archive_failures.h"
#include "replay/file_stamp.h"
#include "replay/presence_table.h"
#include "replay/recent_days.h"
#include "replay/slot_scanner.h"
#include "res/resource.h"  // the tray menu's command ids, IDM_*
#include "settings/profile_settings.h"

class PathList;

enum : int32_t { PlayMode = 0, BrowseMode = 1 };

// What became of a slot file that was to be archived.
struct ArchiveResult {
    // The file has left its slot: moved into the archive tree, or recycled as a
    // copy of a replay archived already.
    bool left;
    // When it has not: the platform's error code for the reason, 0 when there is none.
    uint32_t reason;
    // It holds a copy of a replay archived already, left for the caller to recycle.
    bool copyOfArchived;
};

// Every method below is defined in the file its group names.
class TrayApplication {
public:
    // app/tray_application.cpp
    explicit TrayApplication(sys::Instance instance);
    virtual ~TrayApplication();

    TrayApplication(const TrayApplication&) = delete;
    TrayApplication& operator=(const TrayApplication&) = delete;

    // Start-up: app/startup.cpp
    void Initialize();
    void CheckSingleInstance();
    // True when the shell shows the icon (added, or found still there and updated).
    bool AddTrayIcon();
    void ShowTrayIcon();
    void RetryTrayIcon();
    void StopTrayIconRetry();
    void StartTimer(sys::Window dialog);

    // Shutdown: app/shutdown.cpp
    void Cleanup();
    // Gives up the single-instance atom and mutex.
    void ReleaseInstance();
    void CloseSequence();
    void EndSession();
    // Asked to close while the session goes on: saves first, then closes completely.
    void CloseForRestart();

    // The hidden window's and the timer's procedures: app/dialog_procedures.cpp
    static intptr_t DialogProc(sys::Window window, uint32_t message, sys::WParam wParam, sys::LParam lParam);
    static void MonitorTimerProc(sys::Window window, uint32_t message, sys::TimerId id, uint32_t time);

    // Tray menu and command dispatch: app/tray_menu.cpp. A command's id is in
    // res/resource.h and its item in res/zolm.rc.
    void CreateMenus();
    void HandleTrayMessage(sys::WParam wParam, sys::LParam lParam);
    uint32_t ShowTrayMenu();
    uint32_t ShowPopupAtCursor(sys::Menu menu, sys::Window owner);

    // Replay monitor and archiver: replay/replay_monitor.cpp
    void MonitorTick();
    // Begins a pass over the slots, when none is under way, and runs its first slice.
    void ArchiveStableReplays(const char* sourceFolder, const char* archiveRoot);
    // Runs the next slice of the pass under way, if any and if no command waits
    // in a modal loop.
    void ContinueArchivePass();
    // Has the next slice run once waiting input and paint have been served.
    void ScheduleArchiveSlice();
    // Ends an unfinished pass where it is: a command is about to touch the slots.
    void EndArchivePass();

    // The archive move of one slot file: replay/archive_move.cpp. A copy of a
    // replay archived already is recycled, or with recycleCopy false only told.
    ArchiveResult ArchiveReplay(const char* sourceFolder, const char* archiveRoot, const sys::FindData& slotFile,
                                bool recycleCopy = true);

    // The player told of replays that cannot be archived: app/archive_warning.cpp
    // At the end of a pass: the tray tip, and one balloon for the slots due to be told.
    void ShowArchiveFailures();
    // The balloon for count replays, the first of them fileName; true when the shell took it.
    bool ShowArchiveWarning(const char* fileName, uint32_t reason, uint32_t count);
    // The tray tip: the caption, or the number of replays that cannot be archived.
    void WriteTrayTip(char* tip, std::size_t size);

    // The two modes: replay/modes.cpp
    void SetMode(int32_t newMode);
    // False when the recycle failed or was stopped: the loaded replays may still be there.
    bool DeleteLoadedReplays(const char* folder);

    // Replay loader: replay/replay_loader.cpp
    void ChooseAndLoadReplays();
    // Loads folder, picked or chosen from the recent ones, and remembers it.
    void LoadChosenReplays(const char* folder);
    void LoadReplays(const char* sourceFolder, const char* dataFolder);

    // The recent replays' submenu: replay/recent_replays.cpp
    // Fills the submenu of the "TaskTray" popup with the newest day folders of
    // the archive, and greys it when there is none.
    void FillRecentReplays(sys::Menu taskTray);
    // Loads the folder of entry index of the submenu.
    void LoadRecentReplays(uint32_t index);

    // The data folder in Explorer: replay/archive_folder.cpp
    void OpenArchiveFolder();

    // Starting with Windows: app/start_with_windows.cpp
    // True when the user's Run key starts this very program.
    bool StartsWithWindows();
    void ToggleStartWithWindows();

    // Voice installer: voice/voice_installer.cpp
    void ChooseAndInstallVoices();
    void InstallCharacterVoices(const char* sourceFolder, const char* voiceFolder, uint32_t character);
    // Makes sure the character's backup folder holds every voice file that targets
    // would replace, saving those it lacks; false when one is not there afterwards.
    bool KeepOriginals(const char* voiceFolder, uint32_t character, const PathList& targets);

    // Going back to the game's own voices: voice/voice_restore.cpp
    void ChooseAndRestoreVoices();
    void RestoreCharacterVoices(const char* voiceFolder, uint32_t character);

    // The set of voices each character wears: voice/voice_sets.cpp
    // The character popup's text: the name, and the folder the voices came from.
    void WriteCharacterLabel(uint32_t character, char* label, std::size_t size);
    // Remembers the last part of folder ("" for the game's own voices) as the
    // set the character wears, and shows it in the popup.
    void WearVoiceSet(uint32_t character, const char* folder);

    // First-run voice backup: voice/voice_backup.cpp
    void OfferVoiceBackup();
    // False when a voice file of the character is not in its backup folder afterwards.
    bool BackupCharacterVoices(const char* sourceFolder, const char* backupBase, uint32_t character);

    // Folder picker: shellops/folder_picker.cpp
    void BrowseForFolder(char* chosen, const char* start);
    static int BrowseCallback(sys::Window window, uint32_t message, sys::LParam lParam, sys::LParam data);

    int32_t initialized;
    int32_t mode;
    sys::Instance instance;
    char caption[256];
    char atomName[256];
    sys::Atom atom;
    ProfileSettings settings;
    PresenceTable presence;
    SlotScanner slotScan;
    sys::Window window;
    sys::TimerId timerId;
    sys::Menu trayMenu;
    sys::Menu characterPopup;
    sys::Icon icon;
    sys::NotifyIconData notifyData;
    // True when this instance added the atom itself and so must delete it at exit.
    bool ownsAtom;
    // True while a tray command waits in one of its modal loops.
    bool commandRunning;
    // "TaskbarCreated", broadcast when Explorer restarts; 0 when unregistered.
    uint32_t taskbarCreatedMessage;
    // Held by every running instance; the system closes it when a process dies.
    sys::Handle instanceMutex;
    // Tries left to add the tray icon while the shell is not ready; 0 when no retry runs.
    uint32_t trayIconRetriesLeft;
    // The slot files the loads since the last recycle wrote, by slot number less
    // MinIndex, as each copy left them. Only these go to the recycle bin, and
    // only while unchanged. Kept in memory alone: a new start begins without.
    bool slotLoaded[kMaxTrackedSlots];
    FileStamp loadedStamps[kMaxTrackedSlots];
    ArchiveFailures archiveFailures;
    // The recent replays' submenu, as the tray menu last showed it.
    RecentDays recentDays;
    // The replays the tray tip says cannot be archived; 0 when it shows the caption.
    uint32_t tipFailing;
    // The archive pass under way: the slot it visits next, of first..last, and
    // when it began.
    struct ArchivePass {
        bool underway;
        uint32_t first;
        uint32_t next;
        uint32_t last;
        uint32_t began;
        char source[sys::kMaxPath];
        char root[sys::kMaxPath];
        // The slots of this pass due to be told, and the first of them.
        uint32_t toTell;
        char firstToTell[sys::kMaxPath];
        uint32_t firstReason;
    } archivePass;
};

// The room for a character popup's text.
constexpr std::size_t kCharacterLabelSize = 64;

// The hidden window's timer that retries adding the tray icon.
constexpr sys::TimerId kTrayIconRetryTimer = 2;

// The hidden window's timer that runs the next slice of the archive pass: a
// WM_TIMER comes after the input and paint that wait, where a posted message
// would come before them. One-shot, after the shortest period there is.
constexpr sys::TimerId kArchiveSliceTimer = 3;
constexpr uint32_t kArchiveSlicePause = 10;
// How long one slice of the archive pass goes on before it returns to the
// message loop; a single move may take longer.
constexpr uint32_t kArchiveSliceMilliseconds = 100;

// The one application object, for the dialog and timer procedures.
extern TrayApplication* theApplication;

// WinMain's body: builds the application, runs its message loop and returns the
// process exit code.
int RunApplication(sys::Instance instance);
