// The two modes and the loading of stored replays into the slot files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "replay/replay_pattern.h"
#include "tests/unit/app_fixture.h"

namespace apptest {
namespace {

const char kStored[] = "C:\\Stored";

std::string Slot(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "\\REPLAY%03d.RPD", n);
    return kDataFolder + std::string(name);
}

std::string Stored(const std::string& name) { return kStored + ("\\" + name); }

// Adds count replays named R0000.RPD upward, quickly, in enumeration order.
void AddManyStoredReplays(int count) {
    fake::AddFolder(kStored);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "R%04d.RPD", i);
        fake::Entry entry;
        entry.path = Stored(name);
        S().entries.push_back(entry);
    }
}

class ReplayLoaderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        fake::AddFolder(kDataFolder);
    }

    // Starts with the given lines in section Replay of the INI file.
    TrayApplication& StartWith(const std::string& replayLines) {
        WriteIni(replayLines);
        app = &Start();
        S().calls.clear();
        blocksBefore = S().blocksLive;
        return *app;
    }

    void TearDown() override {
        if (app != nullptr) {
            EXPECT_EQ(S().blocksLive, blocksBefore) << "a copy list was not freed";
        }
        AppTest::TearDown();
    }

    void Load(const std::string& folder) {
        S().pickedFolders.push_back(folder);
        app->ChooseAndLoadReplays();
    }

    TrayApplication* app = nullptr;
    int blocksBefore = 0;
};

TEST_F(ReplayLoaderTest, ModeTableRowByRow) {
    StartWith("");
    fake::AddFile(Stored("A.RPD"), "a");
    struct Row {
        int32_t from;
        int32_t to;
        bool deletes;
        bool rewritten;  // the game has written the loaded slot again: nothing left to recycle
    };
    for (const Row& row : {Row{PlayMode, PlayMode, false, false}, Row{PlayMode, BrowseMode, false, false},
                           Row{BrowseMode, BrowseMode, false, false}, Row{BrowseMode, PlayMode, true, false},
                           Row{BrowseMode, PlayMode, false, true}}) {
        SCOPED_TRACE(testing::Message() << row.from << " -> " << row.to);
        app->mode = PlayMode;
        if (row.from == BrowseMode) Load(kStored);
        if (row.rewritten) fake::AddFile(Slot(0), "the game's", 99);
        S().fileOps.clear();
        app->SetMode(row.to);
        EXPECT_EQ(app->mode, row.to);
        EXPECT_EQ(S().fileOps.size(), row.deletes ? 1u : 0u);
    }
}

TEST_F(ReplayLoaderTest, LoadTakesNamesInOrderAndPlayModeRecyclesOnlyItsUnchangedSlots) {
    StartWith("MaxIndex=2\n");
    fake::AddFile(Slot(1), "game replay", 7);
    fake::AddFile("C:\\Data\\2007\\05\\12\\2007-05-12T21-30-05.RPD", "archived");
    fake::AddFile("C:\\Data\\flat.RPD", "archived flat");
    // Listed unsorted; the short name B_NO~???.RPD matches *.RPD, the long name does not.
    for (const char* name : {"C.RPD", "B_notes.RPDX", "a.RPD", "D.RPD", "B.RPD"}) fake::AddFile(Stored(name), name, 1);

    Load(kStored);
    ASSERT_EQ(S().fileOps.size(), 2u) << "the game's replay in slot 1 is archived first";
    EXPECT_EQ(fake::Contents("C:\\Data\\1601\\01\\01\\1601-01-01T00-00-00.RPD"), "game replay");
    EXPECT_EQ(S().fileOps[1].from, (std::vector<std::string>{Stored("a.RPD"), Stored("B.RPD"), Stored("C.RPD")}));
    EXPECT_EQ(S().fileOps[1].to, (std::vector<std::string>{Slot(0), Slot(1), Slot(2)}));

    // The game writes slot 2 again (at the size of the loaded "C.RPD"), and slot 5, during browse mode.
    fake::AddFile(Slot(2), "game!", 9);
    fake::AddFile(Slot(5), "game replay 5", 9);
    int32_t modeDuringDelete = -1;
    S().duringModalLoop = [&] { modeDuringDelete = app->mode; };
    Choose(IDM_PLAYMODE);

    ASSERT_EQ(S().fileOps.size(), 3u);
    const fake::FileOpCall& del = S().fileOps[2];
    EXPECT_EQ(del.wFunc, sys::kFoDelete);
    EXPECT_EQ(del.from, (std::vector<std::string>{Slot(0), Slot(1)}));
    EXPECT_TRUE(del.toIsNull);
    EXPECT_EQ(del.fFlags, 0x1C0);
    EXPECT_EQ(del.progressTitle, "ZOLM");
    EXPECT_EQ(modeDuringDelete, BrowseMode);
    EXPECT_EQ(app->mode, PlayMode);
    for (const std::string& kept : {Slot(2), Slot(5), std::string("C:\\Data\\flat.RPD")}) {
        EXPECT_TRUE(fake::Exists(kept)) << kept;
    }
    EXPECT_FALSE(fake::Exists(Slot(0)));
    EXPECT_FALSE(fake::Exists(Slot(1)));
}

