// The voice command over the fake platform: which files are found, where they
// go, what the shell is asked, and what the command remembers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tray_application.h"
#include "platform/window.h"
#include "res/resource.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"
#include "tests/unit/dirty_heap.h"
#include "voice/character_table.h"
#include "settings/profile_settings.h"
#include "shellops/append_path.h"
#include "voice/voice_names.h"

namespace {

const sys::Window kWindow = reinterpret_cast<sys::Window>(0x5150);
const char kVoiceFolder[] = "C:\\Games\\PuyoF\\VOICE";
const char kSource[] = "D:\\Voices";

std::string VoiceTarget(int character, int voice) {
    char name[32];
    std::snprintf(name, sizeof name, "\\CH%02dVO%02d.WAV", character, voice);
    return kVoiceFolder + std::string(name);
}

class VoiceInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
        // What Initialize would have set up.
        app->window = kWindow;
        std::strcpy(app->caption, "ZOLM");
        app->characterPopup = sys::CreatePopupMenu();
        for (uint32_t c = 0; c < CharacterTable::kCount; ++c) {
            sys::AppendMenuA(app->characterPopup, sys::kMfString, c + 1, CharacterTable::Caption(c));
        }
        fake::state().calls.clear();
        blocksBefore = fake::state().blocksLive;
    }

    void TearDown() override {
        EXPECT_EQ(fake::state().blocksLive, blocksBefore) << "a list was not freed";
        EXPECT_EQ(fake::detail::OpenSearchCount(), 0) << "a search was not closed";
    }

    // Runs the command with the user picking folder and then popup item choice.
    void Install(const std::string& folder, int choice) {
        fake::state().pickedFolders.push_back(folder);
        fake::state().popupChoices.push_back(choice);
        app->ChooseAndInstallVoices();
    }

    std::unique_ptr<TrayApplication> app;
    int blocksBefore = 0;
};

TEST_F(VoiceInstallerTest, FirstItemInstallsCharacter00FromThePickedFolderAndRemembersIt) {
    // Long names whose short names end in other numbers: _08 is MY_V~D15.WAV,
    // _10 is MY_V~D11.WAV, listed before the files that *15.WAV and *11.WAV mean.
    for (int n = 0; n <= 20; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "\\my_voice_take260_%02d.WAV", n);
        fake::AddFile(kSource + std::string(name));
    }
    Install(kSource, 1);

    ASSERT_EQ(fake::state().browseSelections.size(), 1u);
    EXPECT_EQ(fake::state().browseSelections[0], kVoiceFolder) << "first use starts at the voice folder";
    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    const fake::FileOpCall& copy = fake::state().fileOps[0];
    EXPECT_EQ(copy.hwnd, kWindow);
    EXPECT_EQ(copy.wFunc, sys::kFoCopy);
    EXPECT_EQ(copy.fFlags, 0x1C1);
    EXPECT_EQ(copy.fAnyOperationsAborted, 0);
    EXPECT_EQ(copy.hNameMappings, nullptr);
    EXPECT_FALSE(copy.toIsNull);
    EXPECT_FALSE(copy.progressTitleIsNull);
    EXPECT_EQ(copy.progressTitle, "ZOLM");
    ASSERT_EQ(copy.from.size(), 21u);
    ASSERT_EQ(copy.to.size(), 21u);
    for (int n = 0; n <= 20; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "\\my_voice_take260_%02d.WAV", n);
        EXPECT_EQ(copy.from[n], kSource + std::string(name));
        EXPECT_EQ(copy.to[n], VoiceTarget(0, n));
    }
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, kSource);

    // The next time the picker opens at the folder chosen last.
    Install("D:\\Other", 2);
    ASSERT_EQ(fake::state().browseSelections.size(), 2u);
    EXPECT_EQ(fake::state().browseSelections[1], kSource);
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, "D:\\Other");
}

TEST_F(VoiceInstallerTest, LastItemInstallsCharacter15OnlyForTheNumbersFound) {
    // Backed-up voices of another character install under the chosen one's names.
    fake::AddFile("D:\\Voices\\CH03VO03.WAV");
    fake::AddFile("D:\\Voices\\CH03VO17.WAV");
    Install(kSource, 16);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    const fake::FileOpCall& copy = fake::state().fileOps[0];
    EXPECT_EQ(copy.from, (std::vector<std::string>{"D:\\Voices\\CH03VO03.WAV", "D:\\Voices\\CH03VO17.WAV"}));
    EXPECT_EQ(copy.to, (std::vector<std::string>{VoiceTarget(15, 3), VoiceTarget(15, 17)}));
}

