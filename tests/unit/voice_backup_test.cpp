// The first-run voice backup over the fake platform: when it is offered, what
// the answers lead to, and the 16 silent copies it asks the shell for.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tray_application.h"
#include "tests/fake/fake_platform.h"
#include "tests/unit/dirty_heap.h"
#include "voice/character_table.h"

namespace {

const sys::Window kWindow = reinterpret_cast<sys::Window>(0x5150);
const char kIniPath[] = "C:\\Program Files\\ZOLM\\zolm.ini";
const char kVoiceFolder[] = "C:\\Games\\PuyoF\\VOICE";

class VoiceBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        app.reset(NewOnDirtyHeap<TrayApplication>(nullptr));
        app->window = kWindow;
        std::strcpy(app->caption, "ZOLM");
        fake::state().calls.clear();
        blocksBefore = fake::state().blocksLive;
    }

    void TearDown() override { EXPECT_EQ(fake::state().blocksLive, blocksBefore) << "a list was not freed"; }

    void Offer(int answer) {
        fake::state().messageBoxAnswers.push_back(answer);
        app->OfferVoiceBackup();
    }

    // Voice 00 of every character in folder, holding "cc".
    static void AddVoices(const std::string& folder) {
        for (int c = 0; c < 16; ++c) fake::AddFile(folder + Name(c), Name(c).substr(3, 2));
    }
    static std::string Name(int character) {
        char name[32];
        std::snprintf(name, sizeof name, "\\CH%02dVO00.WAV", character);
        return name;
    }

    void ExpectBox(std::size_t index, uint32_t stringId, uint32_t style) {
        ASSERT_GT(fake::state().messageBoxes.size(), index);
        const fake::MessageBoxCall& box = fake::state().messageBoxes[index];
        EXPECT_EQ(box.owner, kWindow);
        EXPECT_EQ(box.text, fake::state().strings[stringId]);
        EXPECT_EQ(box.caption, "ZOLM");
        EXPECT_EQ(box.style, style);
    }

    std::unique_ptr<TrayApplication> app;
    int blocksBefore = 0;
};

TEST_F(VoiceBackupTest, AnExistingIniFileEvenEmptySuppressesTheQuestion) {
    fake::AddFile(kIniPath, "");
    Offer(sys::kIdYes);

    EXPECT_TRUE(fake::state().messageBoxes.empty());
    EXPECT_TRUE(fake::state().fileOps.empty());
    EXPECT_EQ(fake::CallCount("FindClose"), 1);
}

TEST_F(VoiceBackupTest, AnsweringNoCopiesNothing) {
    Offer(sys::kIdNo);

    ASSERT_EQ(fake::state().messageBoxes.size(), 1u);
    ExpectBox(0, IDS_FIRST_RUN_QUESTION, 0x50044);  // in front: started with Windows, it opens behind
    EXPECT_TRUE(fake::state().fileOps.empty());
}

TEST_F(VoiceBackupTest, YesWithoutAnInstallFolderExplainsAndCopiesNothing) {
    app->settings.InstallFolder[0] = '\0';
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 2u);
    ExpectBox(0, IDS_FIRST_RUN_QUESTION, 0x50044);
    ExpectBox(1, IDS_NO_INSTALL_PATH, 0x40);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

TEST_F(VoiceBackupTest, YesCopiesEachCharactersVoicesIntoItsOwnFolderInTableOrder) {
    const char* const codes[16] = {"AMI", "OSB", "KLG", "DNG", "RID", "ONI", "PRI", "RAF",
                                   "YU",  "TAR", "HOH", "ACO", "FRA", "ARL", "POP", "CAR"};
    AddVoices(kVoiceFolder);
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 1u);
    ASSERT_EQ(fake::state().fileOps.size(), 16u) << "one copy per character";
    for (int c = 0; c < 16; ++c) {
        const fake::FileOpCall& copy = fake::state().fileOps[c];
        EXPECT_EQ(copy.hwnd, kWindow);
        EXPECT_EQ(copy.wFunc, sys::kFoCopy);
        EXPECT_EQ(copy.fFlags, 0x295);
        EXPECT_EQ(copy.fAnyOperationsAborted, 0);
        EXPECT_EQ(copy.hNameMappings, nullptr);
        EXPECT_TRUE(copy.progressTitleIsNull);
        EXPECT_EQ(copy.from, (std::vector<std::string>{kVoiceFolder + Name(c)}));
        EXPECT_EQ(copy.to,
                  (std::vector<std::string>{kVoiceFolder + std::string("\\_ORIGINAL\\") + codes[c] + Name(c)}));
    }
    EXPECT_EQ(fake::state().fileOps[8].to[0], "C:\\Games\\PuyoF\\VOICE\\_ORIGINAL\\YU\\CH08VO00.WAV");
}

TEST_F(VoiceBackupTest, AFileAlreadyInTheBackupIsKeptAndOnlyMissingOnesAreCopied) {
    const std::string ami = std::string(kVoiceFolder) + "\\_ORIGINAL\\AMI";
    AddVoices(kVoiceFolder);
    fake::AddFile(std::string(kVoiceFolder) + "\\CH00VO01.WAV", "01");
    fake::AddFile(ami + Name(0), "original");
    fake::AddFile(std::string(kVoiceFolder) + "\\_ORIGINAL\\OSB" + Name(1), "original");
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().fileOps.size(), 15u) << "nothing is missing for character 1";
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{kVoiceFolder + std::string("\\CH00VO01.WAV")}));
    EXPECT_EQ(fake::Contents(ami + Name(0)), "original");
    EXPECT_EQ(fake::Contents(ami + "\\CH00VO01.WAV"), "01");
}

