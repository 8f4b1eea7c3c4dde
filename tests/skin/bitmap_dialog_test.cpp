#include <gtest/gtest.h>

#include "SkinTestDialog.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kFaceGrey = RGB(90, 90, 90);

struct WindowShape {
    int type;
    RECT box;
};

WindowShape windowShape(HWND window)
{
    const HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    WindowShape shape{::GetWindowRgn(window, region), {}};
    ::GetRgnBox(region, &shape.box);
    ::DeleteObject(region);
    return shape;
}

bool inWindowShape(HWND window, int x, int y)
{
    const HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(window, region);
    const bool inside = ::PtInRegion(region, x, y) != FALSE;
    ::DeleteObject(region);
    return inside;
}

void expectFullWindowRectangle(HWND window)
{
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    const WindowShape shape = windowShape(window);
    EXPECT_EQ(SIMPLEREGION, shape.type);
    EXPECT_EQ(0, shape.box.left);
    EXPECT_EQ(0, shape.box.top);
    EXPECT_EQ(bounds.right - bounds.left, shape.box.right);
    EXPECT_EQ(bounds.bottom - bounds.top, shape.box.bottom);
}

TEST(BitmapDialog, ShapesTheWindowToTheBitmapsNonKeyPixels)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Handle();
        ASSERT_TRUE(dialog.SetBackgroundBitmap(IDB_BACKGROUND));
        dialog.SetKeyColor(kMagenta);
        dialog.UpdateWindowRegion();
        expectFullWindowRectangle(window);

        dialog.SetShaped(true);
        dialog.UpdateWindowRegion();
        // The bitmap's two-pixel key frame and its hole are cut out, and the
        // client area beyond the 60 x 40 bitmap is not part of the window.
        const WindowShape shape = windowShape(window);
        EXPECT_EQ(COMPLEXREGION, shape.type);
        EXPECT_EQ(2, shape.box.left);
        EXPECT_EQ(2, shape.box.top);
        EXPECT_EQ(58, shape.box.right);
        EXPECT_EQ(38, shape.box.bottom);
        EXPECT_FALSE(inWindowShape(window, 1, 1));
        EXPECT_TRUE(inWindowShape(window, 2, 2));
        EXPECT_TRUE(inWindowShape(window, 19, 10));
        EXPECT_FALSE(inWindowShape(window, 20, 10));
        EXPECT_FALSE(inWindowShape(window, 29, 19));
        EXPECT_TRUE(inWindowShape(window, 30, 19));
        EXPECT_TRUE(inWindowShape(window, 57, 37));
        EXPECT_FALSE(inWindowShape(window, 100, 60));

        // A background that does not load leaves the shape as it was.
        EXPECT_FALSE(dialog.SetBackgroundBitmap(IDB_MISSING));
        EXPECT_EQ(2, windowShape(window).box.left);

        dialog.SetShaped(false);
        dialog.UpdateWindowRegion();
        expectFullWindowRectangle(window);
    });
}

TEST(BitmapDialog, AnAllKeyBitmapLeavesNothingOfTheWindow)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        dialog.SetKeyColor(kMagenta);
        dialog.SetShaped(true);
        ASSERT_TRUE(dialog.SetBackgroundBitmap(IDB_ALL_KEY));
        EXPECT_EQ(NULLREGION, windowShape(dialog.Handle()).type);
    });
}

TEST(BitmapDialog, ShapedWithoutABitmapGivesTheFullRectangle)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        dialog.SetKeyColor(kMagenta);
        dialog.SetShaped(true);
        dialog.UpdateWindowRegion();
        expectFullWindowRectangle(dialog.Handle());
        EXPECT_FALSE(dialog.SetBackgroundBitmap(IDB_MISSING));
        dialog.UpdateWindowRegion();
        expectFullWindowRectangle(dialog.Handle());
    });
}

TEST(BitmapDialog, PaintsTheBitmapUnscaledAsTheBackground)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Handle();
        // Points where no control lies: the face, and the bitmap's hole.
        ASSERT_NE(kFaceGrey, pixelAt(window, 5, 5));
        ASSERT_TRUE(dialog.SetBackgroundBitmap(IDB_BACKGROUND));
        ::InvalidateRect(window, nullptr, TRUE);
        EXPECT_EQ(kFaceGrey, pixelAt(window, 5, 5));
        EXPECT_EQ(kMagenta, pixelAt(window, 25, 12));
        // Beyond the bitmap nothing is painted: not scaled, not tiled.
        EXPECT_NE(kFaceGrey, pixelAt(window, 5, 45));
    });
}

TEST(BitmapDialog, StaticChildrenButTrackbarsGetAHollowBrushWhileClearStaticsIsOn)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const auto colorRequest = [&](UINT message, int id) {
            ::SetBkMode(dc, OPAQUE);
            return reinterpret_cast<HBRUSH>(::SendMessageA(dialog.Handle(), message,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(dialog.Item(id))));
        };
        const auto hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));

        EXPECT_EQ(hollow, colorRequest(WM_CTLCOLORSTATIC, IDC_PLAIN_RADIO));
        EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc));
        EXPECT_EQ(hollow, colorRequest(WM_CTLCOLORSTATIC, IDC_LABEL));

        const HBRUSH trackbar = colorRequest(WM_CTLCOLORSTATIC, IDC_TRACKBAR);
        EXPECT_NE(hollow, trackbar);
        EXPECT_EQ(OPAQUE, ::GetBkMode(dc));
        EXPECT_NE(hollow, colorRequest(WM_CTLCOLORBTN, IDC_PLAIN_RADIO));

        dialog.SetClearStatics(false);
        EXPECT_NE(hollow, colorRequest(WM_CTLCOLORSTATIC, IDC_PLAIN_RADIO));
        EXPECT_EQ(OPAQUE, ::GetBkMode(dc));
        ::DeleteDC(dc);
    });
}

TEST(BitmapDialog, DragAnywhereTurnsAPressIntoACaptionPress)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        ::SendMessageA(dialog.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(7, 9));
        pumpMessages();
        EXPECT_TRUE(dialog.captionPresses.empty());

        dialog.SetDragAnywhere(true);
        ::SendMessageA(dialog.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(7, 9));
        pumpMessages();
        ASSERT_EQ(1u, dialog.captionPresses.size());
        EXPECT_EQ(pointParam(7, 9), dialog.captionPresses[0]);
    });
}

} // namespace
