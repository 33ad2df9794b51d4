// The fake file system must behave like the Windows one where the Parts rely on it:
// wildcards and case, direct children only, order of creation, DBCS names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstring>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/memory.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace {

std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    sys::FindData data;
    sys::SearchHandle search = sys::FindFirstFileA(pattern.c_str(), &data);
    if (search == sys::kInvalidSearch) return names;
    do {
        names.push_back(data.cFileName);
    } while (sys::FindNextFileA(search, &data));
    EXPECT_TRUE(sys::FindClose(search));
    return names;
}

class FakeFilesTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(FakeFilesTest, WildcardsMatchWithoutCaseAndInOrderOfCreation) {
    fake::AddFile("C:\\Data\\replay002.rpd");
    fake::AddFile("C:\\Data\\REPLAY001.RPD");
    fake::AddFile("C:\\Data\\notes.txt");
    fake::AddFile("C:\\Data\\2007\\05\\12\\2007-05-12T21-30-05.RPD");
    EXPECT_EQ(Find("C:\\data\\*.RPD"), (std::vector<std::string>{"replay002.rpd", "REPLAY001.RPD"}));
    EXPECT_EQ(Find("C:\\Data\\REPLAY00?.RPD"), (std::vector<std::string>{"replay002.rpd", "REPLAY001.RPD"}));
    EXPECT_EQ(Find("C:\\Data\\REPLAY001.RPD"), (std::vector<std::string>{"REPLAY001.RPD"}));
    EXPECT_EQ(Find("C:\\Data\\*"), (std::vector<std::string>{"replay002.rpd", "REPLAY001.RPD", "notes.txt", "2007"}));
    EXPECT_TRUE(Find("C:\\Data\\*.WAV").empty());
    EXPECT_TRUE(Find("C:\\Missing\\*.RPD").empty());
    EXPECT_EQ(fake::detail::OpenSearchCount(), 0);
}

TEST_F(FakeFilesTest, StarBacktracksAndQuestionMarkTakesOneCharacter) {
    EXPECT_TRUE(fake::detail::MatchesPattern("CH05VO*.WAV", "CH05VO20.WAV"));
    EXPECT_TRUE(fake::detail::MatchesPattern("*07.WAV", "my07voice07.wav"));
    EXPECT_FALSE(fake::detail::MatchesPattern("*07.WAV", "my07voice.wav"));
    EXPECT_FALSE(fake::detail::MatchesPattern("REPLAY00?.RPD", "REPLAY0001.RPD"));
    // "表" is 95 5C: one character for '?', and its second byte is not folded.
    EXPECT_TRUE(fake::detail::MatchesPattern("?.WAV", "\x95\x5C.WAV"));
    EXPECT_FALSE(fake::detail::MatchesPattern("??.WAV", "\x95\x5C.WAV"));
}

TEST_F(FakeFilesTest, PathsFoldOnlyAsciiAndNeverTheSecondByteOfADoubleByteCharacter) {
    // "ア" is 83 41 and "チ" 83 60: folding the second byte 0x41 ('A') must not happen,
    // and 0x61 ('a') after a lead byte is a different character from 'A'.
    fake::AddFile("C:\\\x83\x61\\file.txt", "one");
    EXPECT_TRUE(fake::Exists("c:\\\x83\x61\\FILE.TXT"));
    EXPECT_FALSE(fake::Exists("C:\\\x83\x41\\file.txt"));
    // "表" ends in 5C: the folder "C:\表" holds the file, not a folder "C:\\x95".
    fake::AddFile("C:\\\x95\x5C\\tool.exe");
    EXPECT_EQ(Find("C:\\\x95\x5C\\*.exe"), (std::vector<std::string>{"tool.exe"}));
    EXPECT_EQ(sys::GetFileAttributesA("C:\\\x95\x5C"), sys::kFileAttributeDirectory);
}

TEST_F(FakeFilesTest, SearchHandlesKeepTheirOwnPositions) {
    fake::AddFile("C:\\A\\1.RPD");
    fake::AddFile("C:\\A\\2.RPD");
    sys::FindData a, b;
    sys::SearchHandle first = sys::FindFirstFileA("C:\\A\\*.RPD", &a);
    sys::SearchHandle second = sys::FindFirstFileA("C:\\A\\*.RPD", &b);
    ASSERT_NE(first, sys::kInvalidSearch);
    ASSERT_NE(second, first);
    ASSERT_TRUE(sys::FindNextFileA(first, &a));
    EXPECT_STREQ(a.cFileName, "2.RPD");
    EXPECT_STREQ(b.cFileName, "1.RPD");
    EXPECT_FALSE(sys::FindNextFileA(first, &a));
    EXPECT_TRUE(sys::FindClose(first));
    EXPECT_TRUE(sys::FindClose(second));
    EXPECT_FALSE(sys::FindClose(first));
}

