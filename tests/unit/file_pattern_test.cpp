// The long-name match of search patterns and the load order of names.
#include <gtest/gtest.h>

#include "shellops/file_pattern.h"

namespace {

TEST(FilePatternTest, LongNamesMatchAsAWindowsSearchMatchesThem) {
    struct Row {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const std::string kLongest(300, '*');  // longer than any path: never a pattern
    const Row rows[] = {
        {"my_voice_take260_10.WAV", "*10.WAV", true},
        {"A", kLongest.c_str(), false},
        {"AC", "A?C", false},  // '?' stands for nothing only before a '.' or at the end
        {"B", "AB", false},
        {"A\x83", "A\x83", true},                       // a lone lead byte at the end is one byte
        {"\x82\x41", "\x83\x41", false},                // "ア" and "ｱ"'s neighbour differ in the first byte
        {kLongest.c_str() + 40, "*", false},            // 260 bytes: longer than any name
        {"A", kLongest.c_str() + 40, false},            // nor a pattern
        {"my_voice_take260_13.WAV", "*10.WAV", false},  // only its short name MY_V~P10.WAV matches
        {"a.rpd", "*.RPD", true},
        {"a.b.RPD", "*.RPD", true},
        {"a.RPDX", "*.RPD", false},
        {"REPLAY000.RPD", "REPLAY???.RPD", true},
        {"REPLAY1.RPD", "REPLAY???.RPD", true},  // '?' also stands for nothing before a '.'
        {"REPLAY1000.RPD", "REPLAY???.RPD", false},
        {"A.B", "A?B", false},  // '?' never takes the '.'
        {"ABC", "*.*", true},
        {"2007", "2007.", true},
        {"2007", "2007.X", false},  // only a '.' of wildcards also matches the end
        {"B.RPD", "b.rpd", true},
        {"Zz.RPD", "zZ.rpd", true},  // the ends of the alphabet
        {"B.RPD", "", false},
        {"\x83\x5C.RPD", "?.RPD", true},  // "ソ" is one character
        {"\x83\x5CX.RPD", "\x83\x5C*.RPD", true},
        {"\x83\x61.RPD", "\x83\x41.RPD", false},  // a second byte is never folded
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MatchesFilePattern(row.name, row.pattern), row.matches) << row.name << " / " << row.pattern;
    }
}

TEST(FilePatternTest, NamesSortByCodePage932BytesWithoutASCIICase) {
    EXPECT_LT(CompareFileNames("a.RPD", "B.RPD"), 0);
    EXPECT_LT(CompareFileNames("B.RPD", "b_notes.RPD"), 0);
    EXPECT_LT(CompareFileNames("Z.RPD", "\x83\x41.RPD"), 0);
    EXPECT_GT(CompareFileNames("\x83\x61.RPD", "\x83\x41.RPD"), 0);
    EXPECT_LT(CompareFileNames("\x82\x9Fz", "\x82\x9F_"), 0);  // after "ぁ", whose second byte could lead, "z" is Z
    EXPECT_GT(CompareFileNames("b.RPD", "B.RPD"), 0);          // equal but for case: the bytes decide
    EXPECT_EQ(CompareFileNames("B.RPD", "B.RPD"), 0);
}

}  // namespace