TEST_F(ReplayLoaderTest, ALoadNeverReplacesAReplayThatIsNotArchived) {
    StartWith("MaxIndex=6\n");
    struct Row {
        const char* before;  // what the slot holds when the second load begins
        bool loaded;         // the second load writes it
        bool archived;       // what it held is in the archive afterwards
    };
    const Row rows[] = {
        {"archived already", true, true},  // a copy of a replay the archive holds, as is the last
        {"first load", true, false},       // the last load's replay, unchanged: the shell may ask
        {"game", true, true},              // a game replay the monitor has not moved yet
        {"game, open", false, false},      // one whose move fails: never overwritten
        {"first load, rewritten by the game", true, true},
        {"", true, false},  // empty
        {"archived already too", true, true},
    };
    for (const char* name : {"A.RPD", "B.RPD", "C.RPD", "D.RPD", "E.RPD", "F.RPD", "G.RPD"}) {
        fake::AddFile(Stored(name), name, 1);
    }
    for (int slot = 0; slot < 5; ++slot) fake::AddFile("C:\\First\\" + std::to_string(slot) + ".RPD", "first load", 2);
    Load("C:\\First");
    fake::AddFile(Slot(2), "game", fake::FileTimeOf(2007, 5, 12, 0, 0, 2));
    fake::AddFile(Slot(3), "game, open", fake::FileTimeOf(2007, 5, 12, 0, 0, 3));
    fake::detail::FindEntry(Slot(3))->locked = true;
    fake::AddFile(Slot(4), rows[4].before, fake::FileTimeOf(2007, 5, 12, 0, 0, 4));
    for (int slot : {0, 6}) {
        fake::AddFile(Slot(slot), rows[slot].before, fake::FileTimeOf(2007, 5, 12, 0, 0, slot));
        fake::AddFile("C:\\Data\\2007\\05\\12\\2007-05-12T00-00-0" + std::to_string(slot) + ".RPD", rows[slot].before);
    }
    std::vector<bool> slotsFilledAtCopy;
    S().duringModalLoop = [&] {
        bool copying = !S().fileOps.empty() && S().fileOps.back().wFunc == sys::kFoCopy;
        for (int slot = 0; slot < 7 && copying; ++slot) slotsFilledAtCopy.push_back(fake::Exists(Slot(slot)));
    };
    S().fileOps.clear();

    Load(kStored);
    ASSERT_EQ(S().fileOps.back().wFunc, sys::kFoCopy);
    // The copies go to the recycle bin in one request, however many there are.
    std::vector<std::vector<std::string>> recycles;
    for (const fake::FileOpCall& op : S().fileOps) {
        if (op.wFunc == sys::kFoDelete) recycles.push_back(op.from);
    }
    EXPECT_EQ(recycles, (std::vector<std::vector<std::string>>{{Slot(0), Slot(6)}}));
    for (int slot = 0; slot < 7; ++slot) {
        const Row& row = rows[slot];
        SCOPED_TRACE(row.before);
        bool written = fake::Contents(Slot(slot)) == std::string(1, static_cast<char>('A' + slot)) + ".RPD";
        EXPECT_EQ(written, row.loaded);
        char archive[64];
        std::snprintf(archive, sizeof archive, "C:\\Data\\2007\\05\\12\\2007-05-12T00-00-%02d.RPD", slot);
        EXPECT_EQ(fake::Exists(archive) ? fake::Contents(archive) : "", row.archived ? row.before : "");
        // Only the last load's own replay meets the shell's "Replace?".
        EXPECT_EQ(slotsFilledAtCopy.at(slot), slot == 1 || slot == 3);
    }
    EXPECT_EQ(fake::Contents(Slot(3)), "game, open");

    // A copy the recycle leaves (held open) keeps its slot out of the load.
    fake::AddFile(Slot(6), rows[6].before, fake::FileTimeOf(2007, 5, 12, 0, 0, 6));
    fake::detail::FindEntry(Slot(6))->locked = true;
    Load(kStored);
    EXPECT_EQ(fake::Contents(Slot(6)), rows[6].before);
}

