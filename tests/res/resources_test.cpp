#include <gtest/gtest.h>

#include "nt_test.h"
#include "nt_version.h"
#include "res/resource.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// --- the dialog template as stored (DLGTEMPLATEEX)

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* at) : at_(at) {}

    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }

    std::wstring text()
    {
        std::wstring s;
        for (WORD c = word(); c != 0; c = word()) {
            s.push_back(static_cast<wchar_t>(c));
        }
        return s;
    }

    // A name or an ordinal; ordinals come back as "#<number>".
    std::wstring nameOrOrdinal()
    {
        const WORD first = word();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(word());
        }
        std::wstring s(1, static_cast<wchar_t>(first));
        return s + text();
    }

    void alignToDword(const BYTE* base)
    {
        while ((at_ - base) % 4 != 0) {
            ++at_;
        }
    }

    void skip(std::size_t bytes) { at_ += bytes; }

private:
    template <typename T>
    T take()
    {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    const BYTE* at_;
};

struct Control {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring windowClass;
    std::wstring text;
};

struct Template {
    WORD version = 0, signature = 0;
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring typeface;
    std::vector<Control> controls;
};

// Windows' own templates store the standard classes by atom.
std::wstring className(const std::wstring& stored)
{
    if (stored == L"#128") {
        return L"Button";
    }
    if (stored == L"#130") {
        return L"Static";
    }
    return L"<by name: " + stored + L">";
}

Template readMainTemplate()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_NORVIK_TALLO_DIALOG), MAKEINTRESOURCEA(5));
    if (found == nullptr) {
        throw std::runtime_error("no dialog template 102");
    }
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    TemplateReader in(base);
    Template t;
    t.version = in.word();
    t.signature = in.word();
    in.dword(); // help id
    t.exStyle = in.dword();
    t.style = in.dword();
    const WORD count = in.word();
    t.x = in.coordinate();
    t.y = in.coordinate();
    t.cx = in.coordinate();
    t.cy = in.coordinate();
    t.menu = in.nameOrOrdinal();
    t.windowClass = in.nameOrOrdinal();
    t.title = in.text();
    if (t.style & DS_SETFONT) {
        t.pointSize = in.word();
        t.weight = in.word();
        t.italic = in.byte();
        t.charset = in.byte();
        t.typeface = in.text();
    }
    for (WORD i = 0; i < count; ++i) {
        in.alignToDword(base);
        Control c;
        in.dword(); // help id
        c.exStyle = in.dword();
        c.style = in.dword();
        c.x = in.coordinate();
        c.y = in.coordinate();
        c.cx = in.coordinate();
        c.cy = in.coordinate();
        c.id = in.dword();
        c.windowClass = className(in.nameOrOrdinal());
        c.text = in.nameOrOrdinal();
        in.skip(in.word()); // creation data
        t.controls.push_back(c);
    }
    return t;
}

struct ExpectedControl {
    DWORD id;
    const wchar_t* windowClass;
    DWORD style;
    short x, y, cx, cy;
};

// In template order, which is the z-order and decides the dialog groups.
constexpr ExpectedControl kControls[] = {
    {1028, L"Button", 0x50021003, 130, 106, 8, 12},  {1029, L"Button", 0x50021003, 140, 106, 8, 12},
    {1030, L"Button", 0x50021003, 151, 106, 8, 12},  {1031, L"Button", 0x50021003, 162, 106, 8, 12},
    {1032, L"Button", 0x40021003, 173, 106, 8, 12},  {1033, L"Button", 0x40021003, 184, 106, 8, 12},
    {1034, L"Button", 0x40021003, 195, 106, 8, 12},  {1035, L"Button", 0x40021003, 206, 106, 8, 12},
    {1036, L"Button", 0x40021003, 217, 106, 8, 12},  {1037, L"Button", 0x40021003, 229, 106, 8, 12},
    {1, L"Button", 0x40000001, 263, 34, 50, 16},     {2, L"Button", 0x40000000, 263, 53, 50, 16},
    {1000, L"Button", 0x50000000, 231, 8, 17, 17},   {1001, L"Button", 0x50000000, 251, 8, 17, 17},
    {1043, L"Button", 0x50021009, 117, 76, 45, 17},  {1044, L"Button", 0x50001009, 163, 76, 48, 17},
    {1004, L"Button", 0x50000000, 103, 179, 50, 17}, {1005, L"Button", 0x50000000, 158, 179, 50, 17},
    {1006, L"Button", 0x50000000, 213, 179, 50, 17}, {1009, L"Static", 0x50020000, 16, 131, 195, 15},
    {1007, L"Button", 0x50020009, 221, 128, 27, 10}, {1008, L"Button", 0x50000009, 221, 139, 25, 10},
    {1024, L"Button", 0x50021003, 85, 106, 8, 12},   {1025, L"Button", 0x50021003, 97, 106, 8, 12},
    {1026, L"Button", 0x50021003, 108, 106, 8, 12},  {1027, L"Button", 0x50021003, 119, 106, 8, 12},
};

