// The tray icon's callback, the tray menu and its check marks, the character
// popup, the dispatch of commands, and what a modal loop may let through.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>

#include "rc_tables.h"
#include "shellops/file_request.h"
#include "tests/unit/app_fixture.h"
#include "voice/character_table.h"

namespace apptest {
namespace {

class TrayMenuTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app = &Start();
        S().calls.clear();
    }

    sys::Menu TaskTray() const { return S().menus[app->trayMenu].subMenus.at(0); }

    bool Checked(uint32_t id) const {
        for (const fake::MenuItem& item : S().menus[TaskTray()].items) {
            if (item.id == id) return item.checked;
        }
        ADD_FAILURE() << "no item " << id;
        return false;
    }

    TrayApplication* app = nullptr;
};

TEST_F(TrayMenuTest, OnlyAButtonPressOnOurIconOpensTheMenu) {
    const struct {
        sys::WParam icon;
        sys::LParam mouse;
    } ignored[] = {{2, sys::kWmRButtonDown},
                   {0, sys::kWmLButtonDown},
                   {1, 0x0202},
                   {1, 0x0205},
                   {1, 0x0203},
                   {1, sys::kWmMouseMove},
                   {1, 0x0000}};
    for (const auto& row : ignored) {
        EXPECT_EQ(Send(sys::kWmTrayNotify, row.icon, row.mouse), 1);
    }
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 0);

    Send(sys::kWmTrayNotify, 1, sys::kWmLButtonDown);
    Send(sys::kWmTrayNotify, 1, sys::kWmRButtonDown);
    ASSERT_EQ(S().trackedMenus.size(), 2u);
    EXPECT_EQ(S().trackedMenus[0], TaskTray());
    EXPECT_EQ(S().trackedMenus[1], TaskTray());
}

TEST_F(TrayMenuTest, MenuOpensAtTheCursorAndDismissingRunsNothing) {
    fake::FailCall("GetCursorPos", 2);  // a second time: where nothing is known, at the origin
    ClickTrayIcon();
    ClickTrayIcon();
    ASSERT_EQ(S().trackedPoints.size(), 2u);
    EXPECT_EQ(S().trackedPoints[0].x, 640);
    EXPECT_EQ(S().trackedPoints[0].y, 480);
    EXPECT_EQ(S().trackedPoints[1].x + S().trackedPoints[1].y, 0);
    S().calls.clear();
    S().posted.clear();
    ClickTrayIcon();

    EXPECT_EQ(fake::CallsAmong({"GetCursorPos", "SetForegroundWindow", "TrackPopupMenuEx", "PostMessageA",
                                "SHBrowseForFolderA", "SHFileOperationA", "KillTimer", "MessageBoxA"}),
              (std::vector<std::string>{"GetCursorPos", "SetForegroundWindow", "TrackPopupMenuEx", "PostMessageA"}));
    ASSERT_EQ(S().posted.size(), 1u);
    EXPECT_EQ(S().posted[0].hwnd, S().dialog);
    EXPECT_EQ(S().posted[0].message, sys::kWmNull);
    EXPECT_EQ(S().posted[0].wParam, 0u);
    EXPECT_EQ(S().posted[0].lParam, 0);
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_TRUE(S().timerRunning);
}

TEST_F(TrayMenuTest, CheckMarkFollowsTheMode) {
    ClickTrayIcon();
    EXPECT_TRUE(Checked(IDM_PLAYMODE));
    EXPECT_FALSE(Checked(IDM_BROWSEMODE));

    Choose(IDM_BROWSEMODE);
    ClickTrayIcon();
    EXPECT_FALSE(Checked(IDM_PLAYMODE));
    EXPECT_TRUE(Checked(IDM_BROWSEMODE));

    Choose(IDM_PLAYMODE);
    ClickTrayIcon();
    EXPECT_TRUE(Checked(IDM_PLAYMODE));
    EXPECT_FALSE(Checked(IDM_BROWSEMODE));
}

TEST_F(TrayMenuTest, CharacterPopupListsTheSixteenCharacters) {
    const fake::FakeMenu& popup = S().menus[app->characterPopup];
    ASSERT_EQ(popup.items.size(), 16u);
    for (uint32_t c = 0; c < 16; ++c) {
        EXPECT_EQ(popup.items[c].flags, sys::kMfString);
        EXPECT_EQ(popup.items[c].id, c + 1);
        EXPECT_EQ(popup.items[c].text, CharacterTable::Caption(c));
    }
}

