// The real platform layer passes calls through unchanged: formatting as
// wsprintfA does it, a shell copy that really copies, a search that finds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "platform/win32/win32_headers.h"
#include "temp_folder.h"

namespace {

constexpr char kGuard = 0x5A;

int ticks = 0;
sys::TimerId tickedId = 0;

void CountTick(sys::Window, uint32_t, sys::TimerId id, uint32_t) {
    ++ticks;
    tickedId = id;
}

}  // namespace

// A thread timer's WM_TIMER carries its procedure in lParam: the loop reaches the
// procedure only if dispatch gets the message exactly as GetMessageA gave it.
TEST(SeamMessages, ThreadTimerReachesItsProcedureThroughTheLoop) {
    ticks = 0;
    sys::TimerId id = sys::SetTimer(nullptr, 0, 10, CountTick);
    ASSERT_NE(id, 0u);
    // A window's timer started after it, posting plain WM_TIMER, leaves it alone.
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_EQ(sys::SetTimer(window, 2, 10, nullptr), 2u);
    sys::Message message = {};
    for (int i = 0; i < 50 && ticks == 0 && sys::GetMessageA(&message) > 0; ++i) {
        sys::TranslateMessage(&message);
        sys::DispatchMessageA(&message);
    }
    EXPECT_TRUE(sys::KillTimer(nullptr, id));
    ::DestroyWindow(window);
    EXPECT_GE(ticks, 1);
    EXPECT_EQ(tickedId, id);

    sys::PostQuitMessage(3);
    EXPECT_EQ(sys::GetMessageA(&message), 0);
    EXPECT_EQ(message.wParam, 3u);
}

TEST(SeamMessages, TrayRecordHasItsFirstVersionSize) {
    if (sizeof(void*) == 4) {
        EXPECT_EQ(sys::NotifyIconDataV1Size(), 88u);
    }
    EXPECT_LT(sys::NotifyIconDataV1Size(), sizeof(NOTIFYICONDATAA));
}

TEST(SeamFormat, GivesWsprintfsText) {
    char expected[1025] = {};
    char out[64];
    ::wsprintfA(expected, "REPLAY%03d.RPD", 7);
    EXPECT_EQ(sys::FormatInt(out, sizeof out, "REPLAY%03d.RPD", 7), 13);
    EXPECT_STREQ(out, expected);

    ::wsprintfA(expected, "CH%02dVO%02d.WAV", 3, 20);
    EXPECT_EQ(sys::FormatInt2(out, sizeof out, "CH%02dVO%02d.WAV", 3, 20), 12);
    EXPECT_STREQ(out, expected);
    EXPECT_STREQ(out, "CH03VO20.WAV");
}

TEST(SeamFormat, NeverWritesPastTheBufferItIsGiven) {
    char block[16];
    std::memset(block, kGuard, sizeof block);
    EXPECT_EQ(sys::FormatInt(block, 8, "REPLAY%03d.RPD", 5), 7);
    EXPECT_STREQ(block, "REPLAY0");
    for (std::size_t i = 8; i < sizeof block; ++i) EXPECT_EQ(block[i], kGuard) << "byte " << i;

    std::memset(block, kGuard, sizeof block);
    EXPECT_EQ(sys::FormatInt2(block, 1, "CH%02dVO%02d.WAV", 1, 2), 0);
    EXPECT_EQ(block[0], '\0');
    EXPECT_EQ(block[1], kGuard);
}

TEST(SeamFormat, TextLongerThanWsprintfsLimitStaysTerminated) {
    // wsprintfA stops at 1024 bytes and may leave them unterminated.
    static char out[2048];
    std::memset(out, kGuard, sizeof out);
    int length = sys::FormatInt(out, sizeof out, "%01500d", 1);
    EXPECT_GT(length, 0);
    EXPECT_LE(length, 1024);
    EXPECT_EQ(std::strlen(out), static_cast<std::size_t>(length));
    EXPECT_EQ(out[length - 1], '1') << "kept the start of the text, not its end";
    EXPECT_EQ(out[length + 1], kGuard);
}

