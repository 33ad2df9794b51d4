// The replay monitor over the fake platform: which scans find a slot file, when
// it is moved, the exact move request, and where the file ends up.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/tray_application.h"
#include "platform/shell.h"
#include "replay/slot_scanner.h"
#include "res/resource.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"
#include "tests/unit/dirty_heap.h"

namespace {

const sys::Window kWindow = reinterpret_cast<sys::Window>(0x5150);
const char kIni[] = "C:\\Program Files\\ZOLM\\zolm.ini";
const char kData[] = "D:\\Data";
const uint64_t kMay12 = fake::FileTimeOf(2007, 5, 12, 21, 30, 5);
const char kMay12Archive[] = "D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05.RPD";

std::string Slot(int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "D:\\Data\\REPLAY%03d.RPD", slot);
    return name;
}

// A tick of the thread timer: one period after the last.
void Tick(TrayApplication& app) {
    fake::state().tickCount += app.settings.MonitorInterval;
    app.MonitorTick();
}

// The hidden window's slice timer, as the message loop dispatches it.
void FireSlice() { TrayApplication::DialogProc(kWindow, sys::kWmTimer, kArchiveSliceTimer, 0); }

// Inside a modal loop, of a request or of a command, neither a slice nor a tick goes on with the pass.
void ExpectThePassToWait() {
    std::size_t moves = fake::state().fileOps.size();
    FireSlice();
    Tick(*theApplication);
    EXPECT_EQ(fake::state().fileOps.size(), moves) << "the pass went on inside a modal loop";
}

class ReplayMonitorTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    void TearDown() override {
        app.reset();
        EXPECT_EQ(fake::detail::OpenSearchCount(), 0) << "a search was not closed";
        EXPECT_TRUE(fake::state().openFiles.empty()) << "a file was not closed";
    }

    // Builds the application over an INI file whose [Replay] section holds the
    // data folder and keys; the files of the test must be in place already.
    void Start(const std::string& replayKeys = "", const std::string& dataFolder = kData) {
        fake::AddFile(kIni, "[Replay]\r\nDataFolder=" + dataFolder + "\r\n" + replayKeys);
        app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
        app->window = kWindow;
        app->initialized = 1;
    }

    void Ticks(int count) {
        for (int i = 0; i < count; ++i) Tick(*app);
    }

    std::vector<std::pair<std::string, std::string>> Moves() const {
        std::vector<std::pair<std::string, std::string>> moves;
        for (const fake::FileOpCall& op : fake::state().fileOps) {
            moves.emplace_back(op.from.empty() ? "" : op.from[0], op.to.empty() ? "" : op.to[0]);
        }
        return moves;
    }

    std::unique_ptr<TrayApplication> app;
};

// What the archive move has to work around: the fake shell moves as Wine 8 does.
TEST_F(ReplayMonitorTest, TheFakeShellLosesReplaysTheWayWineDoes) {
    fake::AddFile("D:\\Data\\a.RPD", "a");
    fake::AddFile("D:\\Data\\b.RPD", "b");
    char from[] = "D:\\Data\\a.RPD\0";
    char to[] = "D:\\Data\\new\\a.RPD\0";
    sys::FileOpRequest move{kWindow, sys::kFoMove, from, to, 0x29D, 0, nullptr, nullptr};
    EXPECT_EQ(sys::SHFileOperationA(&move), 1223) << "no folder is made";
    EXPECT_TRUE(fake::Exists("D:\\Data\\a.RPD"));

    char onto[] = "D:\\Data\\b.RPD\0";
    move.pTo = onto;
    EXPECT_EQ(sys::SHFileOperationA(&move), 0);
    EXPECT_FALSE(fake::Exists("D:\\Data\\a.RPD"));
    EXPECT_EQ(fake::Contents("D:\\Data\\b.RPD"), "a") << "the existing file is replaced, not renamed";
}

TEST_F(ReplayMonitorTest, AFileIsMovedByTheSecondConsecutiveScanThatFindsIt) {
    fake::AddFile(Slot(5), "replay", kMay12);
    // Named from the write time: a creation time can be an earlier replay's, handed on by the file system.
    fake::detail::FindEntry(Slot(5))->creationTime = fake::FileTimeOf(2007, 5, 11, 8, 0, 0);
    Start();

    Ticks(1);
    EXPECT_TRUE(fake::state().fileOps.empty()) << "the first scan only notes the file";
    EXPECT_TRUE(fake::Exists(Slot(5)));

    Ticks(1);
    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_FALSE(fake::Exists(Slot(5)));
    EXPECT_EQ(fake::Contents(kMay12Archive), "replay");

    // The move marked the slot absent: a new file there waits for two scans again.
    fake::AddFile(Slot(5), "next", fake::FileTimeOf(2007, 5, 12, 22, 0, 0));
    Ticks(1);
    EXPECT_EQ(fake::state().fileOps.size(), 1u);
    Ticks(1);
    EXPECT_EQ(fake::state().fileOps.size(), 2u);
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T22-00-00.RPD"), "next");
}

TEST_F(ReplayMonitorTest, TheMoveRequestNamesTheFileAsTheSearchReportedIt) {
    fake::AddFile("D:\\Data\\replay005.rpd", "replay", kMay12);
    Start();
    Ticks(2);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    const fake::FileOpCall& move = fake::state().fileOps[0];
    EXPECT_EQ(move.hwnd, kWindow);
    EXPECT_EQ(move.wFunc, sys::kFoMove);
    EXPECT_EQ(move.from, std::vector<std::string>{"D:\\Data\\replay005.rpd"});
    EXPECT_EQ(move.to, std::vector<std::string>{kMay12Archive});
    EXPECT_FALSE(move.toIsNull);
    EXPECT_EQ(move.fFlags, 0x69D);
    EXPECT_EQ(move.fAnyOperationsAborted, 0);
    EXPECT_EQ(move.hNameMappings, nullptr);
    EXPECT_TRUE(move.progressTitleIsNull);

    // The year, month and day folders were made before the move, outermost first.
    EXPECT_EQ(fake::CallCount("CreateDirectoryA"), 3);
    EXPECT_TRUE(fake::Exists("D:\\Data\\2007\\05\\12"));
    EXPECT_EQ(fake::Contents(kMay12Archive), "replay");
    EXPECT_TRUE(fake::state().messageBoxes.empty());
}

