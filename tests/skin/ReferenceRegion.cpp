#include "ReferenceRegion.h"

#include <algorithm>

HRGN createRunRegionByPixels(HBITMAP bitmap, COLORREF key, int scanWidth, int scanHeight)
{
    BITMAP size{};
    ::GetObjectA(bitmap, sizeof size, &size);
    const int width = std::min(scanWidth, static_cast<int>(size.bmWidth));
    const int height = std::min(scanHeight, static_cast<int>(size.bmHeight));

    const HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        int start = 0;
        for (int x = 0; x < width; ++x) {
            if (::GetPixel(dc, x, y) != key) {
                continue;
            }
            if (start != x) {
                const HRGN run = ::CreateRectRgn(start, y, x, y + 1);
                ::CombineRgn(region, region, run, RGN_OR);
                ::DeleteObject(run);
            }
            start = x + 1;
        }
        if (start != width) {
            const HRGN run = ::CreateRectRgn(start, y, width, y + 1);
            ::CombineRgn(region, region, run, RGN_OR);
            ::DeleteObject(run);
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return region;
}
