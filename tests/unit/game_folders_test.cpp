// The game's install folder from the registry and its data folder, over
// the fake registry, version and shell32.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/profile_settings.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

const char kAppDataGame[] = "C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF\\";
const char kInstall[] = "C:\\Games\\PuyoF";
const std::string kPath259 = "C:\\" + std::string(256, 'p');

fake::State& S() { return fake::state(); }

void SetVersion(uint32_t platform, uint32_t major, uint32_t minor) {
    S().version.dwPlatformId = platform;
    S().version.dwMajorVersion = major;
    S().version.dwMinorVersion = minor;
}

// One start over the row's registry, version and shell32, and what it found.
struct Row {
    const char* name;
    void (*setUp)();
    std::string install;  // InstallFolder
    std::string data;     // DataFolder
    int opens;            // of the game's key
    int shellLoads;       // of Shell32.dll
    int shellCalls;       // of SHGetFolderPathA
};

class GameFoldersTest : public ::testing::Test {
protected:
    // An INI file without keys: every folder takes its default, and the file's
    // own place needs no lookup.
    static void Start() {
        fake::Reset();
        fake::AddFile("C:\\Program Files\\ZOLM\\zolm.ini");
    }

    static void ExpectRows(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            Start();
            row.setUp();
            {
                ProfileSettings settings(nullptr);
                EXPECT_EQ(settings.InstallFolder, row.install);
                EXPECT_EQ(settings.DataFolder, row.data);
                EXPECT_EQ(S().registryOpenCount, row.opens);
                EXPECT_EQ(fake::CallCount("LoadLibraryA"), row.shellLoads);
                EXPECT_EQ(fake::CallCount("CallSHGetFolderPathA"), row.shellCalls);
            }
            // Every registry key opened was closed, and every Shell32.dll loaded was freed.
            EXPECT_EQ(S().registryCloseCount, row.opens);
            EXPECT_EQ(fake::CallCount("RegCloseKey"), row.opens);
            EXPECT_EQ(fake::detail::OpenKeyCount(), 0);
            EXPECT_EQ(fake::detail::LoadedLibraryCount(), 0);
            EXPECT_EQ(fake::CallCount("FreeLibrary"), S().shell32Loads ? row.shellLoads : 0);
        }
    }
};

TEST_F(GameFoldersTest, TheInstallFolderIsTheRegistryValueExactlyAsStoredAndReadOnceFound) {
    ExpectRows({
        {"a value with a double-byte name and a trailing backslash",
         [] { S().installPathBytes = "D:\\Sega\\\x83\x76\x83\x88\x83\x76\x83\x88\\"; },
         "D:\\Sega\\\x83\x76\x83\x88\x83\x76\x83\x88\\", kAppDataGame, 1, 1, 1},
        {"no key: nothing to close", [] { S().registryKeyExists = false; }, "", kAppDataGame, 0, 1, 1},
        {"no value", [] { S().installPathExists = false; }, "", kAppDataGame, 1, 1, 1},
        {"longer than the buffer", [] { S().installPathBytes = std::string(260, 'p'); }, "", kAppDataGame, 1, 1, 1},
        {"259 bytes and the NUL", [] { S().installPathBytes = kPath259; }, kPath259, kAppDataGame, 1, 1, 1},
        {"unterminated, filling the buffer (Windows 98: the data folder too)",
         [] {
             S().installPathBytes = "C:\\" + std::string(257, 'p');
             S().installPathTerminated = false;
             SetVersion(1, 4, 10);
         },
         "", "", 2, 0, 0},
        {"short and unterminated: the zero-filled buffer ends it",
         [] {
             S().installPathBytes = "C:\\Game";
             S().installPathTerminated = false;
         },
         "C:\\Game", kAppDataGame, 1, 1, 1},
        // The data folder's fallback asks again after a failed read, not after a found one.
        {"no value, no shell32",
         [] {
             S().installPathExists = false;
             S().shell32Loads = false;
         },
         "", "", 2, 1, 0},
        {"no shell32", [] { S().shell32Loads = false; }, kInstall, kInstall, 1, 1, 0},
        {"Windows 98 and 259 bytes: the data folder is all of them",
         [] {
             S().installPathBytes = kPath259;
             SetVersion(1, 4, 10);
         },
         kPath259, kPath259, 1, 0, 0},
    });
    Start();
    ProfileSettings settings(nullptr);
    S().installPathBytes = "E:\\Elsewhere";
    EXPECT_STREQ(settings.GetRegistryInstallPath(), kInstall);
    EXPECT_EQ(S().registryOpenCount, 1);
}

