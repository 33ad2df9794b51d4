// Start-up, the single-instance guard, the timer, the tray icon and the close
// sequence, driven through RunApplication as WinMain runs it.
#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <new>

#include "app/tray_application.h"
#include "platform/profile.h"
#include "tests/unit/app_fixture.h"

namespace {

bool failNothrowNew = false;

}  // namespace

// The application object is the one allocation made with std::nothrow.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (failNothrowNew) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace apptest {
namespace {

class StartupTest : public AppTest {
protected:
    void TearDown() override {
        failNothrowNew = false;
        EXPECT_EQ(S().comInitialized, 0) << "COM left initialised";
        AppTest::TearDown();
    }

    static int Run() {
        int exitCode = RunApplication(kInstance);
        EXPECT_FALSE(S().waitedForever) << "the loop would wait with no quit to come";
        return exitCode;
    }

    // Queues message for the hidden window at the n-th pass of the message loop.
    static void PostAtLoopPass(int pass, uint32_t message, sys::WParam wParam = 0, sys::LParam lParam = 0) {
        auto previous = S().onGetMessage;
        int passes = 0;
        S().onGetMessage = [=]() mutable {
            if (previous) previous();
            if (++passes == pass) S().messages.push_back(sys::Message{S().dialog, message, wParam, lParam});
        };
    }

    static uint32_t SavedInt(const char* key) { return sys::GetPrivateProfileIntA("Replay", key, -7, kIniPath); }

    static std::size_t FirstCall(const std::string& name) {
        auto found = std::find(S().calls.begin(), S().calls.end(), name);
        return static_cast<std::size_t>(found - S().calls.begin());
    }

