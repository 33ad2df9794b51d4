// The path join and the path lists of the shell's batch requests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellops/append_path.h"
#include "shellops/bounded_text.h"
#include "shellops/path_list.h"

namespace {

// "ソ" and "表" in code page 932: their second byte is 0x5C, the backslash.
const char kSo[] = "\x83\x5C";
const char kHyo[] = "\x95\x5C";

std::string Joined(const std::string& path, const char* name) {
    char buffer[260];
    std::memset(buffer, 'x', sizeof buffer);  // the join ends the path itself
    std::strcpy(buffer, path.c_str());
    EXPECT_TRUE(AppendPath(buffer, name));
    return buffer;
}

std::vector<std::string> Entries(const char* list) {
    std::vector<std::string> entries;
    for (const char* p = list; *p != '\0'; p += std::strlen(p) + 1) entries.push_back(p);
    return entries;
}

TEST(AppendPathTest, JoinsWithExactlyOneBackslash) {
    EXPECT_EQ(Joined("D:\\Data", "VOICE"), "D:\\Data\\VOICE");
    EXPECT_EQ(Joined("D:\\Data\\", "VOICE"), "D:\\Data\\VOICE");
    EXPECT_EQ(Joined("", "VOICE"), "\\VOICE");
    EXPECT_EQ(Joined("D:\\", "REPLAY000.RPD"), "D:\\REPLAY000.RPD");
}

TEST(AppendPathTest, FolderEndingInADoubleByteCharacterWithTrailByte5CStillGetsItsBackslash) {
    std::string so = std::string("D:\\") + kSo;
    std::string hyo = std::string("D:\\") + kHyo;
    EXPECT_FALSE(EndsWithBackslash(so.c_str()));
    EXPECT_FALSE(EndsWithBackslash(hyo.c_str()));
    EXPECT_EQ(Joined(so, "VOICE"), so + "\\VOICE");
    EXPECT_EQ(Joined(hyo, "VOICE"), hyo + "\\VOICE");
    // The same character followed by a real backslash ends in one.
    EXPECT_TRUE(EndsWithBackslash((so + "\\").c_str()));
    EXPECT_EQ(Joined(so + "\\", "VOICE"), so + "\\VOICE");
    // A single-byte katakana (0xB0-0xDF) is no lead byte: a backslash after it is real.
    EXPECT_TRUE(EndsWithBackslash("D:\\\xB1\\"));
}

TEST(AppendPathTest, ThePartsOfAPath) {
    EXPECT_EQ(FileNameOffset("D:\\Data\\A.RPD"), 8u);
    EXPECT_EQ(FileNameOffset("A.RPD"), 0u);
    EXPECT_EQ(FileNameOffset("D:/A.RPD"), 3u);
    EXPECT_EQ(FileNameOffset("D:\\\x95\x5C.ini"), 3u);  // the 0x5C of "表" is no separator
    EXPECT_EQ(FileNameOffset("D:\\\x83\x5C"), 3u);      // nor of "ソ" at the very end
    EXPECT_EQ(FileNameOffset("D:\\\x83"), 3u);          // a lone lead byte at the end is one byte
    EXPECT_FALSE(EndsWithBackslash("D:\\\x83"));
    for (const char* qualified : {"A:\\x", "Z:\\", "a:\\x", "z:\\", "\\\\server\\share"}) {
        EXPECT_TRUE(IsFullyQualifiedPath(qualified)) << qualified;
    }
    for (const char* relative : {"x", "C:x", "\\x", "x\\y", "\\\\", "\\\\\\x", "@:\\x", "[:\\x", "`:\\x", "{:\\x"}) {
        EXPECT_FALSE(IsFullyQualifiedPath(relative)) << relative;
    }
    // Names compared as the file system compares them: ASCII without case, a double-byte
    // character's second byte exactly ("ピ" is 83 61, "ア" 83 41).
    EXPECT_TRUE(SameNameIgnoringCase("D:\\Zz\\\x83\x61", "d:\\zZ\\\x83\x61"));
    EXPECT_FALSE(SameNameIgnoringCase("D:\\\x83\x61", "D:\\\x83\x41"));
    EXPECT_FALSE(SameNameIgnoringCase("\x82\x41", "\x83\x41"));
    EXPECT_FALSE(SameNameIgnoringCase("D:\\a", "D:\\ab"));
    char out[4];
    EXPECT_TRUE(CopyPath(out, sizeof out, "abc"));
    EXPECT_STREQ(out, "abc");
    EXPECT_FALSE(CopyPath(out, sizeof out, "abcd")) << "no room for its NUL";
    EXPECT_STREQ(out, "");
}

TEST(AppendPathTest, TextsAreExpandedWithinTheirBuffer) {
    char out[12];
    ExpandText(out, sizeof out, "%s: %d!", "\x83\x41", 1234567890);  // "ア"
    EXPECT_STREQ(out, "\x83\x41: 1234567");
    ExpandText(out, sizeof out, "%d", 0, 0);
    EXPECT_STREQ(out, "0");
}

TEST(AppendPathTest, LeadByteRanges) {
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte(0xDF));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0xFD));
    EXPECT_FALSE(IsLeadByte('\\'));
}