TEST_F(GameFoldersTest, TheDataFolderIsBelowApplicationDataOrElseTheInstallPath) {
    ExpectRows({
        {"Windows NT", [] {}, kInstall, kAppDataGame, 1, 1, 1},
        {"a positive result (S_FALSE) still counts", [] { S().shGetFolderPathResult = 1; }, kInstall, kAppDataGame, 1,
         1, 1},
        {"Windows 95", [] { SetVersion(1, 4, 0); }, kInstall, kInstall, 1, 0, 0},
        {"Windows 98", [] { SetVersion(1, 4, 10); }, kInstall, kInstall, 1, 0, 0},
        {"Windows Me", [] { SetVersion(1, 4, 90); }, kInstall, kAppDataGame, 1, 1, 1},
        {"NT 4", [] { SetVersion(2, 4, 0); }, kInstall, kAppDataGame, 1, 1, 1},
        {"XP", [] { SetVersion(2, 5, 1); }, kInstall, kAppDataGame, 1, 1, 1},
        {"10", [] { SetVersion(2, 10, 0); }, kInstall, kAppDataGame, 1, 1, 1},
        {"a 9x platform of major version 5", [] { SetVersion(1, 5, 0); }, kInstall, kAppDataGame, 1, 1, 1},
        {"without the export", [] { S().shGetFolderPathExported = false; }, kInstall, kInstall, 1, 1, 0},
        {"a failing shell call", [] { S().shGetFolderPathResult = static_cast<int32_t>(0x80004005u); }, kInstall,
         kInstall, 1, 1, 1},
        {"without the game and the export",
         [] {
             S().registryKeyExists = false;
             S().shGetFolderPathExported = false;
         },
         "", "", 0, 1, 0},
        {"no room for the game's folder (248 + 12 bytes)", [] { S().appDataFolder = "C:\\" + std::string(245, 'a'); },
         kInstall, kInstall, 1, 1, 1},
        {"just room for it (247 + 12 = 259 bytes)", [] { S().appDataFolder = "C:\\" + std::string(244, 'a'); },
         kInstall, "C:\\" + std::string(244, 'a') + "\\Sega\\PuyoF\\", 1, 1, 1},
    });
    EXPECT_EQ(fake::CallsAmong({"LoadLibraryA", "GetProcAddress", "CallSHGetFolderPathA", "FreeLibrary"}),
              (std::vector<std::string>{"LoadLibraryA", "GetProcAddress", "CallSHGetFolderPathA", "FreeLibrary"}));
}

TEST_F(GameFoldersTest, CallSHGetFolderPathReturnsMinusOneWhenUnreachable) {
    Start();
    ProfileSettings settings(nullptr);
    char path[260] = {};
    S().shell32Loads = false;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), -1);
    S().shell32Loads = true;
    S().shGetFolderPathExported = false;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), -1);
    S().shGetFolderPathExported = true;
    EXPECT_EQ(settings.CallSHGetFolderPath(nullptr, 0x1A, nullptr, 0, path), 0);
    EXPECT_STREQ(path, "C:\\Users\\player\\AppData\\Roaming");
    EXPECT_EQ(fake::detail::LoadedLibraryCount(), 0);
}

}  // namespace
