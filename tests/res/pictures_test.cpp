#include <gtest/gtest.h>

#include "designed_layout.h"
#include "dib_view.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

struct Picture {
    int id;
    int width;
    int height;
};

constexpr Picture kPictures[] = {
    {IDB_HIDE_NORMAL, 30, 30},    {IDB_HIDE_DOWN, 30, 30},      {IDB_HIDE_HOVER, 30, 30},
    {IDB_HIDE_DISABLED, 30, 30},  {IDB_QUIT_NORMAL, 30, 30},    {IDB_QUIT_DOWN, 30, 30},
    {IDB_QUIT_HOVER, 30, 30},     {IDB_QUIT_DISABLED, 30, 30},  {IDB_ON_NORMAL, 71, 29},
    {IDB_ON_DOWN, 71, 29},        {IDB_ON_HOVER, 71, 29},       {IDB_ON_DISABLED, 71, 29},
    {IDB_OFF_NORMAL, 70, 29},     {IDB_OFF_DOWN, 70, 29},       {IDB_OFF_HOVER, 70, 29},
    {IDB_OFF_DISABLED, 70, 29},   {IDB_RESET_HOVER, 77, 29},    {IDB_RESET_NORMAL, 77, 29},
    {IDB_RESET_DISABLED, 77, 29}, {IDB_RESET_DOWN, 77, 29},     {IDB_APPLY_HOVER, 77, 29},
    {IDB_APPLY_NORMAL, 77, 29},   {IDB_APPLY_DISABLED, 77, 29}, {IDB_APPLY_DOWN, 77, 29},
    {IDB_CLOSE_HOVER, 77, 29},    {IDB_CLOSE_NORMAL, 77, 29},   {IDB_CLOSE_DISABLED, 77, 29},
    {IDB_CLOSE_DOWN, 77, 29},     {IDB_LED_AMBER, 12, 23},      {IDB_LED_GREEN, 12, 23},
    {IDB_LED_BLUE, 12, 23},       {IDB_LED_WHITE, 12, 23},      {IDB_LED_RED, 12, 23},
    {IDB_LED_GREY, 12, 23},       {IDB_FACE, 414, 369},
};

TEST(SkinPictures, AreUncompressed24BitBottomUpBitmapsOfTheirSizes)
{
    for (const Picture& p : kPictures) {
        SCOPED_TRACE("bitmap " + std::to_string(p.id));
        DibView dib(p.id);
        ASSERT_TRUE(dib.loaded());
        EXPECT_EQ(static_cast<DWORD>(sizeof(BITMAPINFOHEADER)), dib.header().biSize);
        EXPECT_EQ(24, dib.header().biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), dib.header().biCompression);
        EXPECT_EQ(1, dib.header().biPlanes);
        EXPECT_EQ(p.width, dib.width());
        EXPECT_EQ(p.height, dib.height()) << "a positive height is a bottom-up bitmap";
    }
    EXPECT_FALSE(DibView(135).loaded()) << "the minus button has no picture 135";
}

bool isKey(const Rgb& c)
{
    return c == kKeyColour;
}

// The controls the user can see at some time: all but OK and Cancel.
bool isShownControl(int id)
{
    return id != IDOK && id != IDCANCEL;
}

TEST(WindowFace, IsCutAwayAtTheCornersAndWholeUnderEveryControl)
{
    DibView face(IDB_FACE);
    ASSERT_TRUE(face.loaded());
    EXPECT_TRUE(isKey(face.at(0, 0)));
    EXPECT_TRUE(isKey(face.at(face.width() - 1, 0)));
    EXPECT_TRUE(isKey(face.at(0, face.height() - 1)));
    EXPECT_TRUE(isKey(face.at(face.width() - 1, face.height() - 1)));
    for (const PixelRect& r : kDesignedRects) {
        if (!isShownControl(r.id)) {
            continue;
        }
        SCOPED_TRACE("control " + std::to_string(r.id));
        ASSERT_LE(r.x + r.width, face.width());
        ASSERT_LE(r.y + r.height, face.height());
        int holes = 0;
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) {
                holes += isKey(face.at(x, y));
            }
        }
        EXPECT_EQ(0, holes) << "the window would be cut away under the control";
    }
}