TEST_F(VoiceBackupTest, ABackupThatWasNotMadeIsReportedOnce) {
    void (*const faults[])() = {
        [] {},
        [] { fake::state().readOnlyFolders.push_back("C:\\Games"); },  // Program Files, to a user
        [] {
            fake::state().fileOpResults = {0, 1223};
        },
        [] {
            fake::state().fileOpAborts = {false, false, true};
        },
        [] { fake::state().applyFileOps = false; },  // "done", and nothing copied
        [] {                                         // a second voice file, with a folder in its way
            fake::AddFile(std::string(kVoiceFolder) + "\\CH03VO01.WAV");
            fake::AddFolder(std::string(kVoiceFolder) + "\\_ORIGINAL\\DNG\\CH03VO01.WAV");
        },
    };
    for (auto fault : faults) {
        app.reset();  // its settings would be saved into the next run's files
        SetUp();
        AddVoices(kVoiceFolder);
        fault();
        Offer(sys::kIdYes);
        bool reported = fault != faults[0];
        ASSERT_EQ(fake::state().messageBoxes.size(), reported ? 2u : 1u);
        if (reported) ExpectBox(1, IDS_BACKUP_FAILED, 0x40);
        EXPECT_EQ(fake::state().fileOps.size(), 16u);
    }
    // Names that do not fit, or none: nothing is copied anywhere, and nothing is told saved.
    const std::size_t requests = fake::state().fileOps.size();
    EXPECT_FALSE(app->BackupCharacterVoices(kVoiceFolder, kVoiceFolder, 16)) << "no such character";
    EXPECT_FALSE(app->BackupCharacterVoices("", kVoiceFolder, 0)) << "no voice folder";
    EXPECT_FALSE(app->BackupCharacterVoices(kVoiceFolder, "", 0)) << "no backup folder";
    fake::state().failAllocations = 1;
    EXPECT_TRUE(app->BackupCharacterVoices(kVoiceFolder, kVoiceFolder, 1)) << "saved before: nothing to allocate";
    fake::Remove(std::string(kVoiceFolder) + "\\_ORIGINAL\\OSB" + Name(1));
    fake::state().failAllocations = 1;
    EXPECT_FALSE(app->BackupCharacterVoices(kVoiceFolder, kVoiceFolder, 1)) << "no room for the lists";
    fake::state().failAllocations = 0;
    EXPECT_FALSE(app->BackupCharacterVoices(("C:\\" + std::string(250, 'v')).c_str(), kVoiceFolder, 0));
    std::strcpy(app->settings.FolderNameOriginal, std::string(63, 'o').c_str());
    EXPECT_FALSE(app->BackupCharacterVoices(kVoiceFolder, ("C:\\" + std::string(197, 'b')).c_str(), 0));
    EXPECT_EQ(fake::state().fileOps.size(), requests);
}

TEST_F(VoiceBackupTest, APatternThatIsNotAPlainIntegerFileNameFallsBackToTheDefault) {
    const char* const badPatterns[] = {"%s", "CH%02dVO%02d.WAV", "..\\CH%02dVO*.WAV", "C:CH%02d*.WAV"};
    AddVoices(kVoiceFolder);
    for (const char* bad : badPatterns) {
        std::strcpy(app->settings.FilenameCharaFormat, bad);
        fake::state().fileOps.clear();
        fake::Remove(std::string(kVoiceFolder) + "\\_ORIGINAL\\DNG" + Name(3));
        app->BackupCharacterVoices(kVoiceFolder, kVoiceFolder, 3);

        ASSERT_EQ(fake::state().fileOps.size(), 1u) << bad;
        EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{"C:\\Games\\PuyoF\\VOICE\\CH03VO00.WAV"}))
            << bad;
        EXPECT_STREQ(app->settings.FilenameCharaFormat, bad) << "the INI file keeps the user's text";
    }
}

TEST_F(VoiceBackupTest, ACharacterWhoseFolderDoesNotFitAPathIsSkipped) {
    // A 233-character voice folder leaves room for "\_ORIGINAL\YU\CH08VO00.WAV"
    // but not for a three-letter code.
    std::string installFolder = "C:\\" + std::string(224, 'i');
    std::strcpy(app->settings.InstallFolder, installFolder.c_str());
    AddVoices(installFolder + "\\VOICE");
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].to,
              (std::vector<std::string>{installFolder + "\\VOICE\\_ORIGINAL\\YU\\CH08VO00.WAV"}));
    EXPECT_EQ(fake::state().fileOps[0].to[0].size(), 259u);
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{installFolder + "\\VOICE\\CH08VO00.WAV"}));
    ExpectBox(1, IDS_BACKUP_FAILED, 0x40);
}

TEST_F(VoiceBackupTest, AVoiceFolderThatDoesNotFitIsReportedLikeAMissingInstallFolder) {
    std::strcpy(app->settings.InstallFolder, ("C:\\" + std::string(252, 'i')).c_str());
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 2u);
    ExpectBox(1, IDS_NO_INSTALL_PATH, 0x40);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

}  // namespace