TEST_F(ReplayMonitorTest, AFileMissedByOneScanStartsOver) {
    fake::AddFile(Slot(7), "a", kMay12);
    Start();
    Ticks(1);
    fake::Remove(Slot(7));
    Ticks(1);
    fake::AddFile(Slot(7), "a", kMay12);
    Ticks(1);
    EXPECT_TRUE(fake::state().fileOps.empty()) << "found, gone, found: not twice in a row";
    Ticks(1);
    EXPECT_EQ(fake::state().fileOps.size(), 1u);
}

TEST_F(ReplayMonitorTest, AFailedMoveIsRetriedByTheNextScan) {
    fake::AddFile(Slot(5), "replay", kMay12);
    Start();
    fake::state().fileOpResults.push_back(1223);
    Ticks(2);
    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_TRUE(fake::Exists(Slot(5)));
    Ticks(1);
    ASSERT_EQ(fake::state().fileOps.size(), 2u) << "still present in both: tried again at once";
    EXPECT_FALSE(fake::Exists(Slot(5)));
    EXPECT_EQ(fake::Contents(kMay12Archive), "replay");
}

TEST_F(ReplayMonitorTest, AnArchiveMoveSaysWhetherTheFileLeftItsSlotAndWhyNot) {
    std::string longName;  // 21 times %c: far more than 259 characters
    for (int i = 0; i < 21; ++i) longName += "%c";
    const std::string kLong = "D:\\" + std::string(240, 'd');  // no room for the archive name below it
    // Room for the slot file, and for "20070512213005 (2).RPD" to make a path of 259 bytes.
    const std::string kFull = "D:\\" + std::string(233, 'f');
    const std::string kTaken = "FilenameStoredFormat2=%Y%m%d%H%M%S.RPD";
    // The archive name and its numbered names up to " (last)", taken by other replays.
    static auto takeNames = [](const std::string& folder, int last) {
        const std::string name = folder + "\\2007\\05\\12\\2007-05-12T21-30-05";
        fake::AddFile(name + ".RPD", "other!");
        for (int number = 2; number <= last; ++number)
            fake::AddFile(name + " (" + std::to_string(number) + ").RPD", "other!");
    };
    const struct {
        const char* name;
        std::string keys;  // of section Replay
        std::string folder;
        void (*setUp)(const std::string& folder);
        bool left;
        uint32_t reason;
        uint32_t request;    // the request sent, 0 for none
        int folders;         // made
        std::string target;  // of a move, below the folder
    } rows[] = {
        {"moved", "", kData, [](const std::string&) {}, true, 0, sys::kFoMove, 3,
         "2007\\05\\12\\2007-05-12T21-30-05.RPD"},
        {"a copy of the replay archived", "", kData, [](const std::string&) { fake::AddFile(kMay12Archive, "replay"); },
         true, 0, sys::kFoDelete, 0, ""},
        {"a copy of the replay archived under the third numbered name, the second free", "", kData,
         [](const std::string&) {
             fake::AddFile(kMay12Archive, "other!");
             fake::AddFile("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (5).RPD", "other!");
             fake::AddFile("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (3).RPD", "replay");
         },
         true, 0, sys::kFoDelete, 0, ""},
        {"a copy of the replay archived under a numbered name", "", kData,
         [](const std::string&) {
             fake::AddFile(kMay12Archive, "other!");
             fake::AddFile("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (2).RPD", "replay");
         },
         true, 0, sys::kFoDelete, 0, ""},
        {"a replay of the same size that differs", "", kData,
         [](const std::string&) { fake::AddFile(kMay12Archive, "REPLAY"); }, true, 0, sys::kFoMove, 0,
         "2007\\05\\12\\2007-05-12T21-30-05 (2).RPD"},
        {"a replay that differs past its first 4 KB", "", kData,
         [](const std::string& folder) {
             fake::AddFile(folder + "\\REPLAY005.RPD", std::string(5000, 'r') + "A", kMay12);
             fake::AddFile(kMay12Archive, std::string(5000, 'r') + "B");
         },
         true, 0, sys::kFoMove, 0, "2007\\05\\12\\2007-05-12T21-30-05 (2).RPD"},
        {"a name of one character", "FilenameStoredFormat2=%w", kData, [](const std::string&) {}, true, 0, sys::kFoMove,
         0, "6"},
        {"a copy, and the shell says done but recycled nothing", "", kData,
         [](const std::string&) {
             fake::AddFile(kMay12Archive, "replay");
             fake::state().applyFileOps = false;
         },
         false, 0, sys::kFoDelete, 0, ""},
        {"its own archive name is no copy of it", "FilenameStoredFormat2=REPLAY0%S.RPD", kData,
         [](const std::string&) {}, true, 0, sys::kFoMove, 0, "REPLAY005 (2).RPD"},
        {"a taken name that begins with a dot, on a Saturday", "FilenameStoredFormat2=.%H%w", kData,
         [](const std::string& folder) { fake::AddFile(folder + "\\.216", "other"); }, true, 0, sys::kFoMove, 0,
         ".216 (2)"},
        {"the last number tried", "", kData, [](const std::string& folder) { takeNames(folder, 998); }, true, 0,
         sys::kFoMove, 0, "2007\\05\\12\\2007-05-12T21-30-05 (999).RPD"},
        {"every number taken", "", kData, [](const std::string& folder) { takeNames(folder, 999); }, false, 0, 0, 0,
         ""},
        {"a numbered name of 259 bytes", kTaken, kFull,
         [](const std::string& folder) { fake::AddFile(folder + "\\20070512213005.RPD", "other"); }, true, 0,
         sys::kFoMove, 0, "20070512213005 (2).RPD"},
        {"a numbered name of 260 bytes", kTaken, kFull + "f",
         [](const std::string& folder) { fake::AddFile(folder + "\\20070512213005.RPD", "other"); }, false, 0, 0, 0,
         ""},
        // Folders named in Japanese: the second byte of "\x83\x5C" is a backslash's.
        {"folders ending in a character whose second byte is a backslash's",
         "FilenameStoredFormat2=\x83\x41\x83\x5C\\%Y\\\x83\x5C", kData, [](const std::string&) {}, true, 0,
         sys::kFoMove, 2, "\x83\x41\x83\x5C\\2007\\\x83\x5C"},
        {"a taken name of one character, its extension ending in a backslash's second byte",
         "FilenameStoredFormat2=%w.\x83\x5C", kData,
         [](const std::string& folder) { fake::AddFile(folder + "\\6.\x83\x5C", "other"); }, true, 0, sys::kFoMove, 0,
         "6 (2).\x83\x5C"},
        {"no name from the format", "FilenameStoredFormat2=", kData, [](const std::string&) {}, false, 0, 0, 0, ""},
        // Too long to be checked on the Saturday of the check, short enough on a Friday.
        {"a name with colons", "FilenameStoredFormat2=" + longName.substr(0, 20) + "%A%A%A", kData,
         [](const std::string&) {
             fake::detail::FindEntry(Slot(5))->lastWriteTime = fake::FileTimeOf(2007, 5, 11, 9, 0, 0);
         },
         false, 0, 0, 0, ""},
        {"a name far too long", "FilenameStoredFormat2=" + longName, kData, [](const std::string&) {}, false, 0, 0, 0,
         ""},
        {"a time that cannot be converted", "", kData,
         [](const std::string&) { fake::detail::FindEntry(Slot(5))->lastWriteTime = 0xFFFFFFFFFFFFFFFFull; }, false, 0,
         0, 0, ""},
        {"no room below the folder", "", kLong, [](const std::string&) {}, false, sys::kErrorFilenameExcedRange, 0, 0,
         ""},
        {"a file where a folder goes", "", kData, [](const std::string& folder) { fake::AddFile(folder + "\\2007"); },
         false, sys::kErrorAlreadyExists, 0, 1, ""},
        {"a folder that cannot be made", "", kData, [](const std::string&) { fake::state().failCreateDirectory = 1; },
         false, sys::kErrorAccessDenied, 0, 1, ""},
        {"the disk is full", "", kData, [](const std::string&) { fake::state().fileOpResults = {0x70}; }, false, 0x70,
         sys::kFoMove, 3, ""},
        {"a code of the shell's own", "", kData, [](const std::string&) { fake::state().fileOpResults = {0x71}; },
         false, 0, sys::kFoMove, 3, ""},
        {"stopped by the user", "", kData, [](const std::string&) { fake::state().fileOpAborts = {true}; }, false, 1223,
         sys::kFoMove, 3, ""},
        {"done, and nothing moved", "", kData, [](const std::string&) { fake::state().applyFileOps = false; }, false, 0,
         sys::kFoMove, 3, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fake::Reset();
        fake::AddFile(row.folder + "\\REPLAY005.RPD", "replay", kMay12);
        Start(row.keys + "\r\n", row.folder);
        row.setUp(row.folder);
        sys::FindData found;
        ASSERT_TRUE(FindSlotFile(row.folder.c_str(), "REPLAY%03d.RPD", 5, &found));
        fake::state().calls.clear();
        const std::string replay = fake::Contents(row.folder + "\\REPLAY005.RPD");
        ArchiveResult result = app->ArchiveReplay(row.folder.c_str(), row.folder.c_str(), found);
        EXPECT_EQ(result.left, row.left);
        EXPECT_EQ(result.reason, row.reason);
        EXPECT_EQ(fake::state().fileOps.empty() ? 0 : fake::state().fileOps.back().wFunc, row.request);
        if (row.request != 0) {
            // Unseen, into the archive or the recycle bin.
            EXPECT_EQ(fake::state().fileOps.back().fFlags, row.request == sys::kFoMove ? 0x69D : 0x4D4);
        }
        EXPECT_EQ(fake::CallCount("CreateDirectoryA"), row.folders);
        EXPECT_EQ(fake::Exists(row.folder + "\\REPLAY005.RPD"), !row.left);
        if (!row.target.empty()) {
            ASSERT_EQ(fake::state().fileOps.size(), 1u);
            EXPECT_EQ(fake::state().fileOps[0].to, std::vector<std::string>{row.folder + "\\" + row.target});
            EXPECT_EQ(fake::Contents(row.folder + "\\" + row.target), replay);
        }
        app.reset();
    }
}

TEST_F(ReplayMonitorTest, MissingArchiveFoldersAreMadeEvenThoughTheShellWouldNot) {
    // The fake shell, like Wine 8's, fails a move into a folder that does not exist.
    fake::AddFile(Slot(1), "one", kMay12);
    Start();
    Ticks(2);
    EXPECT_EQ(fake::Contents(kMay12Archive), "one");

    // Existing folders are fine: nothing is made twice.
    fake::AddFile(Slot(2), "two", fake::FileTimeOf(2007, 5, 12, 23, 0, 0));
    fake::state().calls.clear();
    Ticks(2);
    EXPECT_EQ(fake::CallCount("CreateDirectoryA"), 0);
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T23-00-00.RPD"), "two");
}

TEST_F(ReplayMonitorTest, TwoReplaysOfTheSameSecondKeepTheirOwnContents) {
    fake::AddFile(Slot(1), "first", kMay12);
    fake::AddFile(Slot(2), "second", kMay12);
    Start();
    Ticks(2);
    ASSERT_EQ(fake::state().fileOps.size(), 2u);
    EXPECT_EQ(fake::state().fileOps[1].fFlags, 0x69D);
    EXPECT_EQ(fake::Contents(kMay12Archive), "first");
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (2).RPD"), "second");

    // An archive from an earlier run is never replaced either, up to two-digit numbers.
    for (int slot = 3; slot <= 11; ++slot) fake::AddFile(Slot(slot), "replay " + std::to_string(slot), kMay12);
    Ticks(2);
    EXPECT_EQ(fake::Contents(kMay12Archive), "first");
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (2).RPD"), "second");
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (3).RPD"), "replay 3");
    EXPECT_EQ(fake::Contents("D:\\Data\\2007\\05\\12\\2007-05-12T21-30-05 (11).RPD"), "replay 11");
}

TEST_F(ReplayMonitorTest, TheFreeNameGoesBeforeTheExtensionOfTheLastPartOnly) {
    // A dot in a folder name is no extension; a name without one gets the number at its end.
    fake::AddFile(Slot(1), "a", kMay12);
    fake::AddFile(Slot(2), "b", kMay12);
    fake::AddFile(Slot(3), "c", kMay12);
    fake::AddFile(Slot(4), "d", kMay12);
    Start("FilenameStoredFormat2=v1.0\\%Y\r\n");
    Ticks(2);
    EXPECT_EQ(fake::Contents("D:\\Data\\v1.0\\2007"), "a");
    EXPECT_EQ(fake::Contents("D:\\Data\\v1.0\\2007 (2)"), "b");
    EXPECT_EQ(fake::Contents("D:\\Data\\v1.0\\2007 (3)"), "c");
    EXPECT_EQ(fake::Contents("D:\\Data\\v1.0\\2007 (4)"), "d");
}

TEST_F(ReplayMonitorTest, ADataFolderEndingInADoubleByteCharacterIsJoinedWithABackslash) {
    const std::string folder = "D:\\\x83\x5C";  // "D:\ソ"
    fake::AddFile(folder + "\\REPLAY005.RPD", "replay", kMay12);
    Start("", folder);
    Ticks(2);
    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].from[0], folder + "\\REPLAY005.RPD");
    EXPECT_EQ(fake::Contents(folder + "\\2007\\05\\12\\2007-05-12T21-30-05.RPD"), "replay");
}