TEST(WindowFace, EdgeAlongTheCutHasNoKeyColourMixedIn)
{
    DibView face(IDB_FACE);
    ASSERT_TRUE(face.loaded());
    int edgePixels = 0;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const Rgb c = face.at(x, y);
            if (isKey(c)) {
                continue;
            }
            const bool besideKey =
                (x > 0 && isKey(face.at(x - 1, y))) || (x + 1 < face.width() && isKey(face.at(x + 1, y))) ||
                (y > 0 && isKey(face.at(x, y - 1))) || (y + 1 < face.height() && isKey(face.at(x, y + 1)));
            if (besideKey) {
                ++edgePixels;
                EXPECT_FALSE(c.r - c.g > 40 && c.b - c.g > 40)
                    << "pinkish edge pixel at " << x << "," << y << ": " << c.r << " " << c.g << " " << c.b;
            }
        }
    }
    EXPECT_GT(edgePixels, 40) << "the rounded corners are cut away";
}

TEST(WindowFace, IsLightWhereTheProgramWritesBlackText)
{
    DibView face(IDB_FACE);
    ASSERT_TRUE(face.loaded());
    for (int id : {IDC_AUTOSTART_LABEL, IDC_RADIO_YES, IDC_RADIO_NO}) {
        const PixelRect& r = designedRect(id);
        int darkest = 255;
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) {
                darkest = std::min(darkest, face.at(x, y).luminance());
            }
        }
        EXPECT_GE(darkest, 160) << "control " << id;
    }
}

// --- button faces by state

struct FaceSet {
    int control;
    int normal, down, hover, disabled;
};

constexpr FaceSet kFaceSets[] = {
    {IDC_HIDE, IDB_HIDE_NORMAL, IDB_HIDE_DOWN, IDB_HIDE_HOVER, IDB_HIDE_DISABLED},
    {IDC_QUIT, IDB_QUIT_NORMAL, IDB_QUIT_DOWN, IDB_QUIT_HOVER, IDB_QUIT_DISABLED},
    {IDC_ON, IDB_ON_NORMAL, IDB_ON_DOWN, IDB_ON_HOVER, IDB_ON_DISABLED},
    {IDC_OFF, IDB_OFF_NORMAL, IDB_OFF_DOWN, IDB_OFF_HOVER, IDB_OFF_DISABLED},
    {IDC_RESET, IDB_RESET_NORMAL, IDB_RESET_DOWN, IDB_RESET_HOVER, IDB_RESET_DISABLED},
    {IDC_APPLY, IDB_APPLY_NORMAL, IDB_APPLY_DOWN, IDB_APPLY_HOVER, IDB_APPLY_DISABLED},
    {IDC_CLOSE, IDB_CLOSE_NORMAL, IDB_CLOSE_DOWN, IDB_CLOSE_HOVER, IDB_CLOSE_DISABLED},
};

// What a button shows of a picture: its top-left part at the control's size.
struct Shown {
    long r = 0, g = 0, b = 0;
    int pixels = 0;
    int orange = 0;

    Rgb mean() const
    {
        return {static_cast<int>(r / pixels), static_cast<int>(g / pixels), static_cast<int>(b / pixels)};
    }
};

Shown shownPart(int bitmapId, const PixelRect& control)
{
    DibView dib(bitmapId);
    Shown s;
    for (int y = 0; y < std::min(control.height, dib.height()); ++y) {
        for (int x = 0; x < std::min(control.width, dib.width()); ++x) {
            const Rgb c = dib.at(x, y);
            s.r += c.r;
            s.g += c.g;
            s.b += c.b;
            ++s.pixels;
            s.orange += c.r > 200 && c.g > 90 && c.g < 190 && c.b < 90;
        }
    }
    return s;
}

