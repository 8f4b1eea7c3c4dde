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

TEST(MainDialogLayout, ControlsAreCreatedWithTheirClassStyleAndVisibility)
{
    MainTemplateDialog dialog;
    ASSERT_NE(nullptr, dialog.window());
    for (HWND child : dialog.childrenInZOrder()) {
        const int id = GetDlgCtrlID(child);
        SCOPED_TRACE("control " + std::to_string(id));
        const auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
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
