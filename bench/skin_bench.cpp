// Time to build the main window's shaped region from its 414 x 369 face:
// the product's build (one read of the bits) beside the pixel-by-pixel build.
#include "ReferenceRegion.h"
#include "nt_test.h"
#include "skin/RegionRuns.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 414;
constexpr int kHeight = 369;
constexpr COLORREF kKey = RGB(255, 0, 255);

// A screen-compatible bitmap shaped like a skin: a rounded face on magenta,
// with round holes and a few stray key pixels.
HBITMAP makeFace()
{
    const HDC screen = ::GetDC(nullptr);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
    const HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ previousBitmap = ::SelectObject(dc, bitmap);

    const HBRUSH key = ::CreateSolidBrush(kKey);
    const HBRUSH face = ::CreateSolidBrush(RGB(60, 64, 70));
    const RECT all{0, 0, kWidth, kHeight};
    ::FillRect(dc, &all, key);
    const HGDIOBJ previousPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    const HGDIOBJ previousBrush = ::SelectObject(dc, face);
    ::RoundRect(dc, 4, 4, kWidth - 4, kHeight - 4, 60, 60);
    ::SelectObject(dc, key);
    for (int i = 0; i < 6; ++i) {
        ::Ellipse(dc, 40 + i * 60, 300, 70 + i * 60, 330);
    }
    for (int i = 0; i < 200; ++i) {
        ::SetPixel(dc, (i * 37) % kWidth, (i * 53) % kHeight, kKey);
    }
    ::SelectObject(dc, previousBrush);
    ::SelectObject(dc, previousPen);
    ::SelectObject(dc, previousBitmap);
    ::DeleteDC(dc);
    ::DeleteObject(key);
    ::DeleteObject(face);
    return bitmap;
}

// Median milliseconds of one build over the given rounds.
double medianMs(int rounds, const std::function<HRGN()>& build)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        HRGN region = nullptr;
        times.push_back(nt_test::millisecondsOf([&] { region = build(); }));
        ::DeleteObject(region);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    const HBITMAP face = makeFace();
    const double fast = medianMs(31, [&] { return createRunRegion(face, kKey, kWidth, kHeight); });
    const double slow = medianMs(5, [&] { return createRunRegionByPixels(face, kKey, kWidth, kHeight); });
    std::printf("shaped region 414x369, bits read once (GetDIBits)\t%.2f\tms\n", fast);
    std::printf("shaped region 414x369, pixel by pixel (GetPixel)\t%.2f\tms\n", slow);
    ::DeleteObject(face);
    return 0;
}
