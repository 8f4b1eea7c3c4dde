#include <gtest/gtest.h>

#include <windows.h>

#include "designed_layout.h"
#include "res/resource.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK plainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The main window's template, created as a plain modeless dialog.
class MainTemplateDialog {
public:
    MainTemplateDialog()
        : window_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_NORVIK_TALLO_DIALOG),
                                     nullptr, plainDialogProc, 0))
    {
    }
    ~MainTemplateDialog()
    {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    MainTemplateDialog(const MainTemplateDialog&) = delete;
    MainTemplateDialog& operator=(const MainTemplateDialog&) = delete;

    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

    std::vector<HWND> childrenInZOrder() const
    {
        std::vector<HWND> children;
        for (HWND h = GetWindow(window_, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
            children.push_back(h);
        }
        return children;
    }

    PixelRect pixelRect(HWND child) const
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&r), 2);
        return {GetDlgCtrlID(child), static_cast<int>(r.left), static_cast<int>(r.top),
                static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
    }

private:
    HWND window_;
};

std::string className(HWND h)
{
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

TEST(MainDialogLayout, FontGivesTheDialogBaseUnitsTheArtWasDrawnFor)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog.window(), &units);
    EXPECT_EQ(6, units.right) << "MS Shell Dlg should be Tahoma; is it installed where the test runs?";
    EXPECT_EQ(13, units.bottom);
    RECT client;
    GetClientRect(dialog.window(), &client);
    EXPECT_EQ(480, client.right);
    EXPECT_EQ(380, client.bottom);
}

// On failure this prints the measured table, ready for control_pixels.inc.
TEST(MainDialogLayout, ControlsLieOnThePixelsTheFaceWasDrawnFor)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    std::ostringstream measured;
    bool same = true;
    const std::vector<HWND> children = dialog.childrenInZOrder();
    ASSERT_EQ(std::size(kDesignedRects), children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const PixelRect r = dialog.pixelRect(children[i]);
        const PixelRect& d = kDesignedRects[i];
        same = same && r.id == d.id && r.x == d.x && r.y == d.y && r.width == d.width && r.height == d.height;
        measured << "{" << r.id << ", " << r.x << ", " << r.y << ", " << r.width << ", " << r.height
                 << "},\n";
    }
    EXPECT_TRUE(same) << "measured:\n" << measured.str();
}

std::string windowText(HWND h)
{
    char text[128] = {};
    GetWindowTextA(h, text, sizeof text);
    return text;
}

struct ControlStyle {
    int id;
    DWORD style;
};

// In template order, which is the z-order and decides the dialog groups.
constexpr ControlStyle kControlStyles[] = {
    {1028, 0x50021003}, {1029, 0x50021003}, {1030, 0x50021003}, {1031, 0x50021003}, {1032, 0x40021003},
    {1033, 0x40021003}, {1034, 0x40021003}, {1035, 0x40021003}, {1036, 0x40021003}, {1037, 0x40021003},
    {1, 0x40000001},    {2, 0x40000000},    {1000, 0x50000000}, {1001, 0x50000000}, {1043, 0x50021009},
    {1044, 0x50001009}, {1004, 0x50000000}, {1005, 0x50000000}, {1006, 0x50000000}, {1009, 0x50020000},
    {1007, 0x50020009}, {1008, 0x50000009}, {1024, 0x50021003}, {1025, 0x50021003}, {1026, 0x50021003},
    {1027, 0x50021003},
};

// A caption-less pop-up of its own on the taskbar, in the shell's dialog font.
TEST(MainDialogLayout, TheWindowIsACaptionlessPopupWithTheShellFont)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    // The dialog manager adds the 3-D look and, for its children's keyboard
    // navigation, the control parent bit; the system clips a top-level window's siblings.
    const DWORD added = DS_3DLOOK | WS_CLIPSIBLINGS;
    EXPECT_EQ(0x90000048u, static_cast<DWORD>(GetWindowLongA(dialog.window(), GWL_STYLE)) & ~added);
    EXPECT_EQ(0x00040000u,
              static_cast<DWORD>(GetWindowLongA(dialog.window(), GWL_EXSTYLE)) & ~DWORD{WS_EX_CONTROLPARENT});
    EXPECT_EQ("#32770", className(dialog.window()));
    EXPECT_EQ("", windowText(dialog.window()));
    EXPECT_EQ(nullptr, GetMenu(dialog.window()));
    LOGFONTA font{};
    ASSERT_NE(0, GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog.window(), WM_GETFONT, 0, 0)),
                            sizeof font, &font));
    EXPECT_STREQ("MS Shell Dlg", font.lfFaceName);
    EXPECT_EQ(FW_DONTCARE, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
}

