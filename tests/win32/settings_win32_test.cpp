// The settings store over the real private-profile functions, registry and
// shell folders: the file the platform writes, and what a later start reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_headers.h"
#include "settings/profile_settings.h"
#include "temp_folder.h"

namespace {

const char kGameKey[] = "Software\\Sega\\PuyoF";
const char kInstallPath[] = "Install Path";
// "D:\ソフト\ぷよぷよフィーバー" in code page 932: "ソ" ends in 0x5C, which must stay
// part of its character.
const char kJapaneseInstallPath[] =
    "D:\\\x83\x5c\x83\x74\x83\x67\\\x82\xd5\x82\xe6\x82\xd5\x82\xe6\x83\x74\x83\x42\x81\x5b\x83\x6f\x81\x5b";

using Section = std::pair<std::string, std::vector<std::string>>;

// Sections in file order, each with its "key=value" lines in order.
std::vector<Section> ParseIni(const std::string& text) {
    std::vector<Section> sections;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!line.empty() && !sections.empty()) {
            sections.back().second.push_back(line);
        }
        start = end + 1;
    }
    return sections;
}

// Keeps HKCU\Software\Sega\PuyoF as the test found it.
class GameKey {
public:
    GameKey() {
        HKEY key = nullptr;
        existed_ = ::RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
        if (!existed_) return;
        DWORD size = sizeof saved_;
        hadValue_ = ::RegQueryValueExA(key, kInstallPath, nullptr, &savedType_, saved_, &size) == ERROR_SUCCESS;
        savedSize_ = size;
        ::RegCloseKey(key);
    }
    ~GameKey() {
        if (!existed_) {
            ::RegDeleteKeyA(HKEY_CURRENT_USER, kGameKey);
            ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Sega");  // fails, as it should, if not empty
            return;
        }
        HKEY key = Open();
        if (hadValue_)
            ::RegSetValueExA(key, kInstallPath, 0, savedType_, saved_, savedSize_);
        else
            ::RegDeleteValueA(key, kInstallPath);
        ::RegCloseKey(key);
    }
    GameKey(const GameKey&) = delete;
    GameKey& operator=(const GameKey&) = delete;

    void SetBytes(const std::string& bytes) {
        HKEY key = Open();
        ::RegSetValueExA(key, kInstallPath, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.c_str()),
                         static_cast<DWORD>(bytes.size() + 1));
        ::RegCloseKey(key);
    }
    void Remove() {
        HKEY key = Open();
        ::RegDeleteValueA(key, kInstallPath);
        ::RegCloseKey(key);
    }

private:
    static HKEY Open() {
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }

    bool existed_ = false;
    bool hadValue_ = false;
    DWORD savedType_ = 0;
    BYTE saved_[1024] = {};
    DWORD savedSize_ = 0;
};

class SettingsOnWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        iniPath_ = ExpectedIniPath();
        ::DeleteFileA(iniPath_.c_str());
        ASSERT_EQ(::GetFileAttributesA(iniPath_.c_str()), INVALID_FILE_ATTRIBUTES) << iniPath_;
    }
    void TearDown() override { ::DeleteFileA(iniPath_.c_str()); }

    // Beside this test program, named after it.
    static std::string ExpectedIniPath() {
        char module[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, module, sizeof module);
        std::string path = module;
        return path.substr(0, path.rfind('.')) + ".ini";
    }

    static std::string AppData() {
        char folder[MAX_PATH] = {};
        EXPECT_EQ(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder), S_OK);
        return folder;
    }

    GameKey gameKey_;
    std::string iniPath_;
};

}  // namespace

TEST_F(SettingsOnWin32, IniFileLiesBesideTheProgram) {
    ProfileSettings settings(::GetModuleHandleA(nullptr));
    EXPECT_EQ(std::string(settings.GetIniPath()), iniPath_);
    EXPECT_EQ(::GetFileAttributesA(iniPath_.c_str()), INVALID_FILE_ATTRIBUTES) << "loading made the file";
}

TEST_F(SettingsOnWin32, FirstSaveCreatesTheFileInKeyTableOrder) {
    gameKey_.SetBytes(kJapaneseInstallPath);
    {
        ProfileSettings settings(::GetModuleHandleA(nullptr));
        settings.Save();
    }
    std::vector<Section> sections = ParseIni(TempFolder::ReadFile(iniPath_));
    std::string dataFolder = AppData() + "\\Sega\\PuyoF\\";
    std::vector<Section> expected = {
        {"System", {std::string("InstallFolder=") + kJapaneseInstallPath}},
        {"Replay",
         {"DataFolder=" + dataFolder, "CopySrc=*.RPD", "FilenameFormat=REPLAY%03d.RPD",
          "FilenameStoredFormat2=%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD", "LastOpenedFolder=", "MonitorInterval=30000",
          "MaxIndex=999", "MinIndex=0"}},
        {"RensaVoice",
         {"FolderName=VOICE", "CopySrc=*.WAV", "FilenameFormat=CH%02dVO%02d.WAV", "FilenameExistsFormat=*%02d.WAV",
          "FilenameCharaFormat=CH%02dVO*.WAV", "FolderNameOriginal=_ORIGINAL", "LastOpenedFolder="}},
    };
    EXPECT_EQ(sections, expected);
}

