// The checks that stand between formats from the INI file and the platform's
// formatting routines.
#include <gtest/gtest.h>

#include "shellops/format_check.h"

namespace {

TEST(IntegerFormatTest, AcceptsIntegerConversionsWithFlagsWidthPrecisionAndSize) {
    for (const char* format : {"REPLAY%03d.RPD", "%d", "%i", "%u", "%x", "%X", "%-5d", "%+d", "% d", "%#x", "%08.3d",
                               "%ld", "%hd", "%lu", "100%% %d", "%%%d%%"}) {
        EXPECT_TRUE(IsIntegerFormat(format, 1)) << format;
    }
    EXPECT_TRUE(IsIntegerFormat("CH%02dVO%02d.WAV", 2));
    EXPECT_TRUE(IsIntegerFormat("*.RPD", 0));
    EXPECT_TRUE(IsIntegerFormat("", 0));
    EXPECT_TRUE(IsIntegerFormat("50%%", 0));
}

TEST(IntegerFormatTest, RejectsConversionsThatTakeOtherArgumentsOrAWrongCount) {
    for (const char* format : {"%s",   "REPLAY%s.RPD", "%n", "%c", "%p", "%S",      "%I64d", "%*d",  "%.*d", "%lld",
                               "%hhd", "%e",           "%f", "%o", "%",  "REPLAY%", "%03",   "%d%d", "%d%s", "%5.2"}) {
        EXPECT_FALSE(IsIntegerFormat(format, 1)) << format;
    }
    EXPECT_FALSE(IsIntegerFormat("REPLAY.RPD", 1)) << "no conversion at all";
    EXPECT_FALSE(IsIntegerFormat("CH%02dVO%02d.WAV", 1));
    EXPECT_FALSE(IsIntegerFormat("CH%02dVO.WAV", 2));
    EXPECT_FALSE(IsIntegerFormat(nullptr, 0));
}

TEST(IntegerFormatTest, ShiftJisTextAroundTheConversionIsPlainText) {
    // "リプレイ" in code page 932; no trail byte can be '%' (0x25).
    EXPECT_TRUE(IsIntegerFormat("\x83\x8A\x83\x76\x83\x8C\x83\x43%03d.RPD", 1));
}

TEST(TimeFormatTest, AcceptsTheC89ConversionsAndMsvcrtsHashFlag) {
    EXPECT_TRUE(IsSafeTimeFormat("%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD"));
    EXPECT_TRUE(IsSafeTimeFormat("%a%A%b%B%c%d%H%I%j%m%M%p%S%U%w%W%x%X%y%Y%Z"));
    EXPECT_TRUE(IsSafeTimeFormat("%#d-%#m %#c"));
    EXPECT_TRUE(IsSafeTimeFormat("100%%"));
    EXPECT_TRUE(IsSafeTimeFormat("plain.RPD"));
    EXPECT_TRUE(IsSafeTimeFormat(""));
}

TEST(TimeFormatTest, RejectsConversionsSomeRuntimesDoNotKnow) {
    for (const char* format :
         {"%e", "%F", "%T", "%D", "%G",  "%g",  "%V", "%u",   "%s", "%n",    "%t",  "%C",   "%h", "%k",
          "%l", "%P", "%z", "%E", "%Ey", "%Oy", "%#", "%##d", "%",  "%Y\\%", "%-d", "%03d", "%+Y"}) {
        EXPECT_FALSE(IsSafeTimeFormat(format)) << format;
    }
    EXPECT_FALSE(IsSafeTimeFormat(nullptr));
}

TEST(ArchiveFormatTest, KeepsArchiveNamesBelowTheRootAndValid) {
    // "ソ" and "ポ" end in the bytes of '\' and '|'.
    for (const char* format : {"%Y\\%m\\%d\\%Y-%m-%dT%H-%M-%S.RPD", "x..y\\%Y %p %A.RPD", "\x83\x5C\\%Y\x83\x7C.RPD"}) {
        EXPECT_TRUE(IsSafeArchiveFormat(format)) << format;
    }
    for (const char* format :
         {"..\\..\\x\\%Y.RPD", "%Y\\..\\x.RPD", ".\\%Y.RPD", "%Y\\...", "\\%Y.RPD", "%Y\\\\%m.RPD", "%Y\\",
          "C:%Y.RPD",          "%c.RPD",        "%x.RPD",    "%X.RPD",  "%Y\x83",   "%Y\x1f.RPD",   "%Y*.RPD",
          "%Y?.RPD",           "%Y\".RPD",      "%Y<.RPD",   "%Y>.RPD", "%Y|.RPD",  "%Y/%m.RPD",    "%e.RPD"}) {
        EXPECT_FALSE(IsSafeArchiveFormat(format)) << format;
    }
}

}  // namespace
