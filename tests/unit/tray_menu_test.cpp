// The tray icon's callback, the tray menu and its check marks, the character
// popup, the dispatch of commands, and what a modal loop may let through.
#include <cstring>
#include <functional>
#include <set>

#include "rc_tables.h"
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

    // Neither a character's id nor one past the tray menu's ids runs a command.
    std::set<uint32_t> ids;
    for (const RcMenuItem& row : kRcMenus) ids.insert(row.id);
    for (uint32_t other : {1u, CharacterTable::kCount, *ids.rbegin() + 1}) Choose(static_cast<int>(other));
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 2);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_FALSE(S().dialogDestroyed);

    Choose(IDM_EXIT);
    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_TRUE(S().quitPosted);
    EXPECT_FALSE(S().timerRunning);
    EXPECT_EQ(S().notifyIcons.back().message, sys::kNimDelete);
}

TEST_F(TrayMenuTest, ClickDuringAModalLoopOfACommandIsIgnored) {
    // The tray menu's own loop and the picker's loop both see a second click.
    int clicks = 0;
    S().duringModalLoop = [&] {
        if (++clicks <= 2) ClickTrayIcon();
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
        if (fake::CallCount("SHBrowseForFolderA") == 1) Send(sys::kWmClose);
    };
    S().pickedFolders.push_back("C:\\Stored");
    Choose(IDM_REPLAY);

    EXPECT_TRUE(S().dialogDestroyed);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 0);
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
    for (uint32_t message :
         {sys::kWmPaint, sys::kWmNotify, sys::kWmMouseMove, sys::kWmLButtonDown, sys::kWmRButtonDown}) {
        EXPECT_EQ(Send(message), 1) << message;
    }
    EXPECT_EQ(Send(sys::kWmCommand, IDM_EXIT, 0), 0) << "commands never come as WM_COMMAND";
    EXPECT_EQ(Send(0x0401), 0);
    EXPECT_FALSE(S().dialogDestroyed);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 0);
}

}  // namespace
}  // namespace apptest