TEST_F(FakeFilesTest, FindDataCarriesTimesAndAttributes) {
    uint64_t created = fake::FileTimeOf(2007, 5, 12, 21, 30, 5);
    fake::AddFile("C:\\A\\REPLAY005.RPD", "", created);
    sys::FindData data;
    sys::SearchHandle search = sys::FindFirstFileA("C:\\A\\REPLAY*.RPD", &data);
    ASSERT_NE(search, sys::kInvalidSearch);
    sys::FindClose(search);
    EXPECT_EQ(data.dwFileAttributes & sys::kFileAttributeDirectory, 0u);
    sys::FileTime local;
    ASSERT_TRUE(sys::FileTimeToLocalFileTime(&data.ftCreationTime, &local));
    sys::SystemTime time;
    ASSERT_TRUE(sys::FileTimeToSystemTime(&local, &time));
    EXPECT_EQ(time.wYear, 2007);
    EXPECT_EQ(time.wMonth, 5);
    EXPECT_EQ(time.wDay, 12);
    EXPECT_EQ(time.wDayOfWeek, 6);  // a Saturday
    EXPECT_EQ(time.wHour, 21);
    EXPECT_EQ(time.wMinute, 30);
    EXPECT_EQ(time.wSecond, 5);
}

TEST_F(FakeFilesTest, TimeConversionAcrossLeapDaysAndCenturies) {
    struct Case {
        int y, mo, d, dow;
    };
    for (Case c : {Case{1601, 1, 1, 1}, Case{2000, 2, 29, 2}, Case{2100, 3, 1, 1}, Case{2024, 12, 31, 2}}) {
        uint64_t ticks = fake::FileTimeOf(c.y, c.mo, c.d, 23, 59, 59);
        sys::FileTime ft{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
        sys::SystemTime st;
        ASSERT_TRUE(sys::FileTimeToSystemTime(&ft, &st));
        EXPECT_EQ(st.wYear, c.y);
        EXPECT_EQ(st.wMonth, c.mo);
        EXPECT_EQ(st.wDay, c.d);
        EXPECT_EQ(st.wDayOfWeek, c.dow) << c.y;
        EXPECT_EQ(st.wSecond, 59);
    }
}

TEST_F(FakeFilesTest, CreateDirectoryNeedsTheParentAndFailsOnRequest) {
    EXPECT_FALSE(sys::CreateDirectoryA("C:\\A\\B"));
    EXPECT_TRUE(sys::CreateDirectoryA("C:\\A"));
    EXPECT_FALSE(sys::CreateDirectoryA("C:\\a"));
    fake::state().failCreateDirectory = 1;
    EXPECT_FALSE(sys::CreateDirectoryA("C:\\A\\B"));
    EXPECT_TRUE(sys::CreateDirectoryA("C:\\A\\B\\"));
    EXPECT_EQ(sys::GetFileAttributesA("C:\\A\\B"), sys::kFileAttributeDirectory);
    EXPECT_EQ(fake::CallCount("CreateDirectoryA"), 5);
}

TEST_F(FakeFilesTest, RemoveTakesAFolderWithEverythingBelow) {
    fake::AddFile("C:\\A\\B\\x.txt");
    fake::AddFile("C:\\AB\\y.txt");
    fake::Remove("c:\\a");
    EXPECT_FALSE(fake::Exists("C:\\A\\B\\x.txt"));
    EXPECT_FALSE(fake::Exists("C:\\A"));
    EXPECT_TRUE(fake::Exists("C:\\AB\\y.txt"));
}

TEST_F(FakeFilesTest, FormatIsBoundedAndTerminated) {
    char out[8];
    EXPECT_EQ(sys::FormatInt(out, sizeof out, "REPLAY%03d.RPD", 5), 7);
    EXPECT_STREQ(out, "REPLAY0");
    char wide[32];
    EXPECT_EQ(sys::FormatInt2(wide, sizeof wide, "CH%02ldVO%02d.WAV", 3, 20), 12);
    EXPECT_STREQ(wide, "CH03VO20.WAV");
}

TEST_F(FakeFilesTest, AllocationsAreCountedAndFailOnRequest) {
    fake::state().failAllocations = 1;
    EXPECT_EQ(sys::AllocateZeroed(16), nullptr);
    void* block = sys::AllocateZeroed(16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(block)[15], 0);
    EXPECT_EQ(fake::state().blocksLive, 1);
    sys::Free(block);
    sys::Free(nullptr);
    EXPECT_EQ(fake::state().blocksLive, 0);
}

}  // namespace