TEST_F(ReplayMonitorTest, TheRangeOfIndexesChoosesTheSlotsAndTheirOrder) {
    const struct {
        const char* keys;
        std::vector<int> present;
        std::vector<int> moved;          // in this order
        std::vector<const char*> saved;  // in the INI file afterwards
    } rows[] = {
        {"", {500, 9, 3, 999, 1000, 0}, {0, 3, 9, 500, 999}, {}},
        {"MinIndex=5\r\nMaxIndex=5\r\n", {0, 1, 100, 101}, {1, 100}, {"MinIndex=1", "MaxIndex=100"}},
        {"MinIndex=7\r\nMaxIndex=3\r\n", {3, 7}, {}, {}},  // backwards: no slot, and no search
        // Counting past 0xFFFFFFFF would wrap to 0 and never end.
        {"MinIndex=-2\r\nMaxIndex=-1\r\n", {-1, -2}, {-2, -1}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        SetUp();
        for (int slot : row.present) fake::AddFile(Slot(slot), Slot(slot), kMay12 + (slot & 0xFFFF) * 10000000ull);
        Start(row.keys);
        fake::state().calls.clear();
        Ticks(3);
        std::vector<std::string> moved;
        for (const auto& move : Moves()) moved.push_back(move.first);
        std::vector<std::string> expected;
        for (int slot : row.moved) expected.push_back(Slot(slot));
        EXPECT_EQ(moved, expected);
        EXPECT_EQ(fake::CallCount("FindFirstFileA") == 0, row.moved.empty());
        app.reset();
        for (const char* key : row.saved) EXPECT_NE(fake::Contents(kIni).find(key), std::string::npos) << key;
    }
}

TEST_F(ReplayMonitorTest, AWideRangeTracksItsFirstThousandSlotsAndKeepsTheUsersText) {
    for (const char* keys : {"MaxIndex=-1", "MaxIndex=2147483647", "MinIndex=0\r\nMaxIndex=400000000"}) {
        for (bool perSlot : {false, true}) {
            SCOPED_TRACE(keys);
            fake::Reset();
            fake::AddFile(Slot(5), "five", kMay12);
            fake::AddFile(Slot(1000), "1000", kMay12);
            Start(std::string(keys) + "\r\n");
            if (perSlot) app->slotScan.UsePerSlotSearch();
            EXPECT_EQ(app->presence.current->count, 1000u);
            fake::state().calls.clear();
            Ticks(2);
            EXPECT_LE(fake::CallCount("FindFirstFileA"), 2 * (1000 + 1)) << "one search per tracked slot at most";
            EXPECT_EQ(fake::Contents(kMay12Archive), "five");
            EXPECT_TRUE(fake::Exists(Slot(1000)));
            app.reset();
            EXPECT_NE(fake::Contents(kIni).find(keys), std::string::npos);
        }
    }
}

TEST_F(ReplayMonitorTest, AMoveTheShellRefusesOrAbortsShowsNoDialogAndStaysForTheNextScan) {
    fake::AddFile(Slot(5), "locked", kMay12);
    fake::AddFile(Slot(6), "aborted", kMay12 + 10000000ull);
    fake::detail::FindEntry(Slot(5))->locked = true;
    Start();
    fake::state().fileOpAborts = {false, true};  // slot 6 moves, but the shell says it aborted
    Ticks(2);
    EXPECT_EQ(fake::state().errorDialogs, 0);
    EXPECT_TRUE(fake::Exists(Slot(5)));
    EXPECT_NE(app->presence.previous->Get(5), 0);
    EXPECT_NE(app->presence.previous->Get(6), 0);
    fake::detail::FindEntry(Slot(5))->locked = false;
    Ticks(1);
    EXPECT_EQ(fake::Contents(kMay12Archive), "locked");
}

TEST_F(ReplayMonitorTest, AReplayThatCannotBeArchivedIsToldOnceUntilItHasBeenArchived) {
    // A range far from 0: the failures are counted by the slot's place in it.
    fake::AddFile(Slot(1005), "replay", kMay12);
    Start("MaxIndex=1005\r\nMinIndex=1000\r\n");
    app->AddTrayIcon();
    // A caption longer than a balloon's title: cut after whole characters (表 is 95 5C).
    std::string caption;
    for (int i = 0; i < 32; ++i) caption += "\x95\x5c";
    std::strcpy(app->caption, caption.c_str());
    auto shown = [](uint32_t flags) {
        std::vector<sys::NotifyIconData> calls;
        for (const fake::ShellNotifyCall& call : fake::state().notifyIcons) {
            if (call.message == sys::kNimModify && call.data.uFlags == flags) calls.push_back(call.data);
        }
        return calls;
    };
    // Nine failed moves, a tick without the file, ten more; five; archived; failing once more; gone and
    // failing again, told while the icon is missing and again once it is back; a user presenting, then
    // away, then free.
    const struct {
        int ticks;
        bool present;
        bool failing;
        std::size_t balloons;  // asked for so far
        int32_t user = 5;      // SHQueryUserNotificationState
        bool iconMissing = false;
    } steps[] = {{10, true, true, 0},  {1, false, false, 0},   {10, true, true, 0},         {1, true, true, 1},
                 {5, true, true, 1},   {1, true, false, 1},    {10, true, true, 1},         {1, true, true, 2},
                 {1, false, false, 2}, {10, true, true, 2},    {1, true, true, 3, 5, true}, {2, true, true, 4},
                 {1, false, false, 4}, {11, true, true, 4, 4}, {1, true, true, 4, 1},       {1, true, true, 5}};
    for (const auto& step : steps) {
        if (&step == &steps[7]) std::strcpy(app->caption, std::string(70, 'A').c_str());
        if (!step.present) fake::Remove(Slot(1005));
        if (step.present && !fake::Exists(Slot(1005))) fake::AddFile(Slot(1005), "next replay", kMay12 + 10000000ull);
        step.iconMissing ? fake::state().trayIcons.clear() : (void)fake::state().trayIcons.insert({kWindow, 1});
        fake::state().userNotificationState = step.user;
        // Error 1, the smallest reason the platform words.
        fake::state().fileOpResults.assign(step.failing ? step.ticks : 0, 1);
        Ticks(step.ticks);
        EXPECT_EQ(shown(sys::kNifInfo).size(), step.balloons) << &step - steps;
    }
    sys::NotifyIconData balloon = shown(sys::kNifInfo).at(0);
    std::string text = fake::state().strings[IDS_ARCHIVE_FAILED];
    text.replace(text.find("%s"), 2, "REPLAY1005.RPD");
    EXPECT_EQ(std::string(balloon.szInfo), text + "\nerror 1.") << "the slot and the platform's reason";
    EXPECT_EQ(balloon.dwInfoFlags, sys::kNiifWarning);
    auto title = [](const sys::NotifyIconData& data) {
        return std::string(data.szInfoTitle, strnlen(data.szInfoTitle, sizeof data.szInfoTitle));
    };
    EXPECT_EQ(title(balloon), caption.substr(0, 62));
    EXPECT_EQ(title(shown(sys::kNifInfo).at(1)), std::string(63, 'A'));

    // Two slots failing in one pass: one balloon, for the first and both; a third, failing since five
    // ticks, is told when its turn comes. The tip counts them until every one is archived.
    std::strcpy(app->caption, "ZOLM");
    app->AddTrayIcon();
    fake::Remove(Slot(1005));
    Ticks(1);
    for (int slot : {1000, 1005}) fake::AddFile(Slot(slot), std::to_string(slot), kMay12 + slot * 10000000ull);
    fake::state().fileOpResults.assign(22, 1);
    Ticks(6);
    fake::AddFile(Slot(1003), "1003", kMay12);
    fake::state().fileOpResults.assign(32, 1);
    Ticks(6);
    ASSERT_EQ(shown(sys::kNifInfo).size(), 6u);
    text = fake::state().strings[IDS_ARCHIVE_FAILED_MANY];
    text.replace(text.find("%s"), 2, "REPLAY1000.RPD").replace(text.find("%d"), 2, "2");
    EXPECT_EQ(std::string(shown(sys::kNifInfo).back().szInfo), text + "\nerror 1.");
    std::string tip = fake::state().strings[IDS_TIP_ARCHIVE_FAILING];
    tip.replace(tip.find("%s"), 2, "ZOLM").replace(tip.find("%d"), 2, "3");
    EXPECT_EQ(std::string(shown(sys::kNifTip).back().szTip), tip);
    Ticks(5);
    ASSERT_EQ(shown(sys::kNifInfo).size(), 7u) << "the third's turn";
    Ticks(1);
    EXPECT_STREQ(shown(sys::kNifTip).back().szTip, "ZOLM");
    EXPECT_EQ(fake::detail::LoadedLibraryCount(), 0) << "shell32 loaded to ask is freed";
}

TEST_F(ReplayMonitorTest, ABurstIsArchivedInSlicesOfBoundedTimeThatACommandEnds) {
    const struct {
        const char* name;
        void (*betweenSlices)(TrayApplication& app);
        std::size_t moved;        // once the posted slices have run
        std::size_t movedAtLast;  // after two more ticks: the rest, seen by two scans again (0: no ticks)
    } rows[] = {
        {"nothing", [](TrayApplication&) {}, 200, 200},
        {"a tick goes on with the pass, its slice's timer lost",
         [](TrayApplication& app) {
             fake::state().windowTimers.clear();
             app.MonitorTick();
         },
         200, 200},
        {"a slice and a tick inside a move's own modal loop",
         [](TrayApplication&) { fake::state().duringModalLoop = ExpectThePassToWait; }, 200, 200},
        {"a slice and a tick while a command waits in its menu, the rest after it",
         [](TrayApplication& app) {
             app.CreateMenus();
             fake::state().duringModalLoop = ExpectThePassToWait;
             app.HandleTrayMessage(1, sys::kWmRButtonDown);
             fake::state().duringModalLoop = nullptr;
         },
         200, 200},
        {"a mode switch", [](TrayApplication& app) { app.SetMode(PlayMode); }, 10, 200},
        {"a load", [](TrayApplication& app) { app.LoadReplays("D:\\Empty", kData); }, 10, 10},
        {"an exit", [](TrayApplication& app) { app.CloseSequence(); }, 10, 0},
        {"the session's end", [](TrayApplication& app) { app.EndSession(); }, 10, 0},
        {"slot 0 written again, slot 995 gone",
         [](TrayApplication&) {
             fake::Remove(Slot(995));
             fake::AddFile(Slot(0), "new", kMay12);
         },
         199, 200},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        fake::AddFolder(kData);
        fake::AddFolder("D:\\Empty");
        for (int slot = 0; slot < 1000; slot += 5) {  // 200 of the 1000 slots
            fake::Entry file;
            file.path = file.contents = Slot(slot);
            file.lastWriteTime = kMay12 + slot * 10000000ull;
            fake::state().entries.push_back(file);
        }
        Start();
        theApplication = app.get();  // the slices come through the hidden window's procedure
        // Ten moves a slice: the tenth reaches its 100 ms, or just passes them.
        fake::state().requestMilliseconds = (&row - rows) % 2 == 0 ? 10 : 11;
        Ticks(2);
        ASSERT_EQ(fake::state().fileOps.size(), 10u);
        row.betweenSlices(*app);
        // As the message loop runs them: a slice due when a command ended the pass comes all the same.
        auto runPostedSlices = [&] {
            while (fake::state().windowTimers.count(kArchiveSliceTimer) != 0) {
                std::size_t before = fake::state().fileOps.size();
                FireSlice();
                EXPECT_LE(fake::state().fileOps.size() - before, 10u);
            }
        };
        runPostedSlices();
        EXPECT_EQ(fake::state().fileOps.size(), row.moved);
        std::size_t calls = fake::state().calls.size();
        FireSlice();
        EXPECT_EQ(fake::state().calls.size(), calls + 1) << "a slice due after the pass did nothing but stop";
        for (int tick = 0; tick < 2 && row.movedAtLast != 0; ++tick) {
            Ticks(1);
            runPostedSlices();
            EXPECT_EQ(fake::state().fileOps.size(), tick == 0 ? row.moved : row.movedAtLast);
        }
        app.reset();
    }
    theApplication = nullptr;
}

TEST_F(ReplayMonitorTest, AReplayFoundOnceThatALoadArchivesLeavesItsSlotToTwoFreshScans) {
    fake::AddFile(Slot(2), "two", kMay12);
    Start();
    fake::state().requestMilliseconds = 100;  // each move ends its slice
    Ticks(1);
    fake::AddFile(Slot(1), "one", kMay12 + 10000000ull);
    Ticks(1);  // slot 1 seen once, slot 2 moved
    fake::AddFile("D:\\Load\\a.RPD", "a");
    fake::AddFile("D:\\Load\\b.RPD", "b");
    app->LoadReplays("D:\\Load", kData);  // archives slot 1 before its copy
    fake::AddFile(Slot(1), "written again in browse mode", kMay12 + 20000000ull);
    app->SetMode(PlayMode);
    Ticks(1);
    EXPECT_TRUE(fake::Exists(Slot(1))) << "moved after one scan";

    // Browse mode forgets the slots no load readies too; a switch to play mode forgets nothing.
    fake::AddFile(Slot(7), "seven", kMay12 + 50000000ull);
    Ticks(1);
    app->SetMode(BrowseMode);
    app->SetMode(PlayMode);
    Ticks(1);
    EXPECT_TRUE(fake::Exists(Slot(7))) << "moved after one scan";
    app->SetMode(PlayMode);
    Ticks(1);
    EXPECT_FALSE(fake::Exists(Slot(7)));
}

TEST_F(ReplayMonitorTest, APassEndingWithATickWaitingLeavesTheSlotsItSawLastToTheNextPeriod) {
    for (int slot : {1, 2, 3}) fake::AddFile(Slot(slot), std::to_string(slot), kMay12 + slot * 10000000ull);
    Start();
    theApplication = app.get();
    fake::state().requestMilliseconds = 10000;  // the pass takes half a minute
    Ticks(1);
    fake::AddFile(Slot(9), "late", kMay12);
    Ticks(1);
    while (fake::state().windowTimers.count(kArchiveSliceTimer) != 0) FireSlice();
    app->MonitorTick();
    EXPECT_TRUE(fake::Exists(Slot(9))) << "seen a moment ago";
    Ticks(1);
    EXPECT_FALSE(fake::Exists(Slot(9)));
    // A tick that comes a slice early, as one that waited for a slice does, still counts.
    while (fake::state().windowTimers.count(kArchiveSliceTimer) != 0) FireSlice();
    fake::AddFile(Slot(8), "eight", kMay12);
    Ticks(1);
    fake::state().tickCount += app->settings.MonitorInterval - kArchiveSliceMilliseconds;
    app->MonitorTick();
    EXPECT_FALSE(fake::Exists(Slot(8)));
    theApplication = nullptr;
}

TEST_F(ReplayMonitorTest, BrowseModeAndAnEmptyDataFolderTouchNothing) {
    fake::AddFile(Slot(5), "replay", kMay12);
    Start();
    Ticks(1);  // slot 5 now marked present
    app->mode = BrowseMode;
    fake::state().calls.clear();
    Ticks(3);
    EXPECT_TRUE(fake::state().calls.empty());
    EXPECT_EQ(app->presence.current->Get(5), 0);
    EXPECT_NE(app->presence.previous->Get(5), 0) << "no EndScan ran";

    // Back in play mode the first scan compares with the last one before browse mode.
    app->mode = PlayMode;
    Ticks(1);
    EXPECT_EQ(fake::state().fileOps.size(), 1u);

    app->settings.DataFolder[0] = '\0';
    fake::AddFile(Slot(6), "replay", kMay12);
    fake::state().calls.clear();
    Ticks(3);
    EXPECT_TRUE(fake::state().calls.empty());
    EXPECT_TRUE(fake::Exists(Slot(6)));
}

TEST_F(ReplayMonitorTest, AnUnsafeSlotFormatIsReplacedByTheDefaultAndKeptInTheIni) {
    for (const char* format : {"REPLAY%s.RPD", "%n", "%d%d", "REPLAY%", "%I64d", "%*d"}) {
        SCOPED_TRACE(format);
        fake::Reset();
        fake::AddFile(Slot(5), "replay", kMay12);
        // Under the sanitizers a %s or %n that reached the formatter would fail this test.
        Start(std::string("FilenameFormat=") + format + "\r\n");
        EXPECT_STREQ(app->slotScan.SlotFormat(), "REPLAY%03d.RPD");
        Ticks(2);
        EXPECT_EQ(fake::Contents(kMay12Archive), "replay");
        app.reset();
        EXPECT_NE(fake::Contents(kIni).find(std::string("FilenameFormat=") + format), std::string::npos);
    }
}

TEST_F(ReplayMonitorTest, AnUnsafeArchiveFormatIsReplacedByTheDefault) {
    fake::AddFile(Slot(5), "replay", kMay12);
    Start("FilenameStoredFormat2=%Y-%e-%s.RPD\r\n");
    EXPECT_STREQ(app->slotScan.ArchiveFormat(), "%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD");
    Ticks(2);
    EXPECT_EQ(fake::Contents(kMay12Archive), "replay");
}

TEST_F(ReplayMonitorTest, TheDayOfTheYearIsFilledForTheArchiveName) {
    // The first and last seconds of each month, in years that are leap years and not.
    const uint64_t kDay = 864000000000ull;
    std::vector<std::pair<uint64_t, std::string>> replays;
    for (int year : {1900, 2000, 2007, 2008}) {
        for (int month = 1; month <= 12; ++month) {
            uint64_t first = fake::FileTimeOf(year, month, 1, 0, 0, 0);
            uint64_t nextMonth =
                month == 12 ? fake::FileTimeOf(year + 1, 1, 1, 0, 0, 0) : fake::FileTimeOf(year, month + 1, 1, 0, 0, 0);
            uint64_t last = nextMonth - 10000000;  // 23:59:59 of the last day
            for (uint64_t time : {first, last}) {
                char name[64];
                std::snprintf(name, sizeof name, "D:\\Data\\%d-%03d-%02d%02d.RPD", year,
                              static_cast<int>((time - fake::FileTimeOf(year, 1, 1, 0, 0, 0)) / kDay) + 1, month,
                              time == first ? 0 : 59);
                replays.emplace_back(time, name);
            }
        }
    }
    for (std::size_t i = 0; i < replays.size(); ++i)
        fake::AddFile(Slot(static_cast<int>(i)), replays[i].second, replays[i].first);
    Start("FilenameStoredFormat2=%Y-%j-%m%M.RPD\r\n");
    Ticks(2);
    for (const auto& replay : replays) EXPECT_EQ(fake::Contents(replay.second), replay.second);
}

TEST_F(ReplayMonitorTest, ASlotPathOfTheFullLengthIsMoved) {
    std::string folder = "D:\\" + std::string(242, 'd');
    fake::AddFile(folder + "\\REPLAY005.RPD", "replay", kMay12);
    ASSERT_EQ((folder + "\\REPLAY005.RPD").size(), 259u);
    Start("FilenameStoredFormat2=%Y%m%d.RPD\r\n", folder);
    Ticks(2);
    EXPECT_EQ(fake::Contents(folder + "\\20070512.RPD"), "replay");
}

TEST_F(ReplayMonitorTest, WhenNothingCanBeAllocatedNothingIsArchivedAndNothingBreaks) {
    fake::AddFile(Slot(5), "replay", kMay12);
    fake::state().failAllocations = 1000;
    Start();
    Ticks(3);
    EXPECT_TRUE(fake::state().fileOps.empty());
    EXPECT_TRUE(fake::Exists(Slot(5)));
}

TEST_F(ReplayMonitorTest, AScannerWithoutItsSlotTableSearchesEachSlot) {
    fake::state().failAllocations = 1;
    SlotScanner scanner("REPLAY%03d.RPD", "%Y", 0, 999);
    EXPECT_FALSE(scanner.Enumerates());
    fake::AddFile(Slot(5), "replay", kMay12);
    fake::state().calls.clear();
    scanner.BeginScan(kData, 0, 999);
    EXPECT_FALSE(scanner.IsSlotFilePresent(4));
    EXPECT_TRUE(scanner.IsSlotFilePresent(5));
    EXPECT_STREQ(scanner.found.cFileName, "REPLAY005.RPD");
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 2);
    EXPECT_TRUE(scanner.ReadSlotFile(5)) << "the search just made serves the move";
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 2);
    sys::FindData found;
    EXPECT_FALSE(FindSlotFile(("D:\\" + std::string(250, 'd')).c_str(), "REPLAY%03d.RPD", 5, &found)) << "no room";
}