TEST(MainDialogTemplate, IsACaptionlessPopupWithTheShellFont)
{
    const Template t = readMainTemplate();
    EXPECT_EQ(1, t.version);
    EXPECT_EQ(0xFFFF, t.signature);
    EXPECT_EQ(0x90000048u, t.style);
    EXPECT_EQ(0x00040000u, t.exStyle);
    EXPECT_EQ(0, t.x);
    EXPECT_EQ(0, t.y);
    EXPECT_EQ(320, t.cx);
    EXPECT_EQ(234, t.cy);
    EXPECT_EQ(L"", t.menu);
    EXPECT_EQ(L"", t.windowClass);
    EXPECT_EQ(L"", t.title);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ(0, t.weight);
    EXPECT_EQ(0, t.italic);
    EXPECT_EQ(DEFAULT_CHARSET, t.charset);
    EXPECT_EQ(L"MS Shell Dlg", t.typeface);
}

TEST(MainDialogTemplate, ListsEveryControlInOrderWithItsExactStyleAndPlace)
{
    const Template t = readMainTemplate();
    ASSERT_EQ(std::size(kControls), t.controls.size());
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const Control& c = t.controls[i];
        const ExpectedControl& e = kControls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(e.id));
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.windowClass, c.windowClass);
        EXPECT_EQ(e.style, c.style);
        EXPECT_EQ(0u, c.exStyle);
        EXPECT_EQ(e.x, c.x);
        EXPECT_EQ(e.y, c.y);
        EXPECT_EQ(e.cx, c.cx);
        EXPECT_EQ(e.cy, c.cy);
    }
}

TEST(MainDialogTemplate, OnlyThePlainButtonsCarryText)
{
    const Template t = readMainTemplate();
    for (const Control& c : t.controls) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        switch (c.id) {
        case IDOK:
            EXPECT_EQ(L"OK", c.text);
            break;
        case IDCANCEL:
            EXPECT_EQ(L"Cancel", c.text);
            break;
        case IDC_RADIO_YES:
            EXPECT_EQ(L"Yes", c.text);
            break;
        case IDC_RADIO_NO:
            EXPECT_EQ(L"No", c.text);
            break;
        case IDC_AUTOSTART_LABEL:
            // The program sets the caption; the template may carry it already.
            EXPECT_TRUE(c.text.empty() || c.text == L"Run Tallo Utility when the system starts");
            break;
        default:
            EXPECT_EQ(L"", c.text) << "skin buttons show only their pictures";
        }
    }
}

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

TEST(ProgramResources, VersionIsTheProjectsInUsEnglishWithTheWindowsLatinCodePage)
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
    const DWORD high = MAKELONG(NT_VERSION_MINOR, NT_VERSION_MAJOR);
    const DWORD low = MAKELONG(NT_VERSION_TWEAK, NT_VERSION_PATCH);
    EXPECT_EQ(high, fixed->dwFileVersionMS);
    EXPECT_EQ(low, fixed->dwFileVersionLS);
    EXPECT_EQ(high, fixed->dwProductVersionMS);
    EXPECT_EQ(low, fixed->dwProductVersionLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04E4, translation[1]);

    EXPECT_EQ(NT_VERSION_TEXT, versionString(info, "FileVersion"));
    EXPECT_EQ(NT_VERSION_TEXT, versionString(info, "ProductVersion"));
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