    // The calls of the close sequence and the save, from the first pass of the loop.
    static std::vector<std::string> CloseCalls() {
        static const std::vector<std::string> names = {
            "KillTimer",       "Shell_NotifyIconA",         "DestroyMenu", "GlobalDeleteAtom", "DestroyWindow",
            "PostQuitMessage", "WritePrivateProfileStringA"};
        std::vector<std::string> result;
        for (std::size_t i = FirstCall("GetMessageA"); i < S().calls.size(); ++i) {
            const std::string& call = S().calls[i];
            if (std::find(names.begin(), names.end(), call) == names.end()) continue;
            if (!result.empty() && result.back() == call && call == "WritePrivateProfileStringA") continue;
            result.push_back(call);
        }
        return result;
    }
};

TEST_F(StartupTest, StartsInOrderAndSavesAfterTheWindowIsGone) {
    PostAtLoopPass(1, sys::kWmClose);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(S().calls.front(), "CoInitializeApartment");
    EXPECT_EQ(S().calls.back(), "CoUninitialize");
    std::vector<std::string> expected = {"CreateDialogParamA", "SetTimer",     "GlobalFindAtomA", "GlobalAddAtomA",
                                         "LoadImageA",         "LoadMenuA",    "CreatePopupMenu", "Shell_NotifyIconA",
                                         "ShowWindow",         "UpdateWindow", "GetMessageA"};
    std::vector<std::string> startCalls = fake::CallsAmong(expected);
    startCalls.resize(expected.size());
    EXPECT_EQ(startCalls, expected);
    EXPECT_LT(FirstCall("GetPrivateProfileStringA"), FirstCall("CreateDialogParamA")) << "settings load first";
    EXPECT_EQ(fake::CallCount("Shell_NotifyIconA"), 2);
    EXPECT_GT(FirstCall("WritePrivateProfileStringA"), FirstCall("DestroyWindow"));
    EXPECT_EQ(S().atoms.count("nezumi_one"), 0u) << "the atom it added is released";
}

TEST_F(StartupTest, TrayIconRecordIsZeroFilledAndComplete) {
    PostAtLoopPass(1, sys::kWmClose);
    Run();

    ASSERT_EQ(S().notifyIcons.size(), 2u);
    const fake::ShellNotifyCall& add = S().notifyIcons[0];
    EXPECT_EQ(add.message, sys::kNimAdd);
    EXPECT_EQ(add.data.cbSize, 88u);
    EXPECT_EQ(add.data.hWnd, S().dialog);
    EXPECT_EQ(add.data.uID, 1u);
    EXPECT_EQ(add.data.uFlags, 7u);
    EXPECT_EQ(add.data.uCallbackMessage, 0x8064u);
    EXPECT_NE(add.data.hIcon, nullptr);
    EXPECT_STREQ(add.data.szTip, "ZOLM");
    EXPECT_TRUE(std::all_of(add.data.szTip + 4, add.data.szTip + 64, [](char c) { return c == 0; }));
    EXPECT_EQ(S().notifyIcons[1].message, sys::kNimDelete);
    EXPECT_EQ(S().notifyIcons[1].data.uID, 1u);
}

TEST_F(StartupTest, TrayIconIsLoadedAtTheSystemsSmallIconSize) {
    S().smallIconSize = 24;  // 150 % display scaling
    PostAtLoopPass(1, sys::kWmClose);
    Run();

    ASSERT_FALSE(S().loadedImageSizes.empty());
    for (const sys::Point& size : S().loadedImageSizes) {
        EXPECT_EQ(size.x, 24);
        EXPECT_EQ(size.y, 24);
    }
}

TEST_F(StartupTest, ShortIntervalsAreRaisedToTheFloorAndSaved) {
    for (const char* interval : {"0", "1000", "4999"}) {
        SCOPED_TRACE(interval);
        SetUp();
        WriteIni(std::string("MonitorInterval=") + interval + "\n");
        PostAtLoopPass(1, sys::kWmClose);
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(S().timerPeriod, 5000u);
        EXPECT_EQ(SavedInt("MonitorInterval"), 5000u);
    }
}

TEST_F(StartupTest, IntervalsUpToADayAreKeptAndAnyOtherTextRunsOnTheDefault) {
    struct Row {
        const char* text;
        uint32_t period;
    };
    const Row rows[] = {{"5000", 5000u},        {"86400000", 86400000u}, {"86400001", 30000u}, {"-1", 30000u},
                        {"2147483648", 30000u}, {"99999999999", 30000u}, {"abc", 30000u},      {"", 30000u}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        SetUp();
        WriteIni(std::string("MonitorInterval=") + row.text + "\n");
        PostAtLoopPass(1, sys::kWmClose);
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(S().timerPeriod, row.period);
        char saved[64];
        sys::GetPrivateProfileStringA("Replay", "MonitorInterval", "absent", saved, sizeof saved, kIniPath);
        EXPECT_STREQ(saved, row.text) << "the user's text stays";
    }
}

TEST_F(StartupTest, SecondStartDeclinedLeavesNoTrace) {
    fake::Remove(kIniPath);  // the first-run offer too must stay away
    S().mutexes["nezumi_one"] = 1;
    S().atoms["nezumi_one"] = 1;

    EXPECT_EQ(Run(), 1);

    ASSERT_EQ(S().messageBoxes.size(), 1u);
    EXPECT_EQ(S().messageBoxes[0].owner, nullptr);
    EXPECT_EQ(S().messageBoxes[0].text, S().strings[IDS_ALREADY_RUNNING]);
    EXPECT_EQ(S().messageBoxes[0].caption, "ZOLM");
    EXPECT_EQ(S().messageBoxes[0].style, 0x44u);
    EXPECT_EQ(fake::CallCount("Shell_NotifyIconA"), 0);
    EXPECT_EQ(fake::CallCount("LoadMenuA"), 0);
    EXPECT_EQ(fake::CallCount("GetMessageA"), 0);
    EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0);
    EXPECT_FALSE(fake::Exists(kIniPath));
    EXPECT_EQ(S().atoms["nezumi_one"], 1);
    EXPECT_EQ(S().mutexes["nezumi_one"], 1);
}

