// The folder picker: its request, its preselected folder, and the shell's
// allocator and item list released on every path.
#include <cstring>

#include "tests/unit/app_fixture.h"

namespace apptest {
namespace {

class FolderPickerTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app = &Start();
        S().calls.clear();
        std::memset(chosen, 0, sizeof chosen);
    }

    void TearDown() override {
        EXPECT_EQ(S().mallocsLive, 0) << "the allocator was not released";
        EXPECT_EQ(S().pickerItemListsLive, 0) << "the item list was not freed";
        AppTest::TearDown();
    }

    TrayApplication* app = nullptr;
    char chosen[260];
};

TEST_F(FolderPickerTest, PickedFolderArrivesThroughARequestBuiltFieldByField) {
    const char start[] = "C:\\Start";
    S().pickedFolders.push_back("C:\\Stored\\2007");

    app->BrowseForFolder(chosen, start);

    EXPECT_STREQ(chosen, "C:\\Stored\\2007");
    ASSERT_EQ(S().browseInfos.size(), 1u);
    const sys::BrowseInfo& info = S().browseInfos[0];
    EXPECT_EQ(info.hwndOwner, S().dialog);
    EXPECT_EQ(info.pidlRoot, nullptr);
    EXPECT_EQ(info.pszDisplayName, nullptr);
    EXPECT_EQ(info.ulFlags, 0x241u);
    EXPECT_EQ(info.lpfn, &TrayApplication::BrowseCallback);
    EXPECT_EQ(info.lParam, reinterpret_cast<sys::LParam>(start));
    EXPECT_EQ(info.iImage, 0);
    EXPECT_EQ(S().browseTitles, std::vector<std::string>{S().strings[IDS_PICKER_PROMPT]});
    EXPECT_EQ(S().browseSelections, std::vector<std::string>{start}) << "preselected once the picker is up";
    EXPECT_EQ(
        fake::CallsAmong({"SHGetMalloc", "SHBrowseForFolderA", "SHGetPathFromIDListA", "MallocFree", "MallocRelease"}),
        (std::vector<std::string>{"SHGetMalloc", "SHBrowseForFolderA", "SHGetPathFromIDListA", "MallocFree",
                                  "MallocRelease"}));
}

TEST_F(FolderPickerTest, CancelLeavesTheFolderEmptyAndReleasesTheAllocator) {
    S().pickedFolders.push_back("");
    std::strcpy(chosen, "C:\\Stale");  // whatever the buffer held before

    app->BrowseForFolder(chosen, "C:\\Start");

    EXPECT_STREQ(chosen, "");
    EXPECT_EQ(fake::CallCount("SHGetPathFromIDListA"), 0);
    EXPECT_EQ(fake::CallCount("MallocFree"), 0);
    EXPECT_EQ(fake::CallCount("MallocRelease"), 1);

    // A folder whose path the ANSI calls cannot spell (a yen sign, a backslash by best fit) is never used.
    S().pickedFolders.push_back(std::string("C:\\a") + fake::detail::kBestFitOnly + "b");
    app->BrowseForFolder(chosen, "C:\\Start");
    EXPECT_STREQ(chosen, "");
    ASSERT_EQ(S().messageBoxes.size(), 1u);
    EXPECT_EQ(S().messageBoxes[0].text, S().strings[IDS_FOLDER_NAME_UNUSABLE]);
}

TEST_F(FolderPickerTest, NoAllocatorMeansNoPicker) {
    fake::FailCall("SHGetMalloc", 1);
    S().pickedFolders.push_back("C:\\Stored");

    app->BrowseForFolder(chosen, "C:\\Start");

    EXPECT_STREQ(chosen, "");
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 0);
    EXPECT_EQ(fake::CallCount("MallocRelease"), 0);
}

TEST_F(FolderPickerTest, CallbackPreselectsOnlyWhenThePickerIsReady) {
    sys::Window picker = reinterpret_cast<sys::Window>(0x7777);
    const char start[] = "D:\\Replays";
    const uint32_t kSelChanged = 2;
    const uint32_t kValidateFailed = 3;

    EXPECT_EQ(TrayApplication::BrowseCallback(picker, kSelChanged, 0, reinterpret_cast<sys::LParam>(start)), 0);
    EXPECT_EQ(TrayApplication::BrowseCallback(picker, kValidateFailed, 0, reinterpret_cast<sys::LParam>(start)), 0);
    EXPECT_EQ(fake::CallCount("SendMessageA"), 0);

    EXPECT_EQ(TrayApplication::BrowseCallback(picker, sys::kBffmInitialized, 0, reinterpret_cast<sys::LParam>(start)),
              0);
    EXPECT_EQ(S().browseSelections, std::vector<std::string>{start});
}

TEST_F(FolderPickerTest, PromptStaysInTheSharedBufferWhileThePickerIsOpen) {
    // The monitor ticks inside the picker's loop; it must not load a text over the prompt.
    fake::AddFile("C:\\Data\\REPLAY000.RPD");
    std::string promptDuringLoop;
    bool ticked = false;
    S().duringModalLoop = [&] {
        if (ticked) return;  // the archive move is a modal loop of its own
        ticked = true;
        TrayApplication::MonitorTimerProc(nullptr, 0x113, 1, 0);
        TrayApplication::MonitorTimerProc(nullptr, 0x113, 1, 0);
        promptDuringLoop = S().browseInfos.back().lpszTitle;
    };
    app->BrowseForFolder(chosen, "C:\\Start");
    EXPECT_EQ(promptDuringLoop, S().strings[IDS_PICKER_PROMPT]);
    EXPECT_EQ(S().fileOps.size(), 1u) << "the ticks did run the monitor";
}

}  // namespace
}  // namespace apptest