TEST_F(TrayMenuTest, EachCommandReachesItsOperation) {
    // The replay and voice commands open the picker; cancelled, they end there.
    Choose(IDM_REPLAY);
    ASSERT_EQ(S().browseSelections.size(), 1u);
    EXPECT_EQ(S().browseSelections[0], kDataFolder);

    Choose(IDM_VOICE);
    ASSERT_EQ(S().browseSelections.size(), 2u);
    EXPECT_EQ(S().browseSelections[1], "C:\\Games\\PuyoF\\VOICE");
    // The restore opens the character popup, which is dismissed here.
    Choose(IDM_RESTORE_VOICES);
    EXPECT_EQ(S().trackedMenus.back(), app->characterPopup);

    // Neither a character's id nor one past the tray menu's ids runs a command.
    std::set<uint32_t> ids;
    for (const RcMenuItem& row : kRcMenus) ids.insert(row.id);
    for (uint32_t other : {1u, CharacterTable::kCount, *ids.rbegin() + 1}) Choose(static_cast<int>(other));
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 2);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_FALSE(S().dialogDestroyed);

    // The archive opens in Explorer; a data folder that is not there, or a shell that
    // refuses with its highest error (32), is told.
    Choose(IDM_OPEN_ARCHIVE);
    fake::AddFolder(kDataFolder);
    fake::FailCall("ShellExecuteA", 1);
    Choose(IDM_OPEN_ARCHIVE);
    Choose(IDM_OPEN_ARCHIVE);
    EXPECT_EQ(S().shellOpened, std::vector<std::string>{"open C:\\Data 1"});
    ASSERT_EQ(S().messageBoxes.size(), 2u);
    EXPECT_EQ(S().messageBoxes[1].text, S().strings[IDS_OPEN_ARCHIVE_FAILED]);

    Choose(IDM_EXIT);
    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_TRUE(S().quitPosted);
    EXPECT_FALSE(S().timerRunning);
    EXPECT_EQ(S().notifyIcons.back().message, sys::kNimDelete);
}

