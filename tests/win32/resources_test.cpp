// The compiled resources: the hidden window's template, the tray menu, the icon,
// the version record and the manifest, read back through the real API.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_headers.h"
#include "res/resource.h"

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

std::u16string MenuText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return std::u16string(reinterpret_cast<const char16_t*>(text));
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

TEST(Resources, TrayMenuHasTheTaskTrayPopupInJapanese) {
    ASSERT_FALSE(ResourceBytes(RT_MENU, IDR_TRAYMENU, kJapanese).empty());
    HMENU menu = ::LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 1);
    EXPECT_EQ(MenuText(menu, 0), u"TaskTray");
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);

    const struct {
        UINT id;
        const char16_t* text;
    } items[] = {{40004, u"プレイモード(&A)"}, {40007, u"ブラウズモード(&B)"}, {0, nullptr},
                 {40008, u"リプレイ(&R)"},     {40009, u"ボイス(&V)"},         {0, nullptr},
                 {40006, u"終了(&X)"}};
    ASSERT_EQ(::GetMenuItemCount(popup), 7);
    for (UINT position = 0; position < 7; ++position) {
        UINT state = ::GetMenuState(popup, position, MF_BYPOSITION);
        if (items[position].text == nullptr) {
            EXPECT_NE(state & MF_SEPARATOR, 0u) << "position " << position;
            continue;
        }
        EXPECT_EQ(::GetMenuItemID(popup, position), items[position].id) << "position " << position;
        EXPECT_EQ(MenuText(popup, position), items[position].text) << "position " << position;
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MFS_DEFAULT), 0u) << "position " << position;
    }
    ::DestroyMenu(menu);
}

TEST(Resources, IconIsOneSixteenColourImageOf296Bytes) {
    std::string group = ResourceBytes(RT_GROUP_ICON, IDI_TRAY, kJapanese);
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(At<WORD>(group, 2), 1) << "type icon";
    EXPECT_EQ(At<WORD>(group, 4), 1) << "images";
    EXPECT_EQ(At<BYTE>(group, 6), 16);
    EXPECT_EQ(At<BYTE>(group, 7), 16);
    EXPECT_EQ(At<BYTE>(group, 8), 16) << "colours";
    EXPECT_EQ(At<WORD>(group, 10), 1) << "planes";
    EXPECT_EQ(At<WORD>(group, 12), 4) << "bits per pixel";
    EXPECT_EQ(At<DWORD>(group, 14), 296u);
    std::string image = ResourceBytes(RT_ICON, At<WORD>(group, 18), kJapanese);
    EXPECT_EQ(image.size(), 296u);

    HANDLE icon = ::LoadImageA(Self(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 16, 16, LR_SHARED);
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
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
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
    EXPECT_EQ(VersionString(block, L"FileVersion"), u"1, 1, 1, 0");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), u"1, 1, 1, 0");
    EXPECT_EQ(VersionString(block, L"InternalName"), u"zolm");
    for (std::wstring empty : {L"Comments", L"CompanyName", L"LegalTrademarks", L"PrivateBuild", L"SpecialBuild"}) {
        EXPECT_EQ(VersionString(block, empty.c_str()), u"") << std::string(empty.begin(), empty.end());
    }
}

TEST(Resources, ManifestAsksForNoElevation) {
    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(Self(), found)));
    std::string manifest(data, ::SizeofResource(Self(), found));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}