TEST_F(ReplayMonitorTest, WithThePerSlotSearchFilesAreStillArchived) {
    fake::AddFile(Slot(5), "replay", kMay12);
    Start();
    int blocks = fake::state().blocksLive;
    app->slotScan.UsePerSlotSearch();
    EXPECT_EQ(fake::state().blocksLive, blocks - 1) << "the slot table is freed";
    fake::state().calls.clear();
    Ticks(2);
    EXPECT_EQ(fake::Contents(kMay12Archive), "replay");
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 2001) << "a search per slot and scan, and the numbered names";
}

TEST_F(ReplayMonitorTest, AScanSearchesTheFolderOnceAndAllocatesNothing) {
    fake::AddFile(Slot(5), "replay", kMay12);
    fake::AddFile(Slot(7), "replay", kMay12 + 10000000ull);
    Start("MaxIndex=7\r\nMinIndex=5\r\n");  // the ends of the range are taken from the enumeration too
    ASSERT_TRUE(app->slotScan.Enumerates());
    int allocations = fake::CallCount("AllocateZeroed");
    int blocks = fake::state().blocksLive;
    fake::state().calls.clear();
    Ticks(1);
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 1);
    Ticks(1);
    // The moves take the files as the enumeration found them, and search only the archive's numbered names.
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 4);
    fake::AddFile(Slot(6), "replay", kMay12);
    Ticks(3);
    ASSERT_EQ(fake::state().fileOps.size(), 3u);
    EXPECT_EQ(fake::state().fileOps[2].wFunc, sys::kFoDelete) << "slot 5's replay again, by its size and contents";
    EXPECT_EQ(fake::CallCount("AllocateZeroed"), 0);
    EXPECT_EQ(fake::state().blocksLive, blocks);
    EXPECT_GT(allocations, 0);
}