TEST_F(StartupTest, TheGuardAsksOnlyWhileAnotherInstanceRunsAndEachRunningInstanceCounts) {
    struct Row {
        const char* name;
        int mutexes, atoms;  // left by other instances
        bool asks;
        int mutexesWhileRunning, atomsWhileRunning;
    };
    const Row rows[] = {
        {"alone", 0, 0, false, 1, 1},
        {"an atom left by an instance that was killed", 0, 1, false, 1, 1},
        {"another instance runs", 1, 1, true, 2, 2},
        {"another instance runs without the atom", 1, 0, true, 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        if (row.mutexes > 0) S().mutexes["nezumi_one"] = row.mutexes;
        if (row.atoms > 0) S().atoms["nezumi_one"] = row.atoms;
        S().messageBoxAnswers.push_back(sys::kIdYes);
        int mutexesWhileRunning = -1, atomsWhileRunning = -1;
        S().onGetMessage = [&] {
            if (mutexesWhileRunning >= 0) return;
            mutexesWhileRunning = S().mutexes["nezumi_one"];
            atomsWhileRunning = S().atoms["nezumi_one"];
        };
        PostAtLoopPass(1, sys::kWmClose);

        EXPECT_EQ(Run(), 0);

        EXPECT_EQ(S().messageBoxes.size(), row.asks ? 1u : 0u);
        EXPECT_EQ(mutexesWhileRunning, row.mutexesWhileRunning);
        EXPECT_EQ(atomsWhileRunning, row.atomsWhileRunning);
        EXPECT_EQ(S().mutexes["nezumi_one"], row.mutexes) << "its own released, the others' left";
        EXPECT_EQ(S().atoms["nezumi_one"], row.atoms == 1 && row.mutexes == 0 ? 0 : row.atoms);
    }
}

TEST_F(StartupTest, AtomHeldWhileRunning) {
    int held = -1;
    S().onGetMessage = [&] {
        if (held < 0) held = S().atoms.count("nezumi_one") ? S().atoms["nezumi_one"] : 0;
    };
    PostAtLoopPass(1, sys::kWmClose);
    Run();
    EXPECT_EQ(held, 1);
    EXPECT_EQ(S().atoms.count("nezumi_one"), 0u);
}

TEST_F(StartupTest, EarlyEndsReturnOneSilentlyAndWriteNothing) {
    struct Row {
        const char* name;
        void (*arrange)();
        const char* lastCall;  // the platform call at which the start stops
    };
    const Row rows[] = {
        {"allocation fails", [] { failNothrowNew = true; }, "CoInitializeApartment"},
        {"COM and allocation fail", [] { fake::FailCall("CoInitializeApartment", 1), failNothrowNew = true; },
         "CoInitializeApartment"},
        {"window fails", [] { fake::FailCall("CreateDialogParamA", 1); }, "CreateDialogParamA"},
        {"atom fails", [] { fake::FailCall("GlobalAddAtomA", 1); }, "CloseHandle"},  // of the instance mutex
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        failNothrowNew = false;
        row.arrange();
        EXPECT_EQ(Run(), 1);
        failNothrowNew = false;
        EXPECT_TRUE(S().messageBoxes.empty());
        EXPECT_EQ(fake::CallCount("Shell_NotifyIconA"), 0);
        EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0);
        EXPECT_EQ(fake::CallCount("GetMessageA"), 0);
        EXPECT_EQ(S().comInitialized, 0);
        std::vector<std::string> calls = S().calls;
        calls.erase(std::remove(calls.begin(), calls.end(), "CoUninitialize"), calls.end());
        EXPECT_EQ(calls.back(), row.lastCall);
        delete theApplication;
        theApplication = nullptr;
    }
}

TEST_F(StartupTest, TimerFailureIsReportedAndTheProgramRunsOn) {
    fake::FailCall("SetTimer", 1);
    S().messageBoxAnswers.push_back(sys::kIdOk);
    PostAtLoopPass(1, sys::kWmClose);

    EXPECT_EQ(Run(), 0);

    ASSERT_EQ(S().messageBoxes.size(), 1u);
    EXPECT_EQ(S().messageBoxes[0].owner, S().dialog);
    EXPECT_EQ(S().messageBoxes[0].text, S().strings[IDS_TIMER_FAILED]);
    EXPECT_EQ(S().messageBoxes[0].caption, "ZOLM");
    EXPECT_EQ(S().messageBoxes[0].style, 0x40u);
    EXPECT_LT(FirstCall("MessageBoxA"), FirstCall("GlobalFindAtomA")) << "shown while the window is created";
    EXPECT_EQ(S().notifyIcons[0].message, sys::kNimAdd);
    EXPECT_EQ(S().notifyIcons[0].data.szTip, std::string("ZOLM"));
}

