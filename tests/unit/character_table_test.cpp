// The character table: its code page 932 captions are checked against iconv's
// conversion of the same UTF-8 names, not against the compiler's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "voice/character_table.h"

namespace {

const char* const kUtf8Captions[CharacterTable::kCount] = {
    "アミティ",         "おしゃれコウベ", "クルーク",   "どんぐりガエル", "リデル",     "おにおん",
    "さかな王子",       "ラフィーナ",     "ユウちゃん", "タルタル",       "ほほうどり", "アコール先生",
    "こづれフランケン", "アルル",         "ポポイ",     "カーバンクル",
};

// Converts each text with the iconv program; one output line per input line
// (0x0A is never part of a code page 932 character).
std::vector<std::string> ConvertWithIconv(const char* const* texts, std::size_t count) {
    char inputPath[] = "/tmp/zolm_captions_XXXXXX";
    int fd = mkstemp(inputPath);
    EXPECT_GE(fd, 0);
    FILE* input = fdopen(fd, "w");
    for (std::size_t i = 0; i < count; ++i) std::fprintf(input, "%s\n", texts[i]);
    std::fclose(input);

    std::string command = std::string("iconv -f UTF-8 -t CP932 ") + inputPath;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::vector<std::string> lines(1);
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += static_cast<char>(c);
        }
    }
    EXPECT_EQ(pclose(pipe), 0);
    std::remove(inputPath);
    lines.pop_back();
    return lines;
}

TEST(CharacterTableTest, CaptionsAreTheShiftJisBytesOfTheNames) {
    std::vector<std::string> expected = ConvertWithIconv(kUtf8Captions, CharacterTable::kCount);
    ASSERT_EQ(expected.size(), CharacterTable::kCount);
    for (uint32_t c = 0; c < CharacterTable::kCount; ++c) {
        EXPECT_EQ(std::string(CharacterTable::Caption(c)), expected[c]) << "character " << c;
    }
    // Two anchors that do not depend on iconv either.
    EXPECT_STREQ(CharacterTable::Caption(0), "\x83\x41\x83\x7E\x83\x65\x83\x42");
    EXPECT_STREQ(CharacterTable::Caption(15), "\x83\x4A\x81\x5B\x83\x6F\x83\x93\x83\x4E\x83\x8B");
}

TEST(CharacterTableTest, BackupCodesAreUpperCaseAndOnlyYuHasTwoLetters) {
    const char* const expected[CharacterTable::kCount] = {"AMI", "OSB", "KLG", "DNG", "RID", "ONI", "PRI", "RAF",
                                                          "YU",  "TAR", "HOH", "ACO", "FRA", "ARL", "POP", "CAR"};
    for (uint32_t c = 0; c < CharacterTable::kCount; ++c) {
        EXPECT_STREQ(CharacterTable::BackupCode(c), expected[c]) << "character " << c;
        EXPECT_EQ(std::strlen(CharacterTable::BackupCode(c)), c == 8 ? 2u : 3u) << "character " << c;
        // Entry c of the one list is the caption, entry 16 + c the code.
        EXPECT_EQ(CharacterTable::kTexts[CharacterTable::kCount + c], CharacterTable::BackupCode(c));
    }
    // Numbers past the table name no character, whatever a popup returned.
    EXPECT_EQ(CharacterTable::Caption(16), nullptr);
    EXPECT_EQ(CharacterTable::BackupCode(16), nullptr);
    EXPECT_EQ(CharacterTable::Caption(0xFFFFFFFFu), nullptr);
}

}  // namespace