// The fake private-profile functions must give the platform's results for plain
// lines, keep the file's order, and cut reads like the platform.
namespace {

class FakeProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::AddFolder("C:\\Tools");  // the writer makes no folder
    }
    const char* ini = "C:\\Tools\\zolm.ini";
};

TEST_F(FakeProfileTest, WritesAppendSectionsAndKeysInTheOrderFirstWritten) {
    EXPECT_TRUE(sys::WritePrivateProfileStringA("System", "InstallFolder", "C:\\Game", ini));
    EXPECT_TRUE(sys::WritePrivateProfileStringA("Replay", "DataFolder", "", ini));
    EXPECT_TRUE(sys::WritePrivateProfileStringA("RensaVoice", "FolderName", "VOICE", ini));
    EXPECT_TRUE(sys::WritePrivateProfileStringA("replay", "MaxIndex", "999", ini));
    EXPECT_TRUE(sys::WritePrivateProfileStringA("SYSTEM", "installfolder", "D:\\Game", ini));
    EXPECT_EQ(fake::Contents(ini),
              "[System]\r\nInstallFolder=D:\\Game\r\n[Replay]\r\nDataFolder=\r\nMaxIndex=999\r\n"
              "[RensaVoice]\r\nFolderName=VOICE\r\n");
}

TEST_F(FakeProfileTest, ReadsMatchWithoutCaseTrimAndFallBackToTheDefault) {
    fake::AddFile(ini, "; comment\n[ Replay ]\nCopySrc = *.RPD \nEmpty=\nQuoted=\"a b\"\n[Other]\nCopySrc=x\n");
    char out[64];
    EXPECT_EQ(sys::GetPrivateProfileStringA("replay", "COPYSRC", "def", out, sizeof out, ini), 5u);
    EXPECT_STREQ(out, "*.RPD");
    EXPECT_EQ(sys::GetPrivateProfileStringA("Replay", "Empty", "def", out, sizeof out, ini), 0u);
    EXPECT_STREQ(out, "");
    sys::GetPrivateProfileStringA("Replay", "Quoted", "def", out, sizeof out, ini);
    EXPECT_STREQ(out, "a b");
    sys::GetPrivateProfileStringA("Replay", "Missing", "def", out, sizeof out, ini);
    EXPECT_STREQ(out, "def");
    sys::GetPrivateProfileStringA("Replay", "Missing", nullptr, out, sizeof out, ini);
    EXPECT_STREQ(out, "");
    sys::GetPrivateProfileStringA("Replay", "CopySrc", "def", out, sizeof out, "C:\\Tools\\missing.ini");
    EXPECT_STREQ(out, "def");
}

TEST_F(FakeProfileTest, ReadsAreCutToSizeLessOne) {
    fake::AddFile(ini, "[S]\nK=0123456789\n");
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(sys::GetPrivateProfileStringA("S", "K", "", out, sizeof out, ini), 7u);
    EXPECT_STREQ(out, "0123456");
}

TEST_F(FakeProfileTest, IntegersParseLikeThePlatform) {
    fake::AddFile(ini, "[S]\nA=-1\nB=+12\nC=42A9\nD=B42\nE=4294967297\nF=\n");
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "A", 5, ini), 0xFFFFFFFFu);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "B", 5, ini), 12u);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "C", 5, ini), 42u);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "D", 5, ini), 0u);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "E", 5, ini), 1u);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "F", 5, ini), 5u);
    EXPECT_EQ(sys::GetPrivateProfileIntA("S", "G", 999, ini), 999u);
}

TEST_F(FakeProfileTest, StringsAndModulePathAreCutLikeThePlatform) {
    char text[4];
    EXPECT_EQ(sys::LoadStringA(nullptr, 3, text, sizeof text), 3);
    EXPECT_STREQ(text, "ZOL");
    EXPECT_EQ(sys::LoadStringA(nullptr, 999, text, sizeof text), 0);
    char big[1024];
    EXPECT_EQ(sys::LoadStringA(nullptr, 18, big, sizeof big), 152);  // the longest text
    fake::state().moduleFileName = "C:\\a.exe";
    char path[8];
    EXPECT_EQ(sys::GetModuleFileNameA(path, sizeof path), 8u);
    EXPECT_STREQ(path, "C:\\a.ex");
    char fits[9];
    EXPECT_EQ(sys::GetModuleFileNameA(fits, sizeof fits), 8u);
    EXPECT_STREQ(fits, "C:\\a.exe");
}

}  // namespace
