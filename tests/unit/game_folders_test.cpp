// The game's install folder from the registry and its data folder, over
// the fake registry, version and shell32.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/profile_settings.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

const char kAppDataGame[] = "C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF\\";

class GameFoldersTest : public ::testing::Test {
protected:
    // An INI file without keys: every folder takes its default, and the file's
    // own place needs no lookup.
    void SetUp() override {
        fake::Reset();
        fake::AddFile("C:\\Program Files\\ZOLM\\zolm.ini");
    }
    void TearDown() override {
        // Every registry key opened was closed, and every Shell32.dll loaded was freed.
        EXPECT_EQ(fake::state().registryOpenCount, fake::state().registryCloseCount);
        EXPECT_EQ(fake::detail::OpenKeyCount(), 0);
        EXPECT_EQ(fake::detail::LoadedLibraryCount(), 0);
    }
    void SetVersion(uint32_t platform, uint32_t major, uint32_t minor) {
        fake::state().version.dwPlatformId = platform;
        fake::state().version.dwMajorVersion = major;
        fake::state().version.dwMinorVersion = minor;
    }
};

// --- The install folder --------------------------------------------------------------

TEST_F(GameFoldersTest, TheInstallFolderIsTheRegistryValueExactlyAsStored) {
    fake::state().installPathBytes = "D:\\Sega\\\x83\x76\x83\x88\x83\x76\x83\x88\\";  // "ぷよぷよ"-like, trailing '\'
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "D:\\Sega\\\x83\x76\x83\x88\x83\x76\x83\x88\\");
    EXPECT_EQ(fake::state().registryOpenCount, 1);
}

TEST_F(GameFoldersTest, AFoundInstallPathIsReadOnceAndKept) {
    ProfileSettings settings(nullptr);
    fake::state().installPathBytes = "E:\\Elsewhere";
    EXPECT_STREQ(settings.GetRegistryInstallPath(), "C:\\Games\\PuyoF");
    EXPECT_EQ(fake::state().registryOpenCount, 1);
}

TEST_F(GameFoldersTest, WithoutTheKeyTheInstallPathIsEmptyAndNothingIsClosed) {
    fake::state().registryKeyExists = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");
    EXPECT_EQ(fake::state().registryOpenCount, 0);
    EXPECT_EQ(fake::CallCount("RegCloseKey"), 0);
}

TEST_F(GameFoldersTest, WithoutTheValueTheInstallPathIsEmptyAndTheKeyIsClosed) {
    fake::state().installPathExists = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");
    EXPECT_EQ(fake::state().registryCloseCount, 1);
}

TEST_F(GameFoldersTest, AValueLongerThanTheBufferIsNotFound) {
    fake::state().installPathBytes = std::string(260, 'p');  // 261 bytes with the NUL
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");
    EXPECT_EQ(fake::state().registryCloseCount, 1);
}

TEST_F(GameFoldersTest, AnUnterminatedValueFillingTheBufferIsNotFound) {
    fake::state().installPathBytes = "C:\\" + std::string(257, 'p');  // exactly 260 bytes
    fake::state().installPathTerminated = false;
    SetVersion(1, 4, 10);  // Windows 98: the data folder is the install path too
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.RegistryInstallPath, "");
    EXPECT_STREQ(settings.InstallFolder, "");
    EXPECT_STREQ(settings.DataFolder, "");
    EXPECT_EQ(fake::state().registryCloseCount, fake::state().registryOpenCount);
}

TEST_F(GameFoldersTest, AValueOf259BytesAndItsNulIsUsed) {
    std::string path = "C:\\" + std::string(256, 'p');  // 259 bytes
    fake::state().installPathBytes = path;
    ProfileSettings settings(nullptr);
    EXPECT_EQ(std::string(settings.InstallFolder), path);
}

TEST_F(GameFoldersTest, AShortValueWithoutNulIsTerminatedByTheZeroFilledBuffer) {
    fake::state().installPathBytes = "C:\\Game";
    fake::state().installPathTerminated = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "C:\\Game");
}

TEST_F(GameFoldersTest, AFailedReadIsRetriedByTheSecondCallOfTheSameLoad) {
    fake::state().installPathExists = false;
    fake::state().shell32Loads = false;  // so GetDefaultDataFolder falls back to the install path
    ProfileSettings settings(nullptr);
    EXPECT_EQ(fake::state().registryOpenCount, 2);
    EXPECT_EQ(fake::state().registryCloseCount, 2);
    EXPECT_STREQ(settings.DataFolder, "");
}

