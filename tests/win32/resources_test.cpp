// The compiled resources: the hidden window's template, the tray menu, the icon,
// the version record and the manifest, read back through the real API. The
// version they must carry comes from the build, as ZOLM_PROJECT_VERSION.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "platform/win32/win32_headers.h"
#include "rc_tables.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

HMODULE Self() { return ::GetModuleHandleA(nullptr); }

// The resource's bytes in the given language; empty when it is not there.
std::string ResourceBytes(LPCSTR type, UINT id, WORD language) {
    HRSRC found = ::FindResourceExA(Self(), type, MAKEINTRESOURCEA(id), language);
    if (found == nullptr) return std::string();
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(Self(), found)));
    return std::string(data, ::SizeofResource(Self(), found));
}

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::u16string VersionString(const std::string& block, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length)) return u"<missing>";
    return std::u16string(static_cast<const char16_t*>(value));
}

}  // namespace

TEST(Resources, HiddenWindowIsAPlainEnglishDialogTemplate) {
    std::string dialog = ResourceBytes(RT_DIALOG, IDD_HIDDEN, kEnglishUs);
    ASSERT_GE(dialog.size(), 18u + 6u);
    EXPECT_NE(At<WORD>(dialog, 2), 0xFFFF) << "extended template";
    EXPECT_EQ(At<DWORD>(dialog, 0), 0x80C80040u) << "WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT";
    EXPECT_EQ(At<DWORD>(dialog, 4), 0u) << "extended style";
    EXPECT_EQ(At<WORD>(dialog, 8), 0) << "controls";
    EXPECT_EQ(At<short>(dialog, 10), 0);
    EXPECT_EQ(At<short>(dialog, 12), 0);
    EXPECT_EQ(At<short>(dialog, 14), 71);
    EXPECT_EQ(At<short>(dialog, 16), 77);
    EXPECT_EQ(At<WORD>(dialog, 18), 0) << "menu";
    EXPECT_EQ(At<WORD>(dialog, 20), 0) << "class";
    EXPECT_EQ(At<WORD>(dialog, 22), 0) << "title";
    EXPECT_EQ(At<WORD>(dialog, 24), 8) << "font size";
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(dialog.data() + 26)), u"MS UI Gothic");
}

namespace {

// Compares one level of a loaded menu, item by item, with the lines of the
// resource source from row up to the level's kRcEnd, and leaves row there.
void ExpectMenuLevel(HMENU menu, const RcMenuItem*& row, const std::string& where) {
    int position = 0;
    for (; row->line != kRcEnd; ++row, ++position) {
        std::string item = where + "/" + std::to_string(position);
        char text[256] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(::GetMenuItemInfoA(menu, position, TRUE, &info)) << item;
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, row->line == kRcSeparator) << item;
        EXPECT_EQ(info.hSubMenu != nullptr, row->line == kRcPopup) << item;
        if (row->line == kRcSeparator) continue;
        EXPECT_EQ(info.fState, 0u) << item << ": checked, greyed or default";
        EXPECT_STREQ(text, row->bytes) << item;
        if (row->line == kRcPopup) {
            ++row;
            ExpectMenuLevel(info.hSubMenu, row, item);
        } else {
            EXPECT_EQ(info.wID, row->id) << item;
        }
    }
    EXPECT_EQ(::GetMenuItemCount(menu), position) << where;
}

}  // namespace

TEST(Resources, TrayMenuIsItsSourceInJapanese) {
    ASSERT_EQ(::GetACP(), 932u);
    ASSERT_FALSE(ResourceBytes(RT_MENU, IDR_TRAYMENU, kJapanese).empty());
    HMENU menu = ::LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(menu, nullptr);
    const RcMenuItem* row = kRcMenus;
    while (row->menu != IDR_TRAYMENU) ++row;
    ExpectMenuLevel(menu, row, "menu");
    ::DestroyMenu(menu);
}

TEST(Resources, IconHoldsTheTrayAndExplorerSizes) {
    std::string group = ResourceBytes(RT_GROUP_ICON, IDI_TRAY, kJapanese);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(At<WORD>(group, 2), 1) << "type icon";
    WORD count = At<WORD>(group, 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::set<std::pair<int, int>> images;  // pixels, bits per pixel
    for (std::size_t entry = 6; entry < group.size(); entry += 14) {
        EXPECT_EQ(At<BYTE>(group, entry + 1), At<BYTE>(group, entry)) << "square";
        EXPECT_EQ(ResourceBytes(RT_ICON, At<WORD>(group, entry + 12), kJapanese).size(), At<DWORD>(group, entry + 8));
        images.insert({At<BYTE>(group, entry), At<WORD>(group, entry + 6)});
    }
    std::set<std::pair<int, int>> expected = {{16, 32}, {20, 32}, {24, 32}, {32, 32},
                                              {40, 32}, {48, 32}, {16, 4},  {32, 4}};
    EXPECT_EQ(images, expected);

    HANDLE icon = ::LoadImageA(Self(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 24, 24, LR_SHARED);
    EXPECT_NE(icon, nullptr);
}

TEST(Resources, VersionRecordNamesTheProgram) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD size = ::GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, &block[0]));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    unsigned part[4] = {};
    ASSERT_EQ(std::sscanf(ZOLM_PROJECT_VERSION, "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]), 4);
    EXPECT_EQ(fixed->dwFileVersionMS, part[0] << 16 | part[1]);
    EXPECT_EQ(fixed->dwFileVersionLS, part[2] << 16 | part[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, part[0] << 16 | part[1]);
    EXPECT_EQ(fixed->dwProductVersionLS, part[2] << 16 | part[3]);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(VersionString(block, L"FileDescription"), u"リプレイ&連鎖ボイスマネジャ");
    std::string text = std::to_string(part[0]) + ", " + std::to_string(part[1]) + ", " + std::to_string(part[2]) +
                       ", " + std::to_string(part[3]);
    EXPECT_EQ(VersionString(block, L"FileVersion"), std::u16string(text.begin(), text.end()));
    EXPECT_EQ(VersionString(block, L"ProductVersion"), std::u16string(text.begin(), text.end()));
    EXPECT_EQ(VersionString(block, L"InternalName"), u"zolm");
    for (std::wstring empty : {L"Comments", L"CompanyName", L"LegalTrademarks", L"PrivateBuild", L"SpecialBuild"}) {
        EXPECT_EQ(VersionString(block, empty.c_str()), u"") << std::string(empty.begin(), empty.end());
    }
}

TEST(Resources, ManifestAsksForVisualStylesDpiAwarenessAndNoElevation) {
    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(Self(), found)));
    std::string manifest(data, ::SizeofResource(Self(), found));
    for (std::string entry : {
             std::string("name=\"zolm\" version=\"") + ZOLM_PROJECT_VERSION + "\"",
             std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
             std::string(">true/pm</dpiAware>"),
             std::string(">PerMonitorV2, PerMonitor</dpiAwareness>"),
             std::string("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"),  // Windows 7
             std::string("{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"),  // 8
             std::string("{1f676c76-80e1-4239-95bb-83d0f6d0da78}"),  // 8.1
             std::string("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"),  // 10 and 11
             std::string("level=\"asInvoker\""),
         }) {
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
    }
}