TEST_F(StartupTest, CloseAndExitCommandRunTheSameSequence) {
    const std::vector<std::string> expected = {"KillTimer",       "Shell_NotifyIconA",         "DestroyMenu",
                                               "DestroyMenu",     "GlobalDeleteAtom",          "DestroyWindow",
                                               "PostQuitMessage", "WritePrivateProfileStringA"};
    struct Row {
        const char* name;
        void (*arrange)();
    };
    const Row rows[] = {
        {"WM_CLOSE", [] { PostAtLoopPass(1, sys::kWmClose); }},
        {"exit command",
         [] {
             S().popupChoices.push_back(IDM_EXIT);
             PostAtLoopPass(1, sys::kWmTrayNotify, 1, sys::kWmLButtonDown);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        sys::Menu trayMenu = nullptr;
        sys::Menu characterPopup = nullptr;
        S().onGetMessage = [&] {
            if (theApplication->trayMenu != nullptr) trayMenu = theApplication->trayMenu;
            if (theApplication->characterPopup != nullptr) characterPopup = theApplication->characterPopup;
        };
        row.arrange();

        EXPECT_EQ(Run(), 0);

        EXPECT_EQ(CloseCalls(), expected);
        EXPECT_FALSE(S().timerRunning);
        ASSERT_NE(trayMenu, nullptr);
        ASSERT_NE(characterPopup, nullptr);
        EXPECT_TRUE(S().menus[trayMenu].destroyed);
        EXPECT_TRUE(S().menus[characterPopup].destroyed);
        EXPECT_LT(S().menus[characterPopup].destroyedAtCall, S().menus[trayMenu].destroyedAtCall);
        EXPECT_TRUE(S().dialogDestroyed);
        EXPECT_TRUE(fake::Exists(kIniPath));
    }
}

TEST_F(StartupTest, TaskbarCreatedAddsTheSameIconAgainOrUpdatesOneStillThere) {
    for (bool iconLost : {true, false}) {
        SCOPED_TRACE(iconLost ? "Explorer restarted" : "the icon is still there");
        SetUp();
        PostAtLoopPass(1, sys::RegisterWindowMessageA("TaskbarCreated"));
        PostAtLoopPass(2, sys::kWmClose);
        S().onGetMessage = [&, previous = S().onGetMessage] {
            if (iconLost) S().trayIcons.clear();
            previous();
        };

        EXPECT_EQ(Run(), 0);

        std::vector<uint32_t> expected = {sys::kNimAdd, sys::kNimAdd, sys::kNimDelete};
        if (!iconLost) expected.insert(expected.begin() + 2, sys::kNimModify);
        std::vector<uint32_t> messages;
        for (const fake::ShellNotifyCall& call : S().notifyIcons) messages.push_back(call.message);
        EXPECT_EQ(messages, expected);
        for (const fake::ShellNotifyCall& call : S().notifyIcons) {
            EXPECT_EQ(std::memcmp(&call.data, &S().notifyIcons[0].data, sizeof call.data), 0) << "the same record";
        }
    }
}

TEST_F(StartupTest, AnIconTheShellRefusesIsRetriedForMinutesUntilItIsTaken) {
    for (int failures : {3, 1000}) {
        SCOPED_TRACE(failures);
        SetUp();
        S().notifyAddFailures = failures;
        TrayApplication& app = Start();
        ASSERT_EQ(S().windowTimers.count(kTrayIconRetryTimer), 1u);
        uint32_t period = S().windowTimers[kTrayIconRetryTimer];
        EXPECT_LE(period, 5000u);
        int ticks = 0;
        while (S().windowTimers.count(kTrayIconRetryTimer) != 0 && ticks < 10000) {
            for (sys::TimerId other : {kArchiveSliceTimer, kArchiveSliceTimer + 1}) Send(sys::kWmTimer, other);
            Send(sys::kWmTimer, kTrayIconRetryTimer);
            ++ticks;
        }
        if (failures == 3) {
            EXPECT_EQ(ticks, 3);
            EXPECT_EQ(S().trayIcons.size(), 1u);
        } else {
            EXPECT_EQ(ticks * period, 180000u) << "retried for three minutes, and then given up";
            EXPECT_TRUE(S().trayIcons.empty());
        }
        app.CloseSequence();
        EXPECT_TRUE(S().windowTimers.empty());
        delete theApplication;
        theApplication = nullptr;
    }
}

TEST_F(StartupTest, ASessionEndSavesFirstAndNeverHoldsUpTheLogoff) {
    // A logoff, a logoff cancelled, and the Restart Manager closing the program
    // while the session goes on: saved first too, then closed with its icon.
    for (int end : {0, 1, 2}) {
        bool ending = end != 1;
        bool restart = end == 2;
        SCOPED_TRACE(end);
        SetUp();
        int writesAfterEndSession = -1;
        int passes = 0;
        S().onGetMessage = [&] {
            if (++passes == 2) S().calls.clear();  // what the session's end makes of it
            writesAfterEndSession = fake::CallCount("WritePrivateProfileStringA");
            // Ended, the program no longer answers the tray, a restarted Explorer, nor
            // a tick queued before its timer was killed.
            EXPECT_EQ(passes == 3 && restart && !S().dialogDestroyed, false) << "closed before any other message";
            if (passes == 3 && end == 0) {
                ClickTrayIcon();
                Send(theApplication->taskbarCreatedMessage);
                TrayApplication::MonitorTimerProc(nullptr, sys::kWmTimer, 1, 0);
            }
        };
        PostAtLoopPass(1, sys::kWmQueryEndSession);
        PostAtLoopPass(2, sys::kWmEndSession, ending ? 1 : 0, restart ? sys::kEndSessionCloseApp : 0);
        PostAtLoopPass(3, sys::kWmClose);  // ending, it finds the program closed already
        S().notifyAddFailures = 1000;      // and the icon's retry under way

        EXPECT_EQ(Run(), 0);

        EXPECT_EQ(S().dialogResult, 1) << "the logoff may go on";
        EXPECT_EQ(writesAfterEndSession, ending ? 16 : 0);
        EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 16);
        // Ending, nothing slow follows the save: the shell may take seconds over the icon.
        std::vector<std::string> order = fake::CallsAmong(
            {"WritePrivateProfileStringA", "KillTimer", "Shell_NotifyIconA", "DestroyWindow", "GlobalDeleteAtom"});
        EXPECT_EQ(order.front(), ending ? "WritePrivateProfileStringA" : "KillTimer");
        EXPECT_EQ(fake::CallCount("Shell_NotifyIconA") + fake::CallCount("DestroyWindow"), end == 0 ? 0 : 2);
        EXPECT_EQ(S().dialogDestroyed, end != 0);
        EXPECT_EQ(fake::CallCount("TrackPopupMenuEx") + fake::CallCount("FindFirstFileA"), 0);
        EXPECT_FALSE(S().timerRunning);
        EXPECT_TRUE(S().windowTimers.empty()) << "the retry stops too";
        EXPECT_EQ(S().atoms.count("nezumi_one"), 0u);
        EXPECT_EQ(S().mutexes.count("nezumi_one"), 0u);
    }
}

TEST_F(StartupTest, ACloseOrASessionEndDuringTheFirstRunBackupEndsTheStartAndSavesNothing) {
    // A close, a session's end, and the Restart Manager's close.
    for (sys::LParam end : {-1, 0, 1}) {
        uint32_t message = end < 0 ? sys::kWmClose : sys::kWmEndSession;
        SCOPED_TRACE(end);
        SetUp();
        fake::Remove(kIniPath);
        fake::AddFile("C:\\Games\\PuyoF\\VOICE\\CH00VO00.WAV", "voice");
        S().readOnlyFolders.push_back("C:\\Games\\PuyoF\\VOICE");  // not saved: nobody left to tell
        S().messageBoxAnswers.push_back(sys::kIdYes);
        bool closed = false;
        S().duringModalLoop = [&] {
            if (closed) return;
            closed = true;
            sys::Message close{S().dialog, message, 1, end < 0 ? 0 : end};
            sys::DispatchMessageA(&close);
        };

        EXPECT_EQ(Run(), 1);

        EXPECT_TRUE(closed) << "the backup ran a shell request";
        EXPECT_EQ(S().messageBoxes.size(), 1u) << "the question alone";
        EXPECT_TRUE(S().dialogDestroyed);
        EXPECT_EQ(fake::CallCount("LoadMenuA"), 0);
        EXPECT_TRUE(std::none_of(S().notifyIcons.begin(), S().notifyIcons.end(),
                                 [](const fake::ShellNotifyCall& call) { return call.message == sys::kNimAdd; }));
        EXPECT_EQ(fake::CallCount("GetMessageA"), 0);
        EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0) << "settings never loaded are never saved";
        EXPECT_EQ(S().atoms.count("nezumi_one"), 0u) << "the close released the atom";
        for (const fake::ShellNotifyCall& call : S().notifyIcons) EXPECT_EQ(call.data.uID, 0u) << "a zero record";
        delete theApplication;
        theApplication = nullptr;
    }
}

TEST_F(StartupTest, TicksDoNothingUntilStartUpHasCompleted) {
    fake::AddFile("C:\\Data\\REPLAY005.RPD", "replay", fake::FileTimeOf(2007, 5, 12, 21, 30, 5));
    TrayApplication application(kInstance);
    theApplication = &application;

    for (int tick = 0; tick < 3; ++tick) TrayApplication::MonitorTimerProc(nullptr, 0x113, 1, 0);
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 0);
    EXPECT_TRUE(S().fileOps.empty());

    application.initialized = 1;
    for (int tick = 0; tick < 2; ++tick) TrayApplication::MonitorTimerProc(nullptr, 0x113, 1, 0);
    theApplication = nullptr;
    ASSERT_EQ(S().fileOps.size(), 1u) << "two scans archive a replay once started";
    EXPECT_EQ(S().fileOps[0].wFunc, sys::kFoMove);
    EXPECT_EQ(S().fileOps[0].from, std::vector<std::string>{"C:\\Data\\REPLAY005.RPD"});
}

}  // namespace
}  // namespace apptest