TEST_F(ReplayLoaderTest, AFailedOrStoppedRecycleStaysInBrowseMode) {
    StartWith("MinIndex=1\n");  // slots from 1: the record is by slot less MinIndex
    fake::AddFile(Stored("A.RPD"), "a");
    Load(kStored);
    S().fileOpResults = {1223, 0};
    S().fileOpAborts = {false, true};
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt == 2) S().failAllocations = 1;  // no room for the list
        app->SetMode(PlayMode);
        EXPECT_EQ(app->mode, BrowseMode) << attempt;
        EXPECT_TRUE(fake::Exists(Slot(1))) << attempt;
    }
    app->SetMode(PlayMode);
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_FALSE(fake::Exists(Slot(1)));
    EXPECT_EQ(S().fileOps.size(), 4u);
    app->SetMode(BrowseMode);
    S().failAllocations = 1;  // nothing is recorded now: no list is needed
    app->SetMode(PlayMode);
    EXPECT_EQ(app->mode, PlayMode);
}

TEST_F(ReplayLoaderTest, ThreeReplaysGoOntoTheFirstThreeSlotsInOneCopy) {
    StartWith("");
    fake::Remove(kDataFolder);  // the game has not made it yet
    fake::AddFile(Stored("A.RPD"), "a");
    fake::AddFile(Stored("B.RPD"), "b");
    fake::AddFile(Stored("notes.txt"), "n");
    fake::AddFile(Stored("C.RPD"), "c");
    int32_t modeDuringCopy = -1;
    S().duringModalLoop = [&] { modeDuringCopy = app->mode; };

    S().pickedFolders.push_back(kStored);
    Choose(IDM_REPLAY);

    ASSERT_EQ(S().fileOps.size(), 1u);
    const fake::FileOpCall& copy = S().fileOps[0];
    EXPECT_EQ(copy.hwnd, S().dialog);
    EXPECT_EQ(copy.wFunc, sys::kFoCopy);
    EXPECT_EQ(copy.from, (std::vector<std::string>{Stored("A.RPD"), Stored("B.RPD"), Stored("C.RPD")}));
    EXPECT_EQ(copy.to, (std::vector<std::string>{Slot(0), Slot(1), Slot(2)}));
    EXPECT_EQ(copy.fFlags, 0x1C1);
    EXPECT_EQ(copy.fAnyOperationsAborted, 0);
    EXPECT_EQ(copy.hNameMappings, nullptr);
    EXPECT_EQ(copy.progressTitle, "ZOLM");
    EXPECT_EQ(modeDuringCopy, PlayMode) << "archiving goes on until the copy has returned";
    EXPECT_EQ(app->mode, BrowseMode);
    EXPECT_STREQ(app->settings.ReplayLastOpenedFolder, kStored);
    EXPECT_EQ(fake::Contents(Slot(1)), "b");
    EXPECT_EQ(S().browseSelections, std::vector<std::string>{kDataFolder}) << "first use starts at DataFolder";

    // The next load starts where the last one was chosen.
    S().pickedFolders.push_back("");
    Choose(IDM_REPLAY);
    EXPECT_EQ(S().browseSelections.back(), kStored);
}