TEST_F(TrayMenuTest, RecentReplaysListTheNewestDaysOfTheArchiveAndLoadOneInAClick) {
    const struct {
        const char* format;             // FilenameStoredFormat2
        std::vector<const char*> days;  // day folders below C:\Data, and the replays in each
        std::vector<const char*> listed;
    } rows[] = {
        {"%Y\\%m\\%d\\%H.RPD",
         {"2026\\12\\06:12", "2025\\01\\31:3", "2026\\12\\05:1", "2026\\13\\45:1", "abcd\\01\\02:1", "2026\\02\\29:1",
          "2024\\02\\29:2", "2026\\12\\07:0", "202\\12\\08:1", "2026\\1\\08:1", "9999\\12\\31:1", "2026\\12\\32:1",
          "0001\\01\\01:1"},
         {"9999/12/31:1", "2026/12/06:12", "2026/12/05:1", "2025/01/31:3", "2024/02/29:2", "0001/01/01:1"}},
        {"%Y%m%d\\%H.RPD", {"2026\\12\\06:1"}, {}},  // no day folders: the item is grey
        {"%Y\\%m\\%d%H.RPD", {"2026\\12\\06:1"}, {}},
        {"%Y\\%m\\%d\\%H.RPD", {}, {}},
        {"%Y\\%m\\%d\\%H.RPD",
         {"2026\\01\\01:1", "2026\\01\\02:1", "2026\\01\\03:1", "2026\\01\\04:1", "2026\\01\\05:1", "2026\\01\\06:1",
          "2026\\01\\07:1", "2026\\01\\08:1", "2026\\01\\09:1", "2026\\01\\10:1", "2026\\01\\11:1"},
         {"2026/01/11:1", "2026/01/10:1", "2026/01/09:1", "2026/01/08:1", "2026/01/07:1", "2026/01/06:1",
          "2026/01/05:1", "2026/01/04:1", "2026/01/03:1", "2026/01/02:1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.format);
        delete theApplication;
        AppTest::SetUp();
        WriteIni(std::string("FilenameStoredFormat2=") + row.format + "\n");
        for (const char* day : row.days) {
            std::string folder = kDataFolder + std::string("\\") + std::string(day, std::strchr(day, ':'));
            fake::AddFolder(folder);
            for (int replay = 0; replay < std::atoi(std::strchr(day, ':') + 1); ++replay) {
                fake::AddFile(folder + "\\" + std::to_string(replay) + ".RPD", folder + std::to_string(replay));
            }
            fake::AddFile(folder + "\\notes.txt");
        }
        app = &Start();
        ClickTrayIcon();
        const fake::FakeMenu& recent = S().menus[S().menus[TaskTray()].subMenus.at(4)];
        ASSERT_EQ(recent.items.size(), row.listed.size());
        for (std::size_t i = 0; i < row.listed.size(); ++i) {
            char count[64];
            std::snprintf(count, sizeof count, S().strings[IDS_RECENT_COUNT].c_str(), std::atoi(row.listed[i] + 11));
            EXPECT_EQ(recent.items[i].text, std::string(row.listed[i], 10) + count);
            EXPECT_EQ(recent.items[i].id, IDM_RECENT_FIRST + i);
        }
        EXPECT_EQ(S().menus[TaskTray()].items.at(4).grayed, row.listed.empty());
    }
    // Without a data folder the list is empty again.
    char dataFolder[sys::kMaxPath];
    std::strcpy(dataFolder, app->settings.DataFolder);
    app->settings.DataFolder[0] = '\0';
    ClickTrayIcon();
    EXPECT_TRUE(S().menus[TaskTray()].items.at(4).grayed);
    std::strcpy(app->settings.DataFolder, dataFolder);
    // The newest day loads as if picked; a day that goes while the menu is open loads nothing.
    S().duringModalLoop = [] { fake::Remove("C:\\Data\\2026\\01\\10"); };
    Choose(IDM_RECENT_FIRST + 1);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, PlayMode);
    S().duringModalLoop = nullptr;
    Choose(IDM_RECENT_FIRST);
    ASSERT_EQ(S().fileOps.size(), 1u);
    EXPECT_EQ(S().fileOps[0].from, std::vector<std::string>{"C:\\Data\\2026\\01\\11\\0.RPD"});
    EXPECT_EQ(app->mode, BrowseMode);
    EXPECT_STREQ(app->settings.ReplayLastOpenedFolder, "C:\\Data\\2026\\01\\11");
}

TEST(RecentDaysTest, DayFoldersAreDaysOfTheCalendar) {
    const struct {
        int year, month, day;
        bool date;
    } rows[] = {
        {2026, 1, 31, true},  {2026, 1, 32, false},  {2026, 2, 28, true},   {2026, 2, 29, false}, {2024, 2, 29, true},
        {1900, 2, 29, false}, {2000, 2, 29, true},   {2026, 3, 31, true},   {2026, 3, 32, false}, {2026, 4, 30, true},
        {2026, 4, 31, false}, {2026, 5, 31, true},   {2026, 5, 32, false},  {2026, 6, 30, true},  {2026, 6, 31, false},
        {2026, 7, 31, true},  {2026, 7, 32, false},  {2026, 8, 31, true},   {2026, 8, 32, false}, {2026, 9, 30, true},
        {2026, 9, 31, false}, {2026, 10, 31, true},  {2026, 10, 32, false}, {2026, 11, 30, true}, {2026, 11, 31, false},
        {2026, 12, 31, true}, {2026, 12, 32, false}, {2026, 13, 1, false},  {2026, 0, 1, false},  {2026, 1, 0, false},
        {2024, 2, 30, false}, {0, 1, 1, false},      {1, 1, 1, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RecentDays::IsDate(row.year, row.month, row.day), row.date)
            << row.year << "-" << row.month << "-" << row.day;
    }
}

TEST_F(TrayMenuTest, StartWithWindowsIsTheRunValueNamingThisProgram) {
    const std::string kThis = "\"C:\\Program Files\\ZOLM\\zolm.exe\"";
    const std::string kLongest = "C:\\" + std::string(252, 'a') + ".exe";  // 259 bytes, the most a path holds
    const std::string kTooLong = kLongest + "x";
    const struct {
        std::string program;  // this program's path; "" for the usual one
        std::string value;    // "" for none
        const char* failing;
        bool checked;
        std::string after;  // the value after a click
        bool told;          // the player hears that the change failed
        // The record of Task Manager's startup list, before and after the click ("" for none).
        std::string approved = "";
        std::string approvedAfter = "";
    } rows[] = {
        {"", "", "", false, kThis, false},
        {"", "\"c:\\program files\\zolm\\ZOLM.EXE\"", "", true, "", false},
        {"", "\"D:\\Copy\\zolm.exe\"", "", false, kThis, false},  // a copy elsewhere
        {"", "", "RegSetValueExA", false, "", true},
        {"", kThis, "RegCreateKeyExA", true, kThis, true},
        {"", kThis, "RegQueryValueExA", false, kThis, false},  // unreadable
        {"", kThis, "RegOpenKeyExA", false, kThis, false},
        {"", "", "GetModuleFileNameA", false, "", true},
        {kLongest, '"' + kLongest + '"', "", true, "", false},
        {kTooLong, "", "", false, "", true},  // cut by the system, it would name another file
        {"", kThis, "", false, kThis, false, std::string("\x03\0\0\0", 4)},  // turned off in Task Manager
        {"", "", "", false, kThis, false, "\x03"},
        {"", kThis, "", true, "", false, "\x06", "\x06"},  // on: Windows' record is left alone
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program + row.value);
        delete theApplication;
        SetUp();
        if (!row.program.empty()) S().moduleFileName = row.program;
        if (!row.value.empty()) S().runValues["ZOLM"] = row.value;
        if (!row.approved.empty()) S().approvedValues["ZOLM"] = row.approved;
        if (row.failing[0] != '\0') fake::FailCall(row.failing, 1, 1000);
        ClickTrayIcon();
        EXPECT_EQ(Checked(IDM_START_WITH_WINDOWS), row.checked);
        Choose(IDM_START_WITH_WINDOWS);
        EXPECT_EQ(S().runValues.count("ZOLM") != 0 ? S().runValues["ZOLM"] : "", row.after);
        EXPECT_EQ(S().approvedValues.count("ZOLM") != 0 ? S().approvedValues["ZOLM"] : "", row.approvedAfter);
        if (row.failing[0] == '\0' && !row.told) {
            ClickTrayIcon();
            EXPECT_EQ(Checked(IDM_START_WITH_WINDOWS), !row.checked) << "the click turned it over";
        }
        EXPECT_EQ(S().messageBoxes.size(), row.told ? 1u : 0u);
        EXPECT_EQ(fake::detail::OpenKeyCount(), 0) << "a key left open";
        fake::FailCall("", 0);
    }
}

