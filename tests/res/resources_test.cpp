#include <gtest/gtest.h>

#include "nt_test.h"
#include "res/resource.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// --- the tray menu

std::string menuText(HMENU menu, UINT position)
{
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(TrayMenu, HasOnePopupWithRestoreAndExit)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_SYSTRAY));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    EXPECT_EQ("SYSTRAY", menuText(menu, 0));
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(2, GetMenuItemCount(popup));
    EXPECT_EQ(32771u, GetMenuItemID(popup, 0));
    EXPECT_EQ("Restore", menuText(popup, 0));
    EXPECT_EQ(32772u, GetMenuItemID(popup, 1));
    EXPECT_EQ("Exit", menuText(popup, 1));
    for (UINT i = 0; i < 2; ++i) {
        EXPECT_EQ(0u, GetMenuState(popup, i, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED));
    }
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuDefaultItem(popup, FALSE, 0));
    DestroyMenu(menu);
}

// --- the icon

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramIcon, HasTrueColourImagesWithAlphaAtTheStandardSizes)
{
    HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_NORVIK_TALLO), MAKEINTRESOURCEA(14));
    ASSERT_NE(nullptr, group);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    WORD count = 0;
    std::memcpy(&count, dir + 4, sizeof count);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, dir + 6 + i * sizeof entry, sizeof entry);
        sizes.push_back(entry.width);
        EXPECT_EQ(32, entry.bitCount);
        HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3));
        ASSERT_NE(nullptr, image);
        const auto* bits = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, image)));
        const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bits);
        const int pixels = entry.width * entry.width;
        int transparent = 0;
        int opaque = 0;
        for (int p = 0; p < pixels; ++p) {
            const BYTE alpha = bits[info->biSize + 4 * p + 3];
            transparent += alpha == 0;
            opaque += alpha == 255;
        }
        EXPECT_GT(transparent, 0) << entry.width << " px: the corners are see-through";
        EXPECT_GT(opaque, pixels / 2) << entry.width << " px";
    }
    EXPECT_EQ((std::vector<int>{48, 32, 16}), sizes);

    HICON small = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NORVIK_TALLO), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(nullptr, small);
    DestroyIcon(small);
    EXPECT_NE(nullptr, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NORVIK_TALLO)));
}

// --- version and manifest, from the program's own resource script

std::wstring probePath()
{
    return nt_test::moduleDir() + L"\\program_resources_probe.dll";
}

std::string versionString(const std::vector<BYTE>& info, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904e4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0) {
        return "<missing>";
    }
    return std::string(value, std::strlen(value));
}

TEST(ProgramResources, VersionIs1029InUsEnglishWithTheWindowsLatinCodePage)
{
    const std::wstring widePath = probePath();
    const std::string path(widePath.begin(), widePath.end());
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00020009u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00020009u, fixed->dwProductVersionLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04E4, translation[1]);

    EXPECT_EQ("1.0.2.9", versionString(info, "FileVersion"));
    EXPECT_EQ("1.0.2.9", versionString(info, "ProductVersion"));
    EXPECT_EQ("Norvik_Tallo.exe", versionString(info, "InternalName"));
    EXPECT_EQ("Norvik_Tallo.exe", versionString(info, "OriginalFilename"));
}

TEST(ProgramResources, ManifestAsksForAdministratorRights)
{
    HMODULE probe = LoadLibraryExW(probePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, probe);
    HRSRC found = FindResourceA(probe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(probe, found)));
    const std::string manifest(data, SizeofResource(probe, found));
    FreeLibrary(probe);
    EXPECT_NE(std::string::npos,
              manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"));
}

} // namespace