TEST_F(ReplayLoaderTest, TheKthReplayGoesOntoTheKthSlotUpToTheRangesSizeOrAThousand) {
    // Wider ranges are loaded into their first thousand slots, with lists of that size.
    struct Case {
        const char* range;
        int stored;
        std::size_t loaded;
        int firstSlot;
    };
    const Case kCases[] = {{"MinIndex=1\nMaxIndex=100\n", 150, 100, 1},
                           {"", 1500, 1000, 0},
                           {"MaxIndex=-1\n", 1500, 1000, 0},
                           {"MaxIndex=400000000\n", 1500, 1000, 0}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.range);
        SetUp();
        StartWith(c.range);
        S().applyFileOps = false;
        AddManyStoredReplays(c.stored);

        Load(kStored);

        ASSERT_EQ(S().fileOps.size(), 1u);
        const fake::FileOpCall& copy = S().fileOps[0];
        ASSERT_EQ(copy.from.size(), c.loaded);
        ASSERT_EQ(copy.to.size(), c.loaded);
        EXPECT_EQ(copy.from.front(), Stored("R0000.RPD"));
        EXPECT_EQ(copy.to.front(), Slot(c.firstSlot));
        char last[16];
        std::snprintf(last, sizeof last, "R%04zu.RPD", c.loaded - 1);
        EXPECT_EQ(copy.from.back(), Stored(last));
        EXPECT_EQ(copy.to.back(), Slot(c.firstSlot + static_cast<int>(c.loaded) - 1));
        EXPECT_EQ(app->mode, BrowseMode);
        delete theApplication;
        theApplication = nullptr;
        app = nullptr;
    }
}

TEST_F(ReplayLoaderTest, NoMatchingReplayStillEntersBrowseMode) {
    StartWith("");
    fake::AddFile(Stored("notes.txt"));
    fake::AddFolder(Stored("old.RPD"));  // a folder is no replay

    Load(kStored);

    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, BrowseMode);
    EXPECT_STREQ(app->settings.ReplayLastOpenedFolder, kStored);
}

TEST_F(ReplayLoaderTest, SecondSmallerLoadKeepsTheHigherSlots) {
    StartWith("");
    for (const char* name : {"A.RPD", "B.RPD", "C.RPD"}) fake::AddFile(Stored(name), name);
    fake::AddFile("C:\\Other\\X.RPD", "x");

    Load(kStored);
    Load("C:\\Other");

    ASSERT_EQ(S().fileOps.size(), 2u) << "no delete between two loads";
    EXPECT_EQ(S().fileOps[1].wFunc, sys::kFoCopy);
    EXPECT_EQ(fake::Contents(Slot(0)), "x");
    EXPECT_EQ(fake::Contents(Slot(1)), "B.RPD");
    EXPECT_EQ(fake::Contents(Slot(2)), "C.RPD");
    EXPECT_EQ(app->mode, BrowseMode);
}

TEST_F(ReplayLoaderTest, CancelledPickerChangesNothing) {
    StartWith("LastOpenedFolder=C:\\Before\n");
    fake::AddFile(Stored("A.RPD"));
    S().pickedFolders.push_back("");

    app->ChooseAndLoadReplays();

    EXPECT_EQ(S().browseSelections, std::vector<std::string>{"C:\\Before"});
    EXPECT_EQ(fake::CallCount("FindFirstFileA"), 0);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, PlayMode);
    EXPECT_STREQ(app->settings.ReplayLastOpenedFolder, "C:\\Before");
}