TEST_F(VoiceInstallerTest, EachNumberTakesTheFirstFileItsPatternFinds) {
    fake::AddFile("D:\\Voices\\a05.wav");
    fake::AddFile("D:\\Voices\\b05.wav");
    fake::AddFile("D:\\Voices\\x21.WAV");
    fake::AddFile("D:\\Voices\\107.WAV");
    // A folder whose name matches is no voice file; the next match is.
    fake::AddFolder("D:\\Voices\\old09.WAV");
    fake::AddFile("D:\\Voices\\new09.WAV");
    Install(kSource, 1);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    const fake::FileOpCall& copy = fake::state().fileOps[0];
    EXPECT_EQ(copy.from,
              (std::vector<std::string>{"D:\\Voices\\a05.wav", "D:\\Voices\\107.WAV", "D:\\Voices\\new09.WAV"}));
    EXPECT_EQ(copy.to, (std::vector<std::string>{VoiceTarget(0, 5), VoiceTarget(0, 7), VoiceTarget(0, 9)}));
}

TEST_F(VoiceInstallerTest, AFolderAtADriveRootIsJoinedWithOneBackslash) {
    fake::AddFile("E:\\x00.WAV");
    Install("E:\\", 1);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{"E:\\x00.WAV"}));
    EXPECT_EQ(fake::state().fileOps[0].to, (std::vector<std::string>{VoiceTarget(0, 0)}));
}

TEST_F(VoiceInstallerTest, AFolderWithoutVoicesStillAsksTheShellAndIsRemembered) {
    fake::AddFile("D:\\Voices\\readme.txt");
    Install(kSource, 1);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_TRUE(fake::state().fileOps[0].from.empty());
    EXPECT_TRUE(fake::state().fileOps[0].to.empty());
    EXPECT_FALSE(fake::state().fileOps[0].toIsNull);
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, kSource);
}

TEST_F(VoiceInstallerTest, CancellingThePickerOrThePopupChangesNothing) {
    fake::AddFile("D:\\Voices\\x00.WAV");
    std::strcpy(app->settings.RensaVoiceLastOpenedFolder, "D:\\Before");

    Install("", 1);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 0) << "no popup after a cancelled picker";
    fake::state().popupChoices.clear();

    Install(kSource, 0);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 1);

    // An id past the table names no character.
    Install(kSource, 17);

    EXPECT_TRUE(fake::state().fileOps.empty());
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, "D:\\Before");
}

TEST_F(VoiceInstallerTest, WithoutAnInstallFolderTheCommandIsRefusedBeforeThePicker) {
    fake::AddFile("D:\\Voices\\x00.WAV");
    app->settings.InstallFolder[0] = '\0';
    std::strcpy(app->settings.RensaVoiceLastOpenedFolder, kSource);
    Install(kSource, 1);

    ASSERT_EQ(fake::state().messageBoxes.size(), 1u);
    const fake::MessageBoxCall& box = fake::state().messageBoxes[0];
    EXPECT_EQ(box.owner, kWindow);
    EXPECT_FALSE(fake::state().strings[IDS_NO_INSTALL_PATH_FOR_VOICES].empty());
    EXPECT_EQ(box.text, fake::state().strings[IDS_NO_INSTALL_PATH_FOR_VOICES]);
    EXPECT_EQ(box.caption, "ZOLM");
    EXPECT_EQ(box.style, 0x40u);
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 0);
    EXPECT_EQ(fake::CallCount("TrackPopupMenuEx"), 0);
    EXPECT_TRUE(fake::state().fileOps.empty());
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, kSource);
}