TEST(ButtonFaces, EachPictureShowsTheStateItIsUsedFor)
{
    for (const FaceSet& set : kFaceSets) {
        SCOPED_TRACE("control " + std::to_string(set.control));
        const PixelRect& rect = designedRect(set.control);
        const Shown normal = shownPart(set.normal, rect);
        const Shown down = shownPart(set.down, rect);
        const Shown hover = shownPart(set.hover, rect);
        const Shown disabled = shownPart(set.disabled, rect);
        EXPECT_LT(normal.mean().luminance(), 110) << "normal faces are dark";
        EXPECT_EQ(0, normal.orange);
        EXPECT_GT(down.orange, down.pixels / 10) << "pressed or selected faces glow orange";
        EXPECT_GT(hover.orange, 20) << "a face under the mouse shows orange";
        EXPECT_FALSE(hover.mean() == down.mean());
        EXPECT_EQ(0, disabled.orange);
        EXPECT_LT(std::abs(disabled.mean().r - disabled.mean().b), 12) << "disabled faces are grey";
        EXPECT_FALSE(disabled.mean() == normal.mean());
    }
}

// Buttons are copied over the face at their place, so their pictures must
// carry the face's own pixels around the drawn button.
TEST(ButtonFaces, BlendIntoTheFaceAtTheirPlace)
{
    DibView face(IDB_FACE);
    for (const FaceSet& set : kFaceSets) {
        const PixelRect& r = designedRect(set.control);
        for (int id : {set.normal, set.down, set.hover, set.disabled}) {
            DibView dib(id);
            EXPECT_EQ(face.at(r.x, r.y), dib.at(0, 0)) << "bitmap " << id;
            EXPECT_EQ(face.at(r.x, r.y + r.height - 1), dib.at(0, r.height - 1)) << "bitmap " << id;
        }
    }
    DibView lamp(IDB_LED_GREEN);
    for (int id = IDC_LED0; id < IDC_LED0 + NT_LED_COUNT; ++id) {
        const PixelRect& r = designedRect(id);
        EXPECT_EQ(face.at(r.x, r.y), lamp.at(0, 0)) << "lamp " << id;
        EXPECT_EQ(face.at(r.x + r.width - 1, r.y + r.height - 1), lamp.at(r.width - 1, r.height - 1))
            << "lamp " << id;
    }
}

// A button fills what its picture leaves uncovered with the system's
// button-face grey (light, and different per theme), so the face must be a
// light neutral there, and the light part must run on past the control, or the
// fill shows as a stray patch.
TEST(ButtonFaces, WhatThePicturesLeaveUncoveredLiesOnALightPartOfTheFace)
{
    DibView face(IDB_FACE);
    const auto expectLight = [&face](int x, int y) {
        const Rgb c = face.at(x, y);
        EXPECT_GE(c.luminance(), 200) << "at " << x << "," << y;
        EXPECT_LT(std::abs(c.r - c.b), 12) << "at " << x << "," << y;
    };
    for (const FaceSet& set : kFaceSets) {
        const PixelRect& r = designedRect(set.control);
        for (int id : {set.normal, set.down, set.hover, set.disabled}) {
            SCOPED_TRACE("bitmap " + std::to_string(id));
            DibView dib(id);
            for (int x = dib.width(); x < r.width; ++x) {
                for (int y = -1; y <= r.height; ++y) {
                    expectLight(r.x + x, r.y + y);
                }
            }
            for (int y = dib.height(); y < r.height; ++y) {
                for (int x = -1; x <= std::min(dib.width(), r.width); ++x) {
                    expectLight(r.x + x, r.y + y);
                }
            }
        }
    }
}

TEST(Lamps, GreenAndRedGlowInTheirColourAndGreyIsDark)
{
    const PixelRect& rect = designedRect(IDC_LED0);
    const Rgb green = shownPart(IDB_LED_GREEN, rect).mean();
    const Rgb red = shownPart(IDB_LED_RED, rect).mean();
    const Rgb grey = shownPart(IDB_LED_GREY, rect).mean();
    EXPECT_GT(green.g, green.r + 60);
    EXPECT_GT(green.g, green.b + 60);
    EXPECT_GT(red.r, red.g + 60);
    EXPECT_GT(red.r, red.b + 60);
    EXPECT_LT(grey.luminance(), 70);
    EXPECT_LT(std::abs(grey.r - grey.b), 12);
}

} // namespace