// The same file system scanned with one enumeration and with one search per slot
// must give the same moves, in the same scans, and leave the same files.
struct Outcome {
    std::vector<std::string> moves;  // "scan: from -> to"
    std::vector<std::string> files;
};

class ScanEquivalenceTest : public ReplayMonitorTest {
protected:
    void Add(const std::string& name, uint64_t time) {
        if (name.back() == '\\') {
            fake::AddFolder(std::string(kData) + "\\" + name);
        } else {
            fake::AddFile(std::string(kData) + "\\" + name, name, time);
        }
    }

    Outcome Run(const std::string& format, const std::vector<std::string>& names, const std::vector<std::string>& late,
                bool perSlot, bool* enumerated) {
        fake::Reset();
        uint64_t time = kMay12;
        for (const std::string& name : names) Add(name, time += 10000000ull);
        Start("FilenameFormat=" + format + "\r\nMaxIndex=300\r\n");
        if (perSlot) app->slotScan.UsePerSlotSearch();
        *enumerated = app->slotScan.Enumerates();
        Outcome outcome;
        for (int scan = 1; scan <= 4; ++scan) {
            std::size_t before = fake::state().fileOps.size();
            Tick(*app);
            for (std::size_t i = before; i < fake::state().fileOps.size(); ++i) {
                const fake::FileOpCall& op = fake::state().fileOps[i];
                outcome.moves.push_back(std::to_string(scan) + ": " + op.from.at(0) + " -> " + op.to.at(0));
            }
            // Files that the game writes between the first two scans.
            if (scan == 1) {
                for (const std::string& name : late) Add(name, time += 10000000ull);
            }
        }
        for (const fake::Entry& entry : fake::state().entries) {
            if (entry.path != kIni) outcome.files.push_back(entry.path + "=" + entry.contents);
        }
        app.reset();
        return outcome;
    }