TEST_F(VoiceInstallerTest, FormatsThatAreNotPlainIntegerFileNamesFallBackToTheDefaults) {
    fake::AddFile("D:\\Voices\\y03.WAV");
    fake::AddFile(kVoiceFolder + std::string("\\_ORIGINAL\\OSB\\CH01VO03.WAV"));  // the original, saved before
    const char* const badPatterns[] = {"%s.WAV", "*%02d%02d.WAV", "*.WAV", "..\\*%02d.WAV", "sub/*%02d.WAV"};
    const char* const badTargets[] = {"CH%sVO%02d.WAV", "CH%02d.WAV", "..\\CH%02dVO%02d.WAV", "C:CH%02dVO%02d.WAV",
                                      "CH%02dVO%02d%n.WAV"};
    for (std::size_t i = 0; i < 5; ++i) {
        std::strcpy(app->settings.FilenameExistsFormat, badPatterns[i]);
        std::strcpy(app->settings.RensaVoiceFilenameFormat, badTargets[i]);
        fake::state().fileOps.clear();
        Install(kSource, 2);

        ASSERT_EQ(fake::state().fileOps.size(), 1u) << badPatterns[i];
        EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{"D:\\Voices\\y03.WAV"})) << badPatterns[i];
        EXPECT_EQ(fake::state().fileOps[0].to, (std::vector<std::string>{VoiceTarget(1, 3)})) << badTargets[i];
        // The user's texts stay as they are in the INI file.
        EXPECT_STREQ(app->settings.FilenameExistsFormat, badPatterns[i]);
        EXPECT_STREQ(app->settings.RensaVoiceFilenameFormat, badTargets[i]);
    }
}

TEST_F(VoiceInstallerTest, UsersOwnIntegerFormatsAreUsed) {
    fake::AddFile("D:\\Voices\\chain_3.wav");
    std::strcpy(app->settings.FilenameExistsFormat, "chain_%d.wav");
    const std::string kPadding(51, 'X');  // the format fills its field: 63 bytes
    std::strcpy(app->settings.RensaVoiceFilenameFormat, ("V%dN%03d" + kPadding + ".WAV").c_str());
    Install(kSource, 5);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{"D:\\Voices\\chain_3.wav"}));
    EXPECT_EQ(fake::state().fileOps[0].to,
              (std::vector<std::string>{std::string(kVoiceFolder) + "\\V4N003" + kPadding + ".WAV"}));
}

TEST_F(VoiceInstallerTest, AFailedAllocationIssuesNoRequest) {
    fake::AddFile("D:\\Voices\\x00.WAV");
    for (int failing : {1, 2}) {  // the source list, then the target list
        fake::FailCall("AllocateZeroed", failing);
        Install(kSource, 1);
        fake::FailCall("", 0);
    }

    EXPECT_TRUE(fake::state().fileOps.empty());
    EXPECT_EQ(fake::CallCount("AllocateZeroed"), 4);
    // The folder was picked and a character chosen: it is remembered all the same.
    EXPECT_STREQ(app->settings.RensaVoiceLastOpenedFolder, kSource);
}

// A path of exactly `length` characters: folder, then a backslash and name.
std::string PathOfLength(const std::string& folderStart, const std::string& name, std::size_t length) {
    return folderStart + std::string(length - folderStart.size() - 1 - name.size(), 'a') + "\\" + name;
}

TEST_F(VoiceInstallerTest, PairsThatDoNotFitAPathBufferAreSkipped) {
    std::string folder = "D:\\" + std::string(246, 'v');  // 249 characters
    fake::AddFile(folder + "\\x05.WAV");                  // 257 with the folder: fits
    fake::AddFile(folder + "\\longer06.WAV");             // 262: does not fit
    Install(folder, 1);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{folder + "\\x05.WAV"}));
    EXPECT_EQ(fake::state().fileOps[0].to, (std::vector<std::string>{VoiceTarget(0, 5)}));
}

TEST_F(VoiceInstallerTest, TwentyOnePairsOfTheLongestPathsAllFitTheLists) {
    // 259 characters each: the longest path a path buffer holds.
    std::string installFolder = PathOfLength("C:\\", "I", 259 - 13 - 6);
    std::strcpy(app->settings.InstallFolder, installFolder.c_str());
    std::string sourceFolder = PathOfLength("D:\\", "S", 259 - 13);
    for (int n = 0; n <= 20; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "\\SOURCE%02d.WAV", n);
        fake::AddFile(sourceFolder + name);
    }
    Install(sourceFolder, 1);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    const fake::FileOpCall& copy = fake::state().fileOps[0];
    ASSERT_EQ(copy.from.size(), 21u);
    ASSERT_EQ(copy.to.size(), 21u);
    for (int n = 0; n <= 20; ++n) {
        EXPECT_EQ(copy.from[n].size(), 259u);
        EXPECT_EQ(copy.to[n].size(), 259u);
    }
    EXPECT_EQ(copy.to[20], installFolder + "\\VOICE\\CH00VO20.WAV");
}

