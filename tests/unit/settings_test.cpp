// The settings store over the fake platform. The INI file is a file of the
// fake file system, so the tests read what Save wrote, line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "settings/profile_settings.h"
#include "tests/fake/fake_platform.h"
#include "tests/unit/dirty_heap.h"

namespace {

const char kIni[] = "C:\\Program Files\\ZOLM\\zolm.ini";  // beside the fake's module file

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

// --- Defaults when there is no INI file -------------------------------------------

TEST_F(SettingsTest, WithoutAFileEverySettingTakesItsDefault) {
    ProfileSettings settings(nullptr);
    EXPECT_EQ(settings.MonitorInterval, 30000u);
    EXPECT_EQ(settings.MaxIndex, 999u);
    EXPECT_EQ(settings.MinIndex, 0u);
    EXPECT_STREQ(settings.InstallFolder, "C:\\Games\\PuyoF");
    EXPECT_STREQ(settings.DataFolder, "C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF\\");
    EXPECT_STREQ(settings.ReplayCopySrc, "*.RPD");
    EXPECT_STREQ(settings.ReplayFilenameFormat, "REPLAY%03d.RPD");
    EXPECT_STREQ(settings.FilenameStoredFormat2, "%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD");
    EXPECT_STREQ(settings.FolderName, "VOICE");
    EXPECT_STREQ(settings.RensaVoiceCopySrc, "*.WAV");
    EXPECT_STREQ(settings.RensaVoiceFilenameFormat, "CH%02dVO%02d.WAV");
    EXPECT_STREQ(settings.FilenameExistsFormat, "*%02d.WAV");
    EXPECT_STREQ(settings.FilenameCharaFormat, "CH%02dVO*.WAV");
    EXPECT_STREQ(settings.FolderNameOriginal, "_ORIGINAL");
    EXPECT_STREQ(settings.ReplayLastOpenedFolder, "");
    EXPECT_STREQ(settings.RensaVoiceLastOpenedFolder, "");
    EXPECT_STREQ(settings.IniPath, kIni);
}

TEST_F(SettingsTest, DefaultsComeFromTheStringTableNotFromTheCode) {
    fake::state().strings[IDS_MONITOR_INTERVAL] = "12345";
    fake::state().strings[IDS_REPLAY_COPY_SRC] = "*.REP";
    ProfileSettings settings(nullptr);
    EXPECT_EQ(settings.MonitorInterval, 12345u);
    EXPECT_STREQ(settings.ReplayCopySrc, "*.REP");
}

TEST_F(SettingsTest, WithoutTheGameInstalledTheInstallFolderIsEmpty) {
    fake::state().registryKeyExists = false;
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");
}

TEST_F(SettingsTest, LoadReadsButNeverCreatesTheFile) {
    {
        ProfileSettings settings(nullptr);
        EXPECT_FALSE(fake::Exists(kIni));  // the first-run signal
        EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0);
    }
    EXPECT_TRUE(fake::Exists(kIni));  // the destructor saved
}

TEST_F(SettingsTest, EachDefaultIsProducedJustBeforeItsKeyIsRead) {
    fake::AddFile(kIni);  // found beside the program: no lookup of its own
    ProfileSettings settings(nullptr);
    std::vector<std::string> S = {"LoadStringA", "GetPrivateProfileStringA"};
    std::vector<std::string> expected = {"RegOpenKeyExA", "GetPrivateProfileStringA",          // InstallFolder
                                         "CallSHGetFolderPathA", "GetPrivateProfileStringA"};  // DataFolder
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), S.begin(), S.end());           // 4, 5, 20
    expected.push_back("GetPrivateProfileStringA");                                            // LastOpenedFolder
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), S.begin(), S.end());           // 14, 13, 12, 15, 16, 17
    expected.push_back("GetPrivateProfileStringA");                                            // LastOpenedFolder
    expected.insert(expected.end(), S.begin(), S.end());                                       // 7, read as text
    for (int i = 0; i < 2; ++i) {                                                              // 8, 10
        expected.push_back("LoadStringA");
        expected.push_back("GetPrivateProfileIntA");
    }
    expected.insert(expected.end(), 16, "GetPrivateProfileStringA");  // VoiceSets
    EXPECT_EQ(fake::CallsAmong({"RegOpenKeyExA", "CallSHGetFolderPathA", "LoadStringA", "GetPrivateProfileStringA",
                                "GetPrivateProfileIntA"}),
              expected);
}