TEST(SeamShell, CopyIntoNewFolderThenFindTheCopy) {
    TempFolder folder;
    std::string source = folder / "a.RPD";
    std::string target = folder / "sub\\b.RPD";
    TempFolder::WriteFile(source, "replay");

    char from[MAX_PATH + 1] = {};
    char to[MAX_PATH + 1] = {};
    std::strcpy(from, source.c_str());
    std::strcpy(to, target.c_str());
    sys::FileOpRequest request = {};
    request.wFunc = sys::kFoCopy;
    request.pFrom = from;
    request.pTo = to;
    request.fFlags = sys::kFofMultiDestFiles | sys::kFofSilent | sys::kFofNoConfirmation | sys::kFofFilesOnly |
                     sys::kFofNoConfirmMkdir;
    EXPECT_EQ(sys::SHFileOperationA(&request), 0);
    EXPECT_EQ(request.fAnyOperationsAborted, 0);
    EXPECT_EQ(TempFolder::ReadFile(target), "replay");

    // Give the copy a known time: Wine reports the last-write time as the
    // creation time, so the search must carry the one we set.
    SYSTEMTIME when = {2007, 5, 6, 12, 21, 30, 5, 0};
    FILETIME stamp;
    ::SystemTimeToFileTime(&when, &stamp);
    HANDLE file = ::CreateFileA(target.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &stamp);
    ::CloseHandle(file);

    sys::FindData found = {};
    sys::SearchHandle search = sys::FindFirstFileA((folder / "sub\\*.RPD").c_str(), &found);
    ASSERT_NE(search, sys::kInvalidSearch);
    EXPECT_STREQ(found.cFileName, "b.RPD");
    EXPECT_EQ(found.dwFileAttributes & sys::kFileAttributeDirectory, 0u);
    sys::SystemTime converted = {};
    EXPECT_TRUE(sys::FileTimeToSystemTime(&found.ftLastWriteTime, &converted));
    EXPECT_EQ(converted.wYear, 2007);
    EXPECT_EQ(converted.wMonth, 5);
    EXPECT_EQ(converted.wDay, 12);
    EXPECT_EQ(converted.wHour, 21);
    EXPECT_EQ(converted.wMinute, 30);
    EXPECT_EQ(converted.wSecond, 5);
    EXPECT_FALSE(sys::FindNextFileA(search, &found));
    EXPECT_TRUE(sys::FindClose(search));

    EXPECT_EQ(sys::FindFirstFileA((folder / "sub\\*.WAV").c_str(), &found), sys::kInvalidSearch);
}

// A character the code page spells only by a look-alike (the yen sign, which best
// fit makes a backslash) or not at all comes back as '?', never as another path;
// so does the picker's path.
TEST(SeamFiles, NamesTheCodePageCannotSpellExactlyComeBackWithQuestionMarks) {
    TempFolder folder;
    wchar_t base[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, folder.Path().c_str(), -1, base, MAX_PATH);
    const std::wstring yen = std::wstring(base) + L"\\a\u00A5b.RPD", hangul = std::wstring(base) + L"\\c\uD55Cd.RPD";
    for (const std::wstring* name : {&yen, &hangul}) {
        ::CloseHandle(::CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    std::vector<std::string> found;
    sys::FindData data = {};
    sys::SearchHandle search = sys::FindFirstFileA((folder / "*.RPD").c_str(), &data);
    for (bool more = search != sys::kInvalidSearch; more; more = sys::FindNextFileA(search, &data)) {
        found.push_back(data.cFileName);
    }
    sys::FindClose(search);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"a?b.RPD", "c?d.RPD"}));
    PIDLIST_ABSOLUTE list = ::ILCreateFromPathW(yen.c_str());
    char path[MAX_PATH] = {};
    EXPECT_TRUE(list != nullptr && sys::SHGetPathFromIDListA(list, path));
    EXPECT_EQ(std::string(path), folder / "a?b.RPD");
    ::ILFree(list);
    for (const std::wstring* name : {&yen, &hangul}) ::DeleteFileW(name->c_str());
}