TEST_F(VoiceInstallerTest, AVoiceFolderThatDoesNotFitIsRefusedLikeAMissingInstallFolder) {
    std::strcpy(app->settings.InstallFolder, ("C:\\" + std::string(252, 'i')).c_str());  // + "\VOICE" = 261
    Install(kSource, 1);

    ASSERT_EQ(fake::state().messageBoxes.size(), 1u);
    EXPECT_EQ(fake::state().messageBoxes[0].text, fake::state().strings[IDS_NO_INSTALL_PATH_FOR_VOICES]);
    EXPECT_EQ(fake::CallCount("SHBrowseForFolderA"), 0);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

TEST_F(VoiceInstallerTest, AnInstallKeepsEveryOriginalItReplacesOrAsksFirst) {
    const std::string kBackup = kVoiceFolder + std::string("\\_ORIGINAL\\AMI\\CH00VO0");
    // No backup; one holding an older original of number 00; one the shell cannot write (a game
    // under Program Files), the question answered No, then Yes.
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        TearDown();
        SetUp();
        for (int n : {0, 1, 5}) fake::AddFile(VoiceTarget(0, n), "original " + std::to_string(n));
        for (int n : {0, 1}) fake::AddFile("D:\\Voices\\a0" + std::to_string(n) + ".WAV", "pack");
        if (row == 1) fake::AddFile(kBackup + "0.WAV", "older original");
        bool refused = row >= 2;
        if (refused) fake::state().readOnlyFolders.push_back(kVoiceFolder + std::string("\\_ORIGINAL"));
        fake::state().messageBoxAnswers.push_back(row == 2 ? sys::kIdNo : sys::kIdYes);
        Install(kSource, 1);

        ASSERT_EQ(fake::state().messageBoxes.size(), refused ? 1u : 0u);
        std::string text = fake::state().strings[IDS_ORIGINALS_NOT_SAVED];
        text.replace(text.find("%s"), 2, CharacterTable::Caption(0));
        for (const fake::MessageBoxCall& box : fake::state().messageBoxes) {
            EXPECT_EQ(box.text, text);
            EXPECT_EQ(box.style, 0x144u) << "Yes, No, and No at hand";
        }
        EXPECT_EQ(fake::Contents(VoiceTarget(0, 0)), row == 2 ? "original 0" : "pack");
        std::string saved;
        for (char n : {'0', '1', '5'}) saved += fake::Contents(kBackup + n + ".WAV") + ";";
        EXPECT_EQ(saved, refused    ? ";;;"
                         : row == 1 ? "older original;original 1;original 5;"
                                    : "original 0;original 1;original 5;");
    }
}

TEST_F(VoiceInstallerTest, ARestoreCopiesTheBackupBackInOneRequestOrSaysThereIsNone) {
    const std::string kBackup = kVoiceFolder + std::string("\\_ORIGINAL\\CAR");
    // A full backup, none, one that lacks all but two numbers.
    for (uint32_t saved : {0x1FFFFFu, 0u, 0x21u}) {
        SCOPED_TRACE(saved);
        TearDown();
        SetUp();
        for (int n = 0; n <= 20; ++n) {
            fake::AddFile(VoiceTarget(15, n), "pack");
            if ((saved >> n & 1) != 0) fake::AddFile(kBackup + VoiceTarget(15, n).substr(20), "original");
        }
        fake::state().popupChoices.push_back(16);
        app->ChooseAndRestoreVoices();

        std::string text = fake::state().strings[IDS_NO_VOICE_BACKUP];
        text.replace(text.find("%s"), 2, CharacterTable::Caption(15));
        ASSERT_EQ(fake::state().messageBoxes.size(), saved == 0 ? 1u : 0u);
        for (const fake::MessageBoxCall& box : fake::state().messageBoxes) EXPECT_EQ(box.text, text);
        ASSERT_EQ(fake::state().fileOps.size(), saved == 0 ? 0u : 1u);
        // With progress, without "Replace?", the shell's errors shown.
        for (const fake::FileOpCall& op : fake::state().fileOps) EXPECT_EQ(op.fFlags, 0x1D1);
        for (int n = 0; n <= 20; ++n) {
            EXPECT_EQ(fake::Contents(VoiceTarget(15, n)), (saved >> n & 1) != 0 ? "original" : "pack") << n;
            EXPECT_EQ(fake::Exists(kBackup + VoiceTarget(15, n).substr(20)), (saved >> n & 1) != 0);
        }
    }
}

