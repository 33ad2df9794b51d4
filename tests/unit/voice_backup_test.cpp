// The first-run voice backup over the fake platform: when it is offered, what
// the answers lead to, and the 16 silent copies it asks the shell for.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/tray_application.h"
#include "tests/fake/fake_platform.h"
#include "voice/character_table.h"

namespace {

const sys::Window kWindow = reinterpret_cast<sys::Window>(0x5150);
const char kIniPath[] = "C:\\Program Files\\ZOLM\\zolm.ini";
const char kVoiceFolder[] = "C:\\Games\\PuyoF\\VOICE";

class VoiceBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        app = std::make_unique<TrayApplication>(nullptr);
        app->window = kWindow;
        std::strcpy(app->caption, "ZOLM");
        fake::state().calls.clear();
    }

    void Offer(int answer) {
        fake::state().messageBoxAnswers.push_back(answer);
        app->OfferVoiceBackup();
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
    ExpectBox(0, 18, 0x44);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

TEST_F(VoiceBackupTest, YesWithoutAnInstallFolderExplainsAndCopiesNothing) {
    app->settings.InstallFolder[0] = '\0';
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 2u);
    ExpectBox(0, 18, 0x44);
    ExpectBox(1, 19, 0x40);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

TEST_F(VoiceBackupTest, YesCopiesEachCharactersVoicesIntoItsOwnFolderInTableOrder) {
    const char* const codes[16] = {"AMI", "OSB", "KLG", "DNG", "RID", "ONI", "PRI", "RAF",
                                   "YU",  "TAR", "HOH", "ACO", "FRA", "ARL", "POP", "CAR"};
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 1u);
    ASSERT_EQ(fake::state().fileOps.size(), 16u) << "one copy per character, also when it finds nothing";
    for (int c = 0; c < 16; ++c) {
        const fake::FileOpCall& copy = fake::state().fileOps[c];
        char pattern[32];
        std::snprintf(pattern, sizeof pattern, "\\CH%02dVO*.WAV", c);
        EXPECT_EQ(copy.hwnd, kWindow);
        EXPECT_EQ(copy.wFunc, sys::kFoCopy);
        EXPECT_EQ(copy.fFlags, 0x294);
        EXPECT_EQ(copy.fAnyOperationsAborted, 0);
        EXPECT_EQ(copy.hNameMappings, nullptr);
        EXPECT_TRUE(copy.progressTitleIsNull);
        EXPECT_EQ(copy.from, (std::vector<std::string>{kVoiceFolder + std::string(pattern)}));
        EXPECT_EQ(copy.to, (std::vector<std::string>{kVoiceFolder + std::string("\\_ORIGINAL\\") + codes[c]}));
    }
    EXPECT_EQ(fake::state().fileOps[8].to[0], "C:\\Games\\PuyoF\\VOICE\\_ORIGINAL\\YU");
}

TEST_F(VoiceBackupTest, APatternThatIsNotAPlainIntegerFileNameFallsBackToTheDefault) {
    const char* const badPatterns[] = {"%s", "CH%02dVO%02d.WAV", "..\\CH%02dVO*.WAV", "C:CH%02d*.WAV"};
    for (const char* bad : badPatterns) {
        std::strcpy(app->settings.FilenameCharaFormat, bad);
        fake::state().fileOps.clear();
        app->BackupCharacterVoices(kVoiceFolder, kVoiceFolder, 3);

        ASSERT_EQ(fake::state().fileOps.size(), 1u) << bad;
        EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{"C:\\Games\\PuyoF\\VOICE\\CH03VO*.WAV"}))
            << bad;
        EXPECT_STREQ(app->settings.FilenameCharaFormat, bad) << "the INI file keeps the user's text";
    }
}

TEST_F(VoiceBackupTest, ACharacterWhoseFolderDoesNotFitAPathIsSkipped) {
    // A 246-character voice folder leaves room for "\_ORIGINAL\YU" but not for
    // a three-letter code.
    std::string installFolder = "C:\\" + std::string(237, 'i');
    std::strcpy(app->settings.InstallFolder, installFolder.c_str());
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().fileOps.size(), 1u);
    EXPECT_EQ(fake::state().fileOps[0].to, (std::vector<std::string>{installFolder + "\\VOICE\\_ORIGINAL\\YU"}));
    EXPECT_EQ(fake::state().fileOps[0].to[0].size(), 259u);
    EXPECT_EQ(fake::state().fileOps[0].from, (std::vector<std::string>{installFolder + "\\VOICE\\CH08VO*.WAV"}));
}

TEST_F(VoiceBackupTest, AVoiceFolderThatDoesNotFitIsReportedLikeAMissingInstallFolder) {
    std::strcpy(app->settings.InstallFolder, ("C:\\" + std::string(252, 'i')).c_str());
    Offer(sys::kIdYes);

    ASSERT_EQ(fake::state().messageBoxes.size(), 2u);
    ExpectBox(1, 19, 0x40);
    EXPECT_TRUE(fake::state().fileOps.empty());
}

}  // namespace