TEST_F(TrayMenuTest, ClickDuringAModalLoopOfACommandIsIgnored) {
    // The tray menu's own loop and the picker's loop both see a second click.
    int clicks = 0;
    S().duringModalLoop = [&] {
        if (++clicks <= 2) ClickTrayIcon();
        int searches = fake::CallCount("FindFirstFileA");
        fake::FireTimer();
        EXPECT_EQ(fake::CallCount("FindFirstFileA"), searches) << "a tick inside a command scans nothing";
    };
    S().pickedFolders.push_back("");
    Choose(IDM_REPLAY);

    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 1);
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 1);

    // Once the command has ended the icon answers again.
    S().duringModalLoop = nullptr;
    ClickTrayIcon();
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 2);
}

TEST_F(TrayMenuTest, ATickOrAClickInsideAnyRequestDoesNothingAtAll) {
    // Each command below sends one request; inside it a tick fires and the icon
    // is clicked. Either, let through, would send a request inside that one (a
    // tick's move of the stable slot 5) or run a command.
    const std::function<void()> commands[] = {
        [] { fake::FireTimer(); },
        [] {
            S().pickedFolders.push_back("C:\\Stored");
            Choose(IDM_REPLAY);
        },
        [] {
            S().pickedFolders.push_back("C:\\Voices");
            S().popupChoices.push_back(IDM_VOICE);
            Choose(1);
        },
        [] { theApplication->BackupCharacterVoices("C:\\Voices", "C:\\Voices", 0); },
    };
    for (const std::function<void()>& command : commands) {
        delete theApplication;
        SetUp();
        for (const char* file : {"C:\\Data\\REPLAY005.RPD", "C:\\Stored\\A.RPD", "C:\\Voices\\CH00VO00.WAV"}) {
            fake::AddFile(file, file);
        }
        fake::FireTimer();
        std::size_t callsInside = 0;
        S().duringModalLoop = [&] {
            if (S().calls.back() != "SHFileOperationA") return;
            std::size_t before = S().calls.size();
            fake::FireTimer();
            Choose(IDM_EXIT);
            // Nor does a request sent from there reach the shell.
            EXPECT_EQ(RunFileRequest(S().dialog, sys::kFoDelete, "C:\\Data\\x\0", nullptr, 0, nullptr), 1223);
            callsInside += S().calls.size() - before;
        };
        command();
        EXPECT_EQ(S().fileOps.size(), 1u);
        EXPECT_EQ(callsInside, 0u);
        EXPECT_FALSE(S().dialogDestroyed);
    }
}