TEST_F(GameFoldersTest, ASuccessfulReadIsNotRepeatedByTheFallback) {
    fake::state().shell32Loads = false;
    ProfileSettings settings(nullptr);
    EXPECT_EQ(fake::state().registryOpenCount, 1);
    EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF");
}

// --- The data folder -------------------------------------------------------------------

TEST_F(GameFoldersTest, OnNtTheDataFolderIsBelowApplicationData) {
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, kAppDataGame);
    EXPECT_EQ(fake::CallsAmong({"LoadLibraryA", "GetProcAddress", "CallSHGetFolderPathA", "FreeLibrary"}),
              (std::vector<std::string>{"LoadLibraryA", "GetProcAddress", "CallSHGetFolderPathA", "FreeLibrary"}));
}

TEST_F(GameFoldersTest, APositiveShellResultStillCounts) {
    fake::state().shGetFolderPathResult = 1;  // S_FALSE
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, kAppDataGame);
}

TEST_F(GameFoldersTest, OnWindows95And98TheDataFolderIsTheInstallPath) {
    for (uint32_t minor : {0u, 10u}) {
        SetUp();
        SetVersion(1, 4, minor);
        ProfileSettings settings(nullptr);
        EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF") << "4." << minor;
        EXPECT_EQ(fake::CallCount("LoadLibraryA"), 0);
    }
}

TEST_F(GameFoldersTest, WindowsMeAndNtAreNotWindows9x) {
    struct Version {
        uint32_t platform, major, minor;
    };
    for (Version v : {Version{1, 4, 90}, Version{2, 4, 0}, Version{2, 5, 1}, Version{2, 10, 0}, Version{1, 5, 0}}) {
        SetUp();
        SetVersion(v.platform, v.major, v.minor);
        ProfileSettings settings(nullptr);
        EXPECT_FALSE(settings.IsWin9x()) << v.platform << " " << v.major << "." << v.minor;
        EXPECT_STREQ(settings.DataFolder, kAppDataGame);
    }
}

TEST_F(GameFoldersTest, WithoutShell32TheDataFolderIsTheInstallPath) {
    fake::state().shell32Loads = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF");
    EXPECT_EQ(fake::CallCount("FreeLibrary"), 0);
}

TEST_F(GameFoldersTest, WithoutTheExportTheDataFolderIsTheInstallPathAndTheLibraryIsFreed) {
    fake::state().shGetFolderPathExported = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF");
    EXPECT_EQ(fake::CallCount("FreeLibrary"), 1);
    EXPECT_EQ(fake::CallCount("CallSHGetFolderPathA"), 0);
}

TEST_F(GameFoldersTest, AFailingShellCallGivesTheInstallPath) {
    fake::state().shGetFolderPathResult = static_cast<int32_t>(0x80004005u);  // E_FAIL
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF");
}

TEST_F(GameFoldersTest, WithoutTheGameAndWithoutTheExportBothFoldersAreEmpty) {
    fake::state().registryKeyExists = false;
    fake::state().shGetFolderPathExported = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");
    EXPECT_STREQ(settings.DataFolder, "");
}

TEST_F(GameFoldersTest, AnApplicationDataFolderWithoutRoomForTheGameFolderGivesTheInstallPath) {
    fake::state().appDataFolder = "C:\\" + std::string(245, 'a');  // 248 + 12 bytes would not fit
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.DataFolder, "C:\\Games\\PuyoF");
    SetUp();
    fake::state().appDataFolder = "C:\\" + std::string(244, 'a');  // 247 + 12 = 259 just fits
    ProfileSettings fits(nullptr);
    EXPECT_EQ(std::string(fits.DataFolder), fake::state().appDataFolder + "\\Sega\\PuyoF\\");
}

TEST_F(GameFoldersTest, CallSHGetFolderPathReturnsMinusOneWhenUnreachable) {
    ProfileSettings settings(nullptr);
    char path[260] = {};
    fake::state().shell32Loads = false;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), -1);
    fake::state().shell32Loads = true;
    fake::state().shGetFolderPathExported = false;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), -1);
    fake::state().shGetFolderPathExported = true;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), 0);
    EXPECT_STREQ(path, "C:\\Users\\player\\AppData\\Roaming");
}

}  // namespace