TEST(AppendPathTest, AJoinThatWouldNotFitIsRefusedAndLeavesThePathAsItWas) {
    char path[260];
    std::memset(path, 0, sizeof path);
    std::string folder(250, 'a');
    std::strcpy(path, folder.c_str());

    // 250 + 1 + 8 = 259 characters and the NUL: exactly the buffer.
    EXPECT_TRUE(AppendPath(path, "12345678"));
    EXPECT_EQ(std::strlen(path), 259u);

    std::strcpy(path, folder.c_str());
    EXPECT_FALSE(AppendPath(path, "123456789"));
    EXPECT_EQ(std::string(path), folder);

    // The backslash counts too: a folder that already ends in one needs none.
    std::string withSlash(249, 'a');
    withSlash += '\\';
    std::strcpy(path, withSlash.c_str());
    EXPECT_TRUE(AppendPath(path, "123456789"));
    EXPECT_EQ(std::strlen(path), 259u);
}

TEST(AppendPathTest, AnUnterminatedPathBufferIsRefused) {
    char path[260];
    std::memset(path, 'a', sizeof path);
    EXPECT_FALSE(AppendPath(path, "x"));
    EXPECT_EQ(path[259], 'a');
}

TEST(PathListTest, EntriesAreNulSeparatedAndTheListEndsWithASecondNul) {
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    PathList list(buffer, sizeof buffer);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(buffer[0], '\0') << "an empty list is already closed";
    EXPECT_TRUE(list.Append("C:\\a"));
    EXPECT_TRUE(list.Append("C:\\bb"));
    EXPECT_EQ(list.count, 2u);
    EXPECT_EQ(std::memcmp(buffer, "C:\\a\0C:\\bb\0\0", 12), 0);
    EXPECT_EQ(Entries(list.Text()), (std::vector<std::string>{"C:\\a", "C:\\bb"}));
}

TEST(PathListTest, AnEntryThatWouldTakeTheClosingNulIsRefused) {
    char buffer[12];
    PathList list(buffer, sizeof buffer);
    EXPECT_TRUE(list.Append("abcd"));     // bytes 0-4
    EXPECT_FALSE(list.Append("efghij"));  // bytes 5-11 would leave no closing NUL
    EXPECT_EQ(list.count, 1u);
    EXPECT_TRUE(list.Append("efghi"));  // bytes 5-10, the close at 11
    EXPECT_EQ(list.count, 2u);
    EXPECT_FALSE(list.Append("z"));
    EXPECT_EQ(buffer[sizeof buffer - 1], '\0');
    EXPECT_EQ(Entries(buffer), (std::vector<std::string>{"abcd", "efghi"}));
}

TEST(PathListTest, AFullSizedPathFitsASingleEntryListOnlyWithRoomForBothNuls) {
    char buffer[260];
    PathList list(buffer, sizeof buffer);
    std::string longest(258, 'p');
    EXPECT_FALSE(list.Append((longest + "p").c_str())) << "259 characters leave no room to close the list";
    EXPECT_TRUE(list.Append(longest.c_str()));
    EXPECT_EQ(buffer[258], '\0');
    EXPECT_EQ(buffer[259], '\0');
}

TEST(PathListTest, AnEmptyEntryWouldEndTheListEarlyAndIsRefused) {
    char buffer[16];
    PathList list(buffer, sizeof buffer);
    EXPECT_FALSE(list.Append(""));
    EXPECT_EQ(list.count, 0u);
}

TEST(PathListTest, PairsGoInAllOrNothing) {
    char from[16];
    char to[10];
    PathList sources(from, sizeof from);
    PathList targets(to, sizeof to);
    EXPECT_TRUE(PathList::AppendPair(sources, "s1", targets, "t1"));
    // The target no longer fits: the source must not go in alone.
    EXPECT_FALSE(PathList::AppendPair(sources, "s2", targets, "t2345678"));
    EXPECT_FALSE(PathList::AppendPair(sources, "s2", targets, ""));
    // Nor the target alone when the source is one byte too long (12 bytes of room).
    EXPECT_FALSE(PathList::AppendPair(sources, "s23456789012", targets, "t"));
    EXPECT_TRUE(PathList::AppendPair(sources, "s3", targets, "t3"));
    EXPECT_EQ(sources.count, 2u);
    EXPECT_EQ(targets.count, 2u);
    EXPECT_EQ(Entries(from), (std::vector<std::string>{"s1", "s3"}));
    EXPECT_EQ(Entries(to), (std::vector<std::string>{"t1", "t3"}));
}

}  // namespace