TEST_F(TrayMenuTest, CloseInsideTheMenuRunsNoCommandAfterwards) {
    S().duringModalLoop = [] { Send(sys::kWmClose); };
    Choose(IDM_REPLAY);

    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 0);
    EXPECT_EQ(fake::CallCount("DestroyWindow"), 1);
}

TEST_F(TrayMenuTest, CloseInsideThePickerLoadsNothing) {
    fake::AddFile("C:\\Stored\\A.RPD", "a");
    S().duringModalLoop = [] {
        if (fake::CallCount("SHBrowseForFolderA") != 1) return;
        Send(sys::kWmClose);
        S().calls.clear();
    };
    S().pickedFolders.push_back("C:\\Stored");
    Choose(IDM_REPLAY);

    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 0) << "no search for the replays to load";
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_STREQ(app->settings.ReplayLastOpenedFolder, "");
}

TEST_F(TrayMenuTest, CloseInsideTheVoiceCommandsLoopsInstallsNothing) {
    fake::AddFile("D:\\Voices\\x00.WAV", "v");
    // A close inside the character popup, the third modal loop of the command.
    S().duringModalLoop = [] {
        if (fake::CallCount("TrackPopupMenuEx") == 2) Send(sys::kWmClose);
    };
    S().pickedFolders.push_back("D:\\Voices");
    S().popupChoices.push_back(IDM_VOICE);
    S().popupChoices.push_back(1);
    ClickTrayIcon();

    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, "");

    // Inside the restore's popup, and inside the copy that saves the originals, whether it could or
    // not: the program asks nothing more and installs nothing.
    for (int saving : {-1, 0, 1}) {
        bool restore = saving < 0;
        delete theApplication;
        SetUp();
        fake::AddFile("D:\\Voices\\x00.WAV", "v");
        fake::AddFile("C:\\Games\\PuyoF\\VOICE\\CH00VO00.WAV", "original");
        fake::AddFile("C:\\Games\\PuyoF\\VOICE\\_ORIGINAL\\AMI\\CH00VO00.WAV", "original");
        if (!restore) fake::Remove("C:\\Games\\PuyoF\\VOICE\\_ORIGINAL");
        if (saving != 1) S().readOnlyFolders.push_back("C:\\Games\\PuyoF\\VOICE\\_ORIGINAL");
        S().duringModalLoop = [restore] {
            if (restore ? fake::CallCount("TrackPopupMenuEx") == 2 : !S().fileOps.empty()) Send(sys::kWmClose);
        };
        S().pickedFolders.push_back("D:\\Voices");
        S().popupChoices = {restore ? IDM_RESTORE_VOICES : IDM_VOICE, 1};
        S().messageBoxAnswers.push_back(sys::kIdYes);
        ClickTrayIcon();
        EXPECT_EQ(S().fileOps.size(), restore ? 0u : 1u) << restore;
        EXPECT_TRUE(S().messageBoxes.empty()) << restore;
    }
}

TEST_F(TrayMenuTest, ASecondCloseReleasesNothingTwice) {
    EXPECT_EQ(Send(sys::kWmClose), 1);
    EXPECT_EQ(Send(sys::kWmClose), 1);

    EXPECT_EQ(fake::CallCount("GlobalDeleteAtom"), 1);
    EXPECT_EQ(fake::CallCount("DestroyWindow"), 1);
    EXPECT_EQ(fake::CallCount("KillTimer"), 1);
    EXPECT_TRUE(S().atoms.empty());
}

TEST_F(TrayMenuTest, DialogProcedureAnswersAsTheDialogManagerExpects) {
    for (uint32_t message : {sys::kWmPaint, sys::kWmNotify, sys::kWmMouseMove, sys::kWmLButtonDown, sys::kWmRButtonDown,
                             sys::kWmTimer, app->taskbarCreatedMessage, sys::kWmDestroy}) {
        EXPECT_EQ(Send(message), 1) << message;
    }
    EXPECT_EQ(Send(sys::kWmCommand, IDM_EXIT, 0), 0) << "commands never come as WM_COMMAND";
    EXPECT_EQ(Send(0x0401), 0);
    EXPECT_FALSE(S().dialogDestroyed);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 0);
}

}  // namespace
}  // namespace apptest