TEST(MainDialogLayout, ControlsAreCreatedWithTheirClassStyleAndVisibility)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    const std::vector<HWND> children = dialog.childrenInZOrder();
    ASSERT_EQ(std::size(kControlStyles), children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const HWND child = children[i];
        const int id = GetDlgCtrlID(child);
        SCOPED_TRACE("control " + std::to_string(id));
        const auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(kControlStyles[i].id, id);
        EXPECT_EQ(kControlStyles[i].style, style);
        EXPECT_EQ(id == IDC_AUTOSTART_LABEL ? "Static" : "Button", className(child));
        const bool hidden = (id >= IDC_LED8 && id <= IDC_LED13) || id == IDOK || id == IDCANCEL;
        EXPECT_EQ(!hidden, IsWindowVisible(child) != FALSE);
        EXPECT_EQ(0u, style & WS_TABSTOP);
        EXPECT_EQ(0, GetWindowLongA(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY);
    }
    EXPECT_EQ(static_cast<LONG>(WS_EX_APPWINDOW),
              GetWindowLongA(dialog.window(), GWL_EXSTYLE) & static_cast<LONG>(WS_EX_APPWINDOW));
    EXPECT_EQ(0, GetWindowLongA(dialog.window(), GWL_STYLE) & static_cast<LONG>(WS_CAPTION));
}

TEST(MainDialogLayout, OnlyThePlainButtonsCarryText)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    for (HWND child : dialog.childrenInZOrder()) {
        const int id = GetDlgCtrlID(child);
        SCOPED_TRACE("control " + std::to_string(id));
        switch (id) {
        case IDOK:
            EXPECT_EQ("OK", windowText(child));
            break;
        case IDCANCEL:
            EXPECT_EQ("Cancel", windowText(child));
            break;
        case IDC_RADIO_YES:
            EXPECT_EQ("Yes", windowText(child));
            break;
        case IDC_RADIO_NO:
            EXPECT_EQ("No", windowText(child));
            break;
        case IDC_AUTOSTART_LABEL:
            // The program sets the caption; the template may carry it already.
            EXPECT_TRUE(windowText(child).empty() ||
                        windowText(child) == "Run Tallo Utility when the system starts");
            break;
        default:
            EXPECT_EQ("", windowText(child)) << "skin buttons show only their pictures";
        }
    }
}

std::vector<int> groupFrom(HWND dialog, int id)
{
    std::vector<int> ids{id};
    HWND first = GetDlgItem(dialog, id);
    for (HWND h = GetNextDlgGroupItem(dialog, first, FALSE); h != nullptr && h != first;
         h = GetNextDlgGroupItem(dialog, h, FALSE)) {
        ids.push_back(GetDlgCtrlID(h));
    }
    return ids;
}

// A skin radio button clears the rest of its dialog group; a lamp must never
// be in another control's group.
TEST(MainDialogLayout, DialogGroupsHoldTheSwitchesTogetherAndEachLampAlone)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    EXPECT_EQ((std::vector<int>{IDC_ON, IDC_OFF, IDC_RESET, IDC_APPLY, IDC_CLOSE}),
              groupFrom(dialog.window(), IDC_ON));
    EXPECT_EQ((std::vector<int>{IDC_RADIO_YES, IDC_RADIO_NO}), groupFrom(dialog.window(), IDC_RADIO_YES));
    for (int id = IDC_LED0; id <= IDC_LED7; ++id) {
        EXPECT_EQ(std::vector<int>{id}, groupFrom(dialog.window(), id));
    }
}

} // namespace