    void ExpectSameOutcome(const std::string& format, const std::vector<std::string>& names, bool fastExpected,
                           const std::vector<std::string>& late = {}) {
        SCOPED_TRACE(format);
        bool enumerated = false;
        bool perSlotEnumerated = true;
        Outcome fast = Run(format, names, late, false, &enumerated);
        Outcome literal = Run(format, names, late, true, &perSlotEnumerated);
        EXPECT_EQ(enumerated, fastExpected);
        EXPECT_FALSE(perSlotEnumerated);
        EXPECT_FALSE(literal.moves.empty()) << "the scenario should move something";
        EXPECT_EQ(fast.moves, literal.moves);
        EXPECT_EQ(fast.files, literal.files);
    }
};

TEST_F(ScanEquivalenceTest, MixedCaseNamesAndNearMisses) {
    ExpectSameOutcome("REPLAY%03d.RPD",
                      {"replay005.rpd", "Replay006.Rpd", "REPLAY007.RPD", "REPLAY5.RPD", "REPLAY0008.RPD",
                       "REPLAY-01.RPD", "REPLAY+09.RPD", "REPLAYabc.RPD", "REPLAY010.RPD.bak", "REPLAY011.RPDX",
                       "XREPLAY012.RPD", "REPLAY\x83\x41.RPD", "REPLAY013.RPD\\", "REPLAY300.RPD", "REPLAY301.RPD",
                       "REPLAY99999999999999.RPD", "REPLAY14.RPD", "rEpLaY+15.rPd", "REPLAY+.RPD"},
                      true, {"REPLAY014.RPD", "replay015.rpd"});
    EXPECT_TRUE(fake::Exists(std::string(kData) + "\\REPLAY013.RPD")) << "a folder is no slot file";
}