TEST_F(ReplayLoaderTest, ADataFolderThatIsNotFullyQualifiedIsNeitherLoadedNorRecycled) {
    // Relative names resolve against the current folder, and the shell deletes them for good.
    for (const char* folder : {"", "Data", "C:Data", "\\Data"}) {
        SCOPED_TRACE(folder);
        SetUp();
        StartWith("");
        std::strcpy(app->settings.DataFolder, folder);
        fake::AddFile(Stored("A.RPD"));
        fake::AddFile(folder + std::string("\\REPLAY000.RPD"));

        Load(kStored);
        EXPECT_TRUE(S().fileOps.empty());
        EXPECT_EQ(app->mode, PlayMode) << "nothing was loaded";

        app->mode = BrowseMode;
        app->slotLoaded[0] = true;  // as if a load had written slot 0 there
        app->SetMode(PlayMode);
        EXPECT_TRUE(S().fileOps.empty());
        EXPECT_EQ(app->mode, PlayMode);
        delete theApplication;
        theApplication = nullptr;
        app = nullptr;
    }
}

TEST_F(ReplayLoaderTest, BackwardRangeAllocatesAndCopiesNothing) {
    for (const char* range : {"MinIndex=7\nMaxIndex=3\n", "MinIndex=4\nMaxIndex=3\n"}) {
        SCOPED_TRACE(range);
        SetUp();
        StartWith(range);
        fake::AddFile(Stored("A.RPD"));

        Load(kStored);

        EXPECT_EQ(fake::CallCount("AllocateZeroed"), 0);
        EXPECT_TRUE(S().fileOps.empty());
        EXPECT_EQ(app->mode, BrowseMode);
        delete theApplication;
        theApplication = nullptr;
        app = nullptr;
    }
}

TEST_F(ReplayLoaderTest, ListAllocationFailureEndsTheLoadWithoutARequest) {
    StartWith("");
    fake::AddFile(Stored("A.RPD"));
    for (int failing : {1, 2, 3, 4}) {  // the two lists, then the two blocks of the sorted names
        SCOPED_TRACE(failing);
        S().failAllocations = failing;
        Load(kStored);
        S().failAllocations = 0;
        EXPECT_TRUE(S().fileOps.empty());
        EXPECT_EQ(fake::CallCount("FindFirstFileA"), 0);
        EXPECT_EQ(app->mode, PlayMode);
        EXPECT_EQ(S().blocksLive, blocksBefore);
    }
    fake::FailCall("AllocateZeroed", 3);  // the sorted names' alone
    Load(kStored);
    EXPECT_TRUE(S().fileOps.empty());
    EXPECT_EQ(app->mode, PlayMode);
}

TEST_F(ReplayLoaderTest, ASlotNameOfOneCharacterIsAName) {
    StartWith("FilenameFormat=%d\n");
    fake::AddFile(Stored("A.RPD"), "a");
    Load(kStored);
    ASSERT_EQ(S().fileOps.size(), 1u);
    EXPECT_EQ(S().fileOps[0].to, std::vector<std::string>{"C:\\Data\\0"});
}

TEST_F(ReplayLoaderTest, PairThatDoesNotFitIsLeftOutAndItsSlotSkipped) {
    StartWith("");
    // A folder of 240 bytes: a 5-byte name fits behind it, a 30-byte one does not.
    std::string folder = "C:\\" + std::string(237, 'f');
    fake::AddFile(folder + "\\A.RPD");
    fake::AddFile(folder + "\\" + std::string(26, 'b') + ".RPD");
    fake::AddFile(folder + "\\C.RPD");

    Load(folder);

    ASSERT_EQ(S().fileOps.size(), 1u);
    EXPECT_EQ(S().fileOps[0].from, (std::vector<std::string>{folder + "\\A.RPD", folder + "\\C.RPD"}));
    EXPECT_EQ(S().fileOps[0].to, (std::vector<std::string>{Slot(0), Slot(2)}));
}

