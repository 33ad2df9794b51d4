// The string table as the real LoadStringA hands it out under code page 932:
// byte for byte what iconv makes of the same texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "rc_tables.h"
#include "platform/profile.h"
#include "platform/win32/win32_headers.h"

namespace {

sys::Instance OwnModule() { return ::GetModuleHandleA(nullptr); }

std::string Load(uint32_t id, int size = 1024) {
    char buffer[1024];
    std::memset(buffer, 0x7F, sizeof buffer);
    int length = sys::LoadStringA(OwnModule(), id, buffer, size);
    EXPECT_EQ(buffer[length], '\0') << "string " << id << " not terminated";
    return std::string(buffer, length);
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

// The text of string id as iconv converted it, NULL when there is none.
const char* Expected(uint32_t id) {
    for (const Cp932String& s : kCp932Strings)
        if (s.id == id) return s.bytes;
    return nullptr;
}

}  // namespace

TEST(StringTable, AnsiCodePageIs932) {
    ASSERT_EQ(::GetACP(), 932u) << "Wine must run with LC_ALL=ja_JP.UTF-8 (locale ja_JP.UTF-8 generated), "
                                   "or every Japanese text comes out in another code page";
}

TEST(StringTable, EveryStringHasTheShiftJisBytesOfItsText) {
    ASSERT_EQ(::GetACP(), 932u);
    // Every id from 1 up, none left out.
    const std::size_t count = sizeof kCp932Strings / sizeof kCp932Strings[0];
    ASSERT_GE(count, 21u);
    for (uint32_t id = 1; id <= count; ++id) {
        const char* expected = Expected(id);
        ASSERT_NE(expected, nullptr) << "no text for string " << id;
        EXPECT_EQ(Hex(Load(id)), Hex(expected)) << "string " << id;
    }
}

TEST(StringTable, MessagesKeepTheirLineFeedsAndSingleBackslashes) {
    ASSERT_EQ(::GetACP(), 932u);
    // The two questions begin with the caption and one space; every break is one LF.
    const struct {
        uint32_t id;
        long lineFeeds;
    } messages[] = {{IDS_ALREADY_RUNNING, 1}, {IDS_FIRST_RUN_QUESTION, 3}, {IDS_NO_INSTALL_PATH, 1}};
    for (const auto& message : messages) {
        std::string text = Load(message.id);
        if (message.id != IDS_NO_INSTALL_PATH) {
            EXPECT_EQ(text.compare(0, 5, "ZOLM "), 0) << "string " << message.id;
        }
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), message.lineFeeds) << "string " << message.id;
        EXPECT_EQ(text.find('\r'), std::string::npos) << "string " << message.id;
    }
    // The first-run question is the longest text: 152 bytes in code page 932.
    EXPECT_EQ(Load(IDS_FIRST_RUN_QUESTION).size(), 152u);
    EXPECT_EQ(Load(IDS_STORED_FORMAT), "%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD");
    EXPECT_EQ(Load(IDS_STORED_FORMAT_UNUSED), "%d\\%02d\\%02d\\%d-%02d-%02dT%02d-%02d-%02d.RPD");
}

TEST(StringTable, ShortBufferGetsACutTerminatedText) {
    char buffer[16];
    std::memset(buffer, 0x7F, sizeof buffer);
    int length = sys::LoadStringA(OwnModule(), IDS_FIRST_RUN_QUESTION, buffer, 8);
    EXPECT_LE(length, 7);
    EXPECT_EQ(buffer[length], '\0');
    EXPECT_EQ(buffer[8], 0x7F) << "wrote past the size it was given";
}