// --- Values from the file -----------------------------------------------------------

TEST_F(SettingsTest, ValuesInTheFileReplaceTheDefaults) {
    fake::AddFile(kIni,
                  "[System]\r\nInstallFolder=E:\\PuyoF\r\n[Replay]\r\nDataFolder=E:\\Data\r\nMonitorInterval=1000\r\n"
                  "MinIndex=10\r\nMaxIndex=20\r\nLastOpenedFolder=E:\\Old\r\n[RensaVoice]\r\nFolderName=SE\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "E:\\PuyoF");
    EXPECT_STREQ(settings.DataFolder, "E:\\Data");
    EXPECT_EQ(settings.MonitorInterval, 1000u);
    EXPECT_EQ(settings.GetMinIndex(), 10u);
    EXPECT_EQ(settings.GetMaxIndex(), 20u);
    EXPECT_STREQ(settings.ReplayLastOpenedFolder, "E:\\Old");
    EXPECT_STREQ(settings.FolderName, "SE");
    EXPECT_STREQ(settings.RensaVoiceLastOpenedFolder, "");  // LastOpenedFolder of Replay is not this one
}

TEST_F(SettingsTest, TheGameFolderDefaultsAreLookedUpEvenWhenTheFileNamesTheFolders) {
    fake::AddFile(kIni, "[System]\r\nInstallFolder=E:\\PuyoF\r\n[Replay]\r\nDataFolder=E:\\Data\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_EQ(fake::state().registryOpenCount, 1);
    EXPECT_EQ(fake::CallCount("CallSHGetFolderPathA"), 1);
    EXPECT_STREQ(settings.RegistryInstallPath, "C:\\Games\\PuyoF");
}

TEST_F(SettingsTest, APresentKeyWithAnEmptyValueStaysEmpty) {
    fake::AddFile(kIni, "[System]\r\nInstallFolder=\r\n[Replay]\r\nDataFolder=\r\nCopySrc=\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.InstallFolder, "");  // though the registry names the folder
    EXPECT_STREQ(settings.DataFolder, "");
    EXPECT_STREQ(settings.ReplayCopySrc, "");
}

TEST_F(SettingsTest, AnEmptyFolderSavedOnceStaysEmptyAtTheNextStart) {
    fake::state().registryKeyExists = false;
    { ProfileSettings first(nullptr); }
    fake::state().registryKeyExists = true;
    ProfileSettings second(nullptr);
    EXPECT_STREQ(second.InstallFolder, "");
}

TEST_F(SettingsTest, ValuesLongerThanTheFieldAreCutAndTerminated) {
    std::string longName(300, 'N');
    std::string longPath = "E:\\" + std::string(400, 'p');
    fake::AddFile(kIni, "[System]\r\nInstallFolder=" + longPath + "\r\n[Replay]\r\nCopySrc=" + longName +
                            "\r\nLastOpenedFolder=" + longPath + "\r\n[RensaVoice]\r\nFolderName=" + longName + "\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_EQ(std::string(settings.InstallFolder), longPath.substr(0, 259));
    EXPECT_EQ(std::string(settings.ReplayCopySrc), longName.substr(0, 63));
    EXPECT_EQ(std::string(settings.ReplayLastOpenedFolder), longPath.substr(0, 259));
    EXPECT_EQ(std::string(settings.FolderName), longName.substr(0, 63));
    // The neighbours of a full field are untouched.
    EXPECT_STREQ(settings.ReplayFilenameFormat, "REPLAY%03d.RPD");
    EXPECT_STREQ(settings.FilenameStoredFormat2, "%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD");
}

TEST_F(SettingsTest, AnyValueContentLoadsWithoutHarm) {
    // Double-byte text, format characters, '=' and brackets inside values, odd integers.
    std::string dbcs;
    for (int i = 0; i < 100; ++i) dbcs += "\x95\x5C";  // "表" x 100, 200 bytes
    fake::AddFile(kIni, "[Replay]\r\nFilenameFormat=%s%s%n%99999d\r\nCopySrc=a=b=[c]\r\nDataFolder=" + dbcs + dbcs +
                            "\r\nMonitorInterval=abc\r\nMaxIndex=99999999999999999999\r\nMinIndex=-\r\n"
                            "[RensaVoice]\r\nFolderName=" +
                            dbcs + "\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_STREQ(settings.ReplayFilenameFormat, "%s%s%n%99999d");  // kept as text; its users check formats
    EXPECT_STREQ(settings.ReplayCopySrc, "a=b=[c]");
    EXPECT_EQ(std::strlen(settings.DataFolder), 259u);
    EXPECT_EQ(std::strlen(settings.FolderName), 63u);
    EXPECT_EQ(settings.MonitorInterval, 30000u);  // no number: the default
}

// --- The slot range -------------------------------------------------------------------

TEST_F(SettingsTest, AnEqualSlotRangeBecomesOneToHundredAndIsSavedSo) {
    fake::AddFile(kIni, "[Replay]\r\nMinIndex=5\r\nMaxIndex=5\r\n");
    {
        ProfileSettings settings(nullptr);
        EXPECT_EQ(settings.GetMinIndex(), 1u);
        EXPECT_EQ(settings.GetMaxIndex(), 100u);
    }
    std::vector<std::string> lines = Lines(fake::Contents(kIni));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MinIndex=1"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MaxIndex=100"), lines.end());
}

TEST_F(SettingsTest, AReversedSlotRangeStaysAsItIs) {
    fake::AddFile(kIni, "[Replay]\r\nMinIndex=7\r\nMaxIndex=3\r\n");
    ProfileSettings settings(nullptr);
    EXPECT_EQ(settings.GetMinIndex(), 7u);
    EXPECT_EQ(settings.GetMaxIndex(), 3u);
}

TEST_F(SettingsTest, TheGuardAlsoAppliesToAnEqualPairSetDuringTheRun) {
    ProfileSettings settings(nullptr);
    settings.MinIndex = 0xFFFFFFFFu;
    settings.MaxIndex = 0xFFFFFFFFu;
    EXPECT_EQ(settings.GetMaxIndex(), 100u);
    EXPECT_EQ(settings.MinIndex, 1u);
}

// --- Save -------------------------------------------------------------------------------

TEST_F(SettingsTest, SaveWritesAllSixteenKeysInTheTablesOrder) {
    { ProfileSettings settings(nullptr); }
    EXPECT_EQ(
        Lines(fake::Contents(kIni)),
        (std::vector<std::string>{
            "[System]", "InstallFolder=C:\\Games\\PuyoF", "[Replay]",
            "DataFolder=C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF\\", "CopySrc=*.RPD",
            "FilenameFormat=REPLAY%03d.RPD", "FilenameStoredFormat2=%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD",
            "LastOpenedFolder=", "MonitorInterval=30000", "MaxIndex=999", "MinIndex=0", "[RensaVoice]",
            "FolderName=VOICE", "CopySrc=*.WAV", "FilenameFormat=CH%02dVO%02d.WAV", "FilenameExistsFormat=*%02d.WAV",
            "FilenameCharaFormat=CH%02dVO*.WAV", "FolderNameOriginal=_ORIGINAL", "LastOpenedFolder="}));
    EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 16);
}

TEST_F(SettingsTest, IntegersAreSavedAsSignedDecimal) {
    {
        ProfileSettings settings(nullptr);
        settings.MonitorInterval = 0xFFFFFFFFu;
        settings.MaxIndex = 0x80000000u;
        settings.MinIndex = 2147483647u;
    }
    std::vector<std::string> lines = Lines(fake::Contents(kIni));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MonitorInterval=-1"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MaxIndex=-2147483648"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MinIndex=2147483647"), lines.end());
}

TEST_F(SettingsTest, SaveKeepsTheUsersOtherLinesAndUpdatesKeysInPlace) {
    fake::AddFile(kIni, "[Replay]\r\nMaxIndex=50\r\nMinIndex=10\r\nComment=mine\r\n");
    {
        ProfileSettings settings(nullptr);
        strcpy(settings.ReplayLastOpenedFolder, "D:\\Picked");
    }
    ProfileSettings again(nullptr);
    EXPECT_STREQ(again.ReplayLastOpenedFolder, "D:\\Picked");
    EXPECT_EQ(again.GetMaxIndex(), 50u);
    std::vector<std::string> lines = Lines(fake::Contents(kIni));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Comment=mine"), lines.end());
}

// --- GetIniPath ---------------------------------------------------------------------------

std::string IniPathFor(const std::string& modulePath) {
    fake::Reset();
    fake::state().moduleFileName = modulePath;
    ProfileSettings settings(nullptr);
    std::string path = settings.GetIniPath();
    fake::Reset();  // the destructor's Save is not part of the question
    return path;
}

TEST_F(SettingsTest, TheIniFileIsTheProgramsFileWithItsExtensionReplaced) {
    const std::string folder = "D:\\" + std::string(250, 'f') + "\\";  // 254 bytes
    const std::pair<std::string, std::string> rows[] = {
        {"D:\\Tools\\tool.exe", "D:\\Tools\\tool.ini"},
        {"D:\\Tools\\tool", "D:\\Tools\\tool.ini"},
        {"D:\\My.Tools\\tool", "D:\\My.Tools\\tool.ini"},
        {"D:\\Tools\\tool.old.exe", "D:\\Tools\\tool.old.ini"},
        {"D:\\Tools\\tool.", "D:\\Tools\\tool.ini"},
        {"tool", "tool.ini"},
        // "表" is 95 5C and "ソ" 83 5C: a byte scan from the end would take the 5C for a
        // backslash and keep ".表" or ".ソフト" as part of the name.
        {"D:\\Tools\\tool.\x95\x5C", "D:\\Tools\\tool.ini"},
        {"D:\\\x95\x5C\\v1.\x83\x5C\x83\x74\x83\x67", "D:\\\x95\x5C\\v1.ini"},
        {"D:\\\x95\x5C\\tool", "D:\\\x95\x5C\\tool.ini"},
        {"D:\\My.Tools\\\x95\x5C", "D:\\My.Tools\\\x95\x5C.ini"},
        // A lead byte at the very end stands alone and is not skipped with what follows.
        {"D:\\Tools\\tool.\x95", "D:\\Tools\\tool.ini"},
        {folder + "t", folder + "t.ini"},      // 255 + 4 = 259: just room
        {folder + "t.exe", folder + "t.ini"},  // 259 bytes from the platform
    };
    for (const auto& row : rows) EXPECT_EQ(IniPathFor(row.first), row.second);
}

TEST_F(SettingsTest, TheIniPathIsFoundOnceAndKept) {
    ProfileSettings settings(nullptr);
    EXPECT_EQ(fake::CallCount("GetModuleFileNameA"), 1);
    fake::state().moduleFileName = "D:\\Other\\other.exe";
    EXPECT_STREQ(settings.GetIniPath(), kIni);
    EXPECT_EQ(fake::CallCount("GetModuleFileNameA"), 1);
}

TEST_F(SettingsTest, WithoutRoomForTheExtensionNoIniFileIsReadOrWritten) {
    std::string folder = "D:\\" + std::string(248, 'f') + "\\";
    std::string program = folder + "tool";  // 256 bytes: a byte short of room for ".ini" and its NUL
    fake::state().moduleFileName = program;
    fake::AddFile(program + ".in", "[Replay]\r\nMaxIndex=5\r\n");  // what a cut ".ini" would name
    {
        ProfileSettings settings(nullptr);
        EXPECT_STREQ(settings.GetIniPath(), "");
        EXPECT_EQ(settings.MaxIndex, 999u);  // defaults
        EXPECT_STREQ(settings.InstallFolder, "C:\\Games\\PuyoF");
        EXPECT_EQ(fake::CallCount("GetPrivateProfileStringA"), 0);
    }
    EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0);
    EXPECT_TRUE(fake::state().messageBoxes.empty()) << "nothing to write is no failure to tell";
    EXPECT_EQ(fake::Contents(program + ".in"), "[Replay]\r\nMaxIndex=5\r\n");
}

TEST_F(SettingsTest, AProgramPathCutByThePlatformIsNoPath) {
    // Cut to 259 bytes, "D:\xx...x.exe": it would leave room for ".ini" on a wrong name.
    fake::state().moduleFileName = "D:\\" + std::string(252, 'x') + ".exe\\tool.exe";
    {
        std::unique_ptr<ProfileSettings> settings(NewOnDirtyHeap<ProfileSettings>(nullptr));
        EXPECT_STREQ(settings->IniPath, "");
        EXPECT_EQ(settings->MonitorInterval, 30000u);
        EXPECT_STREQ(settings->DataFolder, "C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF\\");
        EXPECT_STREQ(settings->VoiceSets[15], "") << "no file: every character wears the game's own";
    }
    EXPECT_EQ(fake::CallCount("WritePrivateProfileStringA"), 0);
    fake::state().moduleFileName = "";  // no path at all
    EXPECT_STREQ(std::unique_ptr<ProfileSettings>(NewOnDirtyHeap<ProfileSettings>(nullptr))->IniPath, "");
}

TEST_F(SettingsTest, TheSettingsFileIsFoundWhereTheSettingsAre) {
    const std::string kAppDataIni = "C:\\Users\\player\\AppData\\Roaming\\ZOLM\\zolm.ini";
    const std::string beside = kIni;
    struct Row {
        const char* name;
        bool besideExists, folderReadOnly, appDataExists, noAppData;
        const std::string& read;
        const std::string& saved;
        bool probed;  // a file of a name of its own made beside the program, and gone again
    };
    const Row rows[] = {
        {"a file beside the program that can be written", true, false, true, false, beside, beside, false},
        {"a folder that takes files", false, false, false, false, beside, beside, true},
        {"the user's file in the application data", false, false, true, false, kAppDataIni, kAppDataIni, false},
        {"a folder that refuses files", false, true, false, false, kAppDataIni, kAppDataIni, false},
        {"a file beside it that cannot be written", true, true, false, false, beside, kAppDataIni, false},
        {"and the copy saved from it before", true, true, true, false, kAppDataIni, kAppDataIni, false},
        {"and no application data: reported once", false, true, false, true, beside, beside, false},
        {"a file that cannot be written, no application data: reported", true, true, false, true, beside, beside,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fake::Reset();
        fake::AddFolder(fake::state().appDataFolder);
        if (row.folderReadOnly) fake::state().readOnlyFolders.push_back("C:\\Program Files\\ZOLM");
        if (row.besideExists) fake::AddFile(kIni, "[Replay]\r\nMaxIndex=7\r\n");
        if (row.appDataExists) fake::AddFile(kAppDataIni, "[Replay]\r\nMaxIndex=8\r\n");
        if (row.noAppData) fake::state().shGetFolderPathResult = -1;
        {
            ProfileSettings settings(nullptr);
            EXPECT_EQ(settings.GetIniPath(), row.read);
            EXPECT_EQ(settings.MaxIndex, !fake::Exists(row.read) ? 999u : row.read == beside ? 7u : 8u);
            EXPECT_EQ(fake::Exists(kIni), row.besideExists);
            EXPECT_FALSE(fake::Exists("C:\\Program Files\\ZOLM\\zolm.tmp")) << "the folder's probe was left";
            EXPECT_EQ(fake::state().createdFiles, row.probed
                                                      ? std::vector<std::string>{"C:\\Program Files\\ZOLM\\zolm.tmp"}
                                                      : std::vector<std::string>{});
        }
        EXPECT_EQ(fake::Contents(row.saved).find("MinIndex=0") != std::string::npos, !row.noAppData) << "saved";
        ASSERT_EQ(fake::state().messageBoxes.size(), row.noAppData ? 1u : 0u);
        if (!row.noAppData) continue;
        const fake::MessageBoxCall& box = fake::state().messageBoxes[0];
        EXPECT_EQ(box.text, fake::state().strings[IDS_SETTINGS_NOT_SAVED]);
        EXPECT_EQ(box.caption, "ZOLM");
        EXPECT_EQ(box.style, 0x40u);
    }
    // A second instance's probe in the way shows as well that the folder takes files.
    fake::Reset();
    fake::AddFolder(fake::state().appDataFolder);
    fake::AddFile("C:\\Program Files\\ZOLM\\zolm.tmp");
    EXPECT_EQ(ProfileSettings(nullptr).GetIniPath(), beside);
}

TEST_F(SettingsTest, LoadTextSharesOneBuffer) {
    ProfileSettings settings(nullptr);
    char* first = settings.LoadText(IDS_CAPTION);
    EXPECT_STREQ(first, "ZOLM");
    char* second = settings.LoadText(IDS_REPLAY_COPY_SRC);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "*.RPD");
    EXPECT_EQ(std::strlen(settings.LoadText(IDS_FIRST_RUN_QUESTION)), 152u);
}

}  // namespace