TEST_F(ReplayLoaderTest, ANameTheAnsiCallsCannotSpellIsLoadedByItsShortNameOrTakesNoSlot) {
    // Reported as "?...?.RPD": a wildcard in the copy, which would take "AB.RPD" too. Longer than its short name.
    // And a name with a yen sign, which best fit would make "A\\B.RPD", a path into a folder "A".
    const std::string kHangul = std::string(12, fake::detail::kOutsideCodePage) + ".RPD";
    const std::string kYen = std::string("A") + fake::detail::kBestFitOnly + "B.RPD";
    for (bool shortNames : {true, false}) {
        SCOPED_TRACE(shortNames);
        SetUp();
        StartWith("");
        S().volumeShortNames = shortNames;
        for (const std::string& name : {std::string("A.RPD"), kHangul, std::string("AB.RPD"), kYen}) {
            fake::AddFile(Stored(name), name);
        }
        fake::AddFile(Stored("A\\B.RPD"), "another file");
        Load(kStored);
        std::vector<std::string> loaded = {Stored("A.RPD"), Stored("AB.RPD")};
        if (shortNames) {
            loaded.push_back(Stored(fake::detail::ShortNameOf(kYen)));
            loaded.push_back(Stored(fake::detail::ShortNameOf(kHangul)));
        }
        ASSERT_EQ(S().fileOps.size(), 1u);
        EXPECT_EQ(S().fileOps[0].from, loaded);
        EXPECT_EQ(fake::Contents(Slot(1)), "AB.RPD");
        EXPECT_EQ(fake::Contents(Slot(2)), shortNames ? kYen : "");
        EXPECT_EQ(fake::Contents(Slot(3)), shortNames ? kHangul : "");
        app->SetMode(PlayMode);
        EXPECT_FALSE(fake::Exists(Slot(3))) << "known as loaded by its short name, and recycled";
        delete theApplication;
        theApplication = nullptr;
        app = nullptr;
    }
}

TEST_F(ReplayLoaderTest, CopySourceFromTheIniFileIsUsedOnlyAsANameOfFiles) {
    const std::string kSo = "\x83\x5CX.RPD";                     // "ソX.RPD": its second byte is 0x5C, no separator
    const std::string kLongest = std::string(59, 'L') + ".RPD";  // all that the setting holds
    const std::vector<std::string> kAll = {Stored("A.RPD"), Stored("B.RPD"), Stored(kLongest), Stored(kSo)};
    struct Row {
        const char* copySrc;
        std::vector<std::string> loaded;
    };
    const Row rows[] = {
        {"*.REP", {Stored("x.REP")}},
        {kLongest.c_str(), {Stored(kLongest)}},
        {"B.RPD", {Stored("B.RPD")}},
        {"2007", {}},  // a folder: never copied
        {"\x83\x5C*.RPD", {Stored(kSo)}},
        {"..\\*.RPD", kAll},
        {"..", kAll},
        {"C:*.RPD", kAll},
        {"/x/*.RPD", kAll},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.copySrc);
        SetUp();
        StartWith(std::string("CopySrc=") + row.copySrc + "\n");
        for (const std::string& name :
             {std::string("B.RPD"), std::string("x.REP"), std::string("A.RPD"), kSo, kLongest}) {
            fake::AddFile(Stored(name));
        }
        fake::AddFolder(Stored("2007"));
        fake::AddFile("C:\\x\\Y.RPD");

        Load(kStored);
        EXPECT_EQ(S().fileOps.empty() ? std::vector<std::string>{} : S().fileOps[0].from, row.loaded);
        EXPECT_EQ(app->mode, BrowseMode);
        EXPECT_STREQ(app->settings.ReplayCopySrc, row.copySrc) << "the INI file keeps the user's text";
        delete theApplication;
        theApplication = nullptr;
        app = nullptr;
    }
}

}  // namespace
}  // namespace apptest