TEST_F(ScanEquivalenceTest, OtherIntegerConversions) {
    // "r00ac.rpdx" is found by its short name R00A~???.RPD.
    ExpectSameOutcome(
        "r%04X.rpd",
        {"R00FF.RPD", "R00A0.RPD", "r00ab.rpd", "r0100.rpd", "r00G1.rpd", "rFF.rpd", "r12C.rpd", "r00ac.rpdx"}, true,
        {"r012c.RPD"});
    ExpectSameOutcome("R%#x.RPD", {"R0x1f.RPD", "r0X20.rpd", "R1f.RPD", "R0x.RPD", "R0.RPD"}, true);
    ExpectSameOutcome("%d", {"12", "013", "+14", "-0", "0", "3a"}, true);
    ExpectSameOutcome("S%+.3u_%%.RPD", {"S+005_%.RPD", "s005_%.rpd", "S+5_%.RPD"}, true);
    ExpectSameOutcome("R%.9d.RPD", {"R000000005.RPD"}, true);
    // Both ways of case, letters at the ends of the alphabet.
    ExpectSameOutcome("!AaZz%03d.RPD", {"!aAzZ005.rpd"}, true);  // '!' the first plain character too
    // Longer names than the enumeration keeps the case of: searched again.
    ExpectSameOutcome("R%070d.rpd", {"R" + std::string(69, '0') + "5.RPD"}, true);
    ExpectSameOutcome("R%060d.rpd", {"R" + std::string(59, '0') + "5.rpd"}, true);
}

TEST_F(ScanEquivalenceTest, FormatsTheEnumerationCannotReproduceAreSearchedPerSlot) {
    // A wildcard in the name: the search itself decides what matches.
    ExpectSameOutcome("REPLAY%03d.*", {"Replay005.rpd", "REPLAY006.bak", "REPLAY007"}, false);
    ExpectSameOutcome("R%03d?.RPD", {"R005a.RPD", "R006.RPD"}, false);
    // Non-ASCII text ("リプレイ"), space padding and 16-bit slot numbers.
    ExpectSameOutcome("\x83\x8A\x83\x76\x83\x8C\x83\x43%03d.RPD",
                      {"\x83\x8A\x83\x76\x83\x8C\x83\x43"
                       "005.RPD"},
                      false);
    ExpectSameOutcome("R%3d.RPD", {"R  5.RPD"}, false);
    ExpectSameOutcome("R%-03d.RPD", {"R5  .RPD"}, false);
    ExpectSameOutcome("R%hd.RPD", {"R5.RPD"}, false);
    ExpectSameOutcome("R% d.RPD", {"R 5.RPD"}, false);
    ExpectSameOutcome("R %03d.RPD", {"R 005.RPD"}, false);
}

}  // namespace