TEST_F(SettingsOnWin32, GameFoldersComeFromRegistryAndApplicationData) {
    gameKey_.SetBytes(kJapaneseInstallPath);
    ProfileSettings settings(::GetModuleHandleA(nullptr));
    EXPECT_STREQ(settings.InstallFolder, kJapaneseInstallPath) << "taken exactly as stored";
    EXPECT_EQ(std::string(settings.DataFolder), AppData() + "\\Sega\\PuyoF\\");
}

TEST_F(SettingsOnWin32, MissingOrOversizedInstallPathLeavesInstallFolderEmpty) {
    gameKey_.Remove();
    {
        ProfileSettings settings(::GetModuleHandleA(nullptr));
        EXPECT_STREQ(settings.InstallFolder, "");
        EXPECT_EQ(std::string(settings.DataFolder), AppData() + "\\Sega\\PuyoF\\");
    }
    ::DeleteFileA(iniPath_.c_str());
    gameKey_.SetBytes("C:\\" + std::string(300, 'x'));
    ProfileSettings settings(::GetModuleHandleA(nullptr));
    EXPECT_STREQ(settings.InstallFolder, "");
}

TEST_F(SettingsOnWin32, LoadAfterSaveGivesBackEveryField) {
    gameKey_.SetBytes("C:\\Games\\PuyoF");
    {
        ProfileSettings settings(::GetModuleHandleA(nullptr));
        std::strcpy(settings.InstallFolder, kJapaneseInstallPath);
        std::strcpy(settings.DataFolder, "E:\\Data\\");
        std::strcpy(settings.ReplayCopySrc, "*.RP?");
        std::strcpy(settings.ReplayFilenameFormat, "SLOT%04d.RPD");
        std::strcpy(settings.FilenameStoredFormat2, "%Y-%m\\%H%M%S.RPD");
        std::strcpy(settings.ReplayLastOpenedFolder, "E:\\Stored Replays");
        std::strcpy(settings.FolderName, "SOUND");
        std::strcpy(settings.RensaVoiceCopySrc, "*.WAVE");
        std::strcpy(settings.RensaVoiceFilenameFormat, "C%02dV%02d.WAV");
        std::strcpy(settings.FilenameExistsFormat, "*_%02d.WAV");
        std::strcpy(settings.FilenameCharaFormat, "C%02dV*.WAV");
        std::strcpy(settings.FolderNameOriginal, "_BACKUP");
        std::strcpy(settings.RensaVoiceLastOpenedFolder, "");
        settings.MonitorInterval = 45000;
        settings.MaxIndex = 3;
        settings.MinIndex = 7;
    }  // saved here
    ProfileSettings loaded(::GetModuleHandleA(nullptr));
    EXPECT_STREQ(loaded.InstallFolder, kJapaneseInstallPath);
    EXPECT_STREQ(loaded.DataFolder, "E:\\Data\\");
    EXPECT_STREQ(loaded.ReplayCopySrc, "*.RP?");
    EXPECT_STREQ(loaded.ReplayFilenameFormat, "SLOT%04d.RPD");
    EXPECT_STREQ(loaded.FilenameStoredFormat2, "%Y-%m\\%H%M%S.RPD");
    EXPECT_STREQ(loaded.ReplayLastOpenedFolder, "E:\\Stored Replays");
    EXPECT_STREQ(loaded.FolderName, "SOUND");
    EXPECT_STREQ(loaded.RensaVoiceCopySrc, "*.WAVE");
    EXPECT_STREQ(loaded.RensaVoiceFilenameFormat, "C%02dV%02d.WAV");
    EXPECT_STREQ(loaded.FilenameExistsFormat, "*_%02d.WAV");
    EXPECT_STREQ(loaded.FilenameCharaFormat, "C%02dV*.WAV");
    EXPECT_STREQ(loaded.FolderNameOriginal, "_BACKUP");
    EXPECT_STREQ(loaded.RensaVoiceLastOpenedFolder, "") << "an empty value stays empty, no default";
    EXPECT_EQ(loaded.MonitorInterval, 45000u);
    EXPECT_EQ(loaded.MaxIndex, 3u);
    EXPECT_EQ(loaded.MinIndex, 7u);
}
