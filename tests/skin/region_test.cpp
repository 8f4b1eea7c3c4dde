#include <gtest/gtest.h>

#include "ReferenceRegion.h"
#include "skin/RegionRuns.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t K = 0xFF00FF; // key
constexpr std::uint32_t N = 0x123456; // anything else
constexpr COLORREF kMagenta = RGB(255, 0, 255);

std::vector<PixelRun> runsOf(const std::vector<std::uint32_t>& row)
{
    return rowRuns(row.data(), static_cast<int>(row.size()), K);
}

TEST(RowRuns, FollowTheKeyPixels)
{
    EXPECT_TRUE(runsOf({K, K, K, K}).empty());
    EXPECT_EQ((std::vector<PixelRun>{{0, 4}}), runsOf({N, N, N, N}));
    // key, non-key, non-key, key, non-key: the runs 1..3 and 4..5.
    EXPECT_EQ((std::vector<PixelRun>{{1, 3}, {4, 5}}), runsOf({K, N, N, K, N}));
    EXPECT_EQ((std::vector<PixelRun>{{0, 1}, {2, 3}}), runsOf({N, K, N, K}));
    EXPECT_TRUE(runsOf({}).empty());
}

// A 32-bit top-down DIB section filled by a function of (x, y).
HBITMAP makeBitmap(int width, int height, const std::function<COLORREF(int, int)>& color)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    return bitmap;
}

struct RegionShape {
    int type;
    std::vector<RECT> rects;
};

RegionShape shapeOf(HRGN region)
{
    RECT box{};
    RegionShape shape{::GetRgnBox(region, &box), {}};
    const DWORD size = ::GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    ::GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
    const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
    const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
    shape.rects.assign(rects, rects + header->nCount);
    return shape;
}

void expectSameRegions(HBITMAP bitmap, int scanWidth, int scanHeight, const char* what)
{
    const HRGN fast = createRunRegion(bitmap, kMagenta, scanWidth, scanHeight);
    const HRGN reference = createRunRegionByPixels(bitmap, kMagenta, scanWidth, scanHeight);
    ASSERT_NE(nullptr, fast) << what;
    const RegionShape a = shapeOf(fast);
    const RegionShape b = shapeOf(reference);
    EXPECT_EQ(b.type, a.type) << what;
    ASSERT_EQ(b.rects.size(), a.rects.size()) << what;
    for (size_t i = 0; i < a.rects.size(); ++i) {
        EXPECT_TRUE(::EqualRect(&a.rects[i], &b.rects[i])) << what << " rectangle " << i;
    }
    EXPECT_TRUE(::EqualRgn(fast, reference)) << what;
    ::DeleteObject(fast);
    ::DeleteObject(reference);
}

TEST(RunRegion, MatchesThePixelByPixelBuildOnVariedBitmaps)
{
    std::mt19937 random(7);
    std::vector<COLORREF> noise(97 * 61);
    for (auto& c : noise) {
        c = random() % 3 == 0 ? kMagenta : RGB(random() % 256, random() % 256, random() % 256);
    }
    const struct {
        const char* name;
        int width, height;
        std::function<COLORREF(int, int)> color;
    } cases[] = {
        {"noise", 97, 61, [&](int x, int y) { return noise[y * 97 + x]; }},
        {"checkerboard", 40, 30, [](int x, int y) { return (x + y) % 2 ? kMagenta : RGB(0, 0, 0); }},
        {"stripes", 33, 20, [](int x, int) { return x % 5 < 2 ? kMagenta : RGB(255, 255, 255); }},
        {"disc", 80, 80,
         [](int x, int y) {
             return (x - 40) * (x - 40) + (y - 40) * (y - 40) < 900 ? RGB(10, 20, 30) : kMagenta;
         }},
        {"no key", 17, 9, [](int, int) { return RGB(1, 2, 3); }},
        {"all key", 17, 9, [](int, int) { return kMagenta; }},
        // One step from the key in each channel is not the key.
        {"near key", 3, 3,
         [](int x, int) { return x == 0   ? RGB(254, 0, 255)
                                 : x == 1 ? RGB(255, 1, 255)
                                          : kMagenta; }},
    };
    for (const auto& c : cases) {
        const HBITMAP bitmap = makeBitmap(c.width, c.height, c.color);
        expectSameRegions(bitmap, c.width, c.height, c.name);
        // Scan areas smaller and larger than the bitmap.
        expectSameRegions(bitmap, c.width / 2, c.height - 1, c.name);
        expectSameRegions(bitmap, c.width + 50, c.height + 50, c.name);
        ::DeleteObject(bitmap);
    }
}

TEST(RunRegion, AllKeyBitmapGivesAnEmptyRegionAndANonKeyPixelItsOwnRectangle)
{
    const HBITMAP allKey = makeBitmap(20, 10, [](int, int) { return kMagenta; });
    const HRGN empty = createRunRegion(allKey, kMagenta, 20, 10);
    RECT box{};
    EXPECT_EQ(NULLREGION, ::GetRgnBox(empty, &box));
    ::DeleteObject(empty);
    ::DeleteObject(allKey);

    const HBITMAP onePixel = makeBitmap(20, 10, [](int x, int y) { return x == 4 && y == 6 ? 0 : kMagenta; });
    const HRGN single = createRunRegion(onePixel, kMagenta, 20, 10);
    EXPECT_EQ(SIMPLEREGION, ::GetRgnBox(single, &box));
    EXPECT_EQ(4, box.left);
    EXPECT_EQ(5, box.right);
    EXPECT_EQ(6, box.top);
    EXPECT_EQ(7, box.bottom);
    ::DeleteObject(single);
    ::DeleteObject(onePixel);
}

TEST(RunRegion, ScanAreaClipsToTheBitmapAndAnEmptyAreaGivesAnEmptyRegion)
{
    const HBITMAP bitmap = makeBitmap(10, 8, [](int, int) { return RGB(0, 0, 0); });
    RECT box{};
    const HRGN larger = createRunRegion(bitmap, kMagenta, 500, 500);
    EXPECT_EQ(SIMPLEREGION, ::GetRgnBox(larger, &box));
    EXPECT_EQ(10, box.right);
    EXPECT_EQ(8, box.bottom);
    ::DeleteObject(larger);

    const HRGN none = createRunRegion(bitmap, kMagenta, 0, 8);
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(NULLREGION, ::GetRgnBox(none, &box));
    ::DeleteObject(none);
    ::DeleteObject(bitmap);

    EXPECT_EQ(nullptr, createRunRegion(nullptr, kMagenta, 10, 10));
}

} // namespace