TEST_F(VoiceInstallerTest, ThePopupShowsTheSetEachCharacterWearsAndTheSettingsKeepIt) {
    auto label = [](sys::Menu popup, std::size_t id) { return fake::state().menus[popup].items.at(id - 1).text; };
    auto wearing = [](uint32_t c, const std::string& set) {
        return CharacterTable::Caption(c) + ("\x81\x69" + set + "\x81\x6A");
    };
    std::string longName = "x";  // and 40 times あ: cut after whole characters
    for (int i = 0; i < 40; ++i) longName += "\x82\xA0";
    for (std::string set : {"my_pack", "x", longName.c_str()}) fake::AddFile("D:\\" + set + "\\a00.WAV");
    fake::AddFile(kVoiceFolder + std::string("\\_ORIGINAL\\AMI\\CH00VO00.WAV"));
    fake::state().fileOpResults = {1223};  // a copy that failed: no set worn
    Install("D:\\my_pack", 3);
    EXPECT_EQ(label(app->characterPopup, 3), CharacterTable::Caption(2));
    Install("D:\\my_pack", 1);
    Install("D:\\x", 1);  // worn over the last
    Install("D:\\my_pack", 2);
    Install("D:\\" + longName, 16);
    EXPECT_EQ(label(app->characterPopup, 16), wearing(15, longName.substr(0, 47)));
    EXPECT_EQ(label(app->characterPopup, 1), wearing(0, "x"));

    // Kept in [VoiceSets], beside the other keys, and read back; a set worn no more leaves the file;
    // an old file without the section shows the names alone.
    const std::string kIni = "C:\\Program Files\\ZOLM\\zolm.ini";
    app.reset();
    EXPECT_NE(
        fake::Contents(kIni).find("[VoiceSets]\r\nAMI=x\r\nOSB=my_pack\r\nCAR=" + longName.substr(0, 63) + "\r\n"),
        std::string::npos);
    app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
    app->CreateMenus();
    app->window = kWindow;
    EXPECT_EQ(label(app->characterPopup, 2), wearing(1, "my_pack"));
    fake::state().fileOpResults = {1223};
    fake::state().popupChoices = {1, 1};
    app->ChooseAndRestoreVoices();
    EXPECT_EQ(label(app->characterPopup, 1), wearing(0, "x")) << "a restore that failed";
    app->ChooseAndRestoreVoices();
    EXPECT_EQ(label(app->characterPopup, 1), CharacterTable::Caption(0)) << "the game's own again";
    app.reset();
    EXPECT_EQ(fake::Contents(kIni).find("AMI="), std::string::npos);
    fake::AddFile(kIni, "[RensaVoice]\r\nFolderName=VOICE\r\n");
    app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
    app->CreateMenus();
    EXPECT_EQ(label(app->characterPopup, 2), CharacterTable::Caption(1));
    fake::Remove(kIni);
    app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
}

TEST(VoiceNamesTest, PlainFileNamesStayInsideTheirFolder) {
    EXPECT_TRUE(IsPlainFileName("CH00VO*.WAV"));
    EXPECT_TRUE(IsPlainFileName("..x"));
    // "表" ends in 0x5C, which is no separator there.
    EXPECT_TRUE(IsPlainFileName("\x95\x5C%02d.WAV"));
    EXPECT_TRUE(IsPlainFileName("CH%02d\x83"));  // a lone lead byte at the end
    EXPECT_TRUE(IsPlainFileName("\x81\x44"));    // "．", a character, not a dot
    EXPECT_FALSE(IsPlainFileName(""));
    EXPECT_FALSE(IsPlainFileName("."));
    EXPECT_FALSE(IsPlainFileName(".."));
    EXPECT_FALSE(IsPlainFileName("a\\b"));
    EXPECT_FALSE(IsPlainFileName("a/b"));
    EXPECT_FALSE(IsPlainFileName("C:b"));
    EXPECT_FALSE(IsPlainFileName("\x95\x5C\\b"));
}

TEST(VoiceNamesTest, AVoiceFolderThatDoesNotFitIsNoFolder) {
    fake::Reset();
    ProfileSettings settings(nullptr);
    std::strcpy(settings.InstallFolder, ("C:\\" + std::string(252, 'i')).c_str());
    char folder[sys::kMaxPath];
    EXPECT_FALSE(BuildVoiceFolder(settings, folder));
    EXPECT_STREQ(folder, "");
    EXPECT_FALSE(BuildBackupFolder(settings, ("C:\\" + std::string(244, 'v')).c_str(), 0, folder)) << "261 bytes";
    fake::Reset();  // the settings' save is not part of it
}

}  // namespace
