#include "skin/RegionRuns.h"

#include "framework/Gdi.h"

#include <algorithm>

std::vector<PixelRun> rowRuns(const std::uint32_t* pixels, int width, std::uint32_t key)
{
    std::vector<PixelRun> runs;
    int start = 0;
    for (int x = 0; x < width; ++x) {
        if (pixels[x] != key) {
            continue;
        }
        if (start != x) {
            runs.push_back({start, x});
        }
        start = x + 1;
    }
    if (start < width) {
        runs.push_back({start, width});
    }
    return runs;
}

namespace {

// COLORREF is 0x00BBGGRR; a 32-bit DIB pixel is 0x00RRGGBB.
std::uint32_t dibPixel(COLORREF color)
{
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

// The bitmap's pixels as top-down 32-bit rows, alpha byte cleared; empty on failure.
std::vector<std::uint32_t> readTopDownBits(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    std::vector<std::uint32_t> bits(static_cast<size_t>(width) * static_cast<size_t>(height));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS) != height) {
        return {};
    }
    for (auto& pixel : bits) {
        pixel &= 0x00FFFFFFu;
    }
    return bits;
}

} // namespace

HRGN createRunRegion(HBITMAP bitmap, COLORREF key, int scanWidth, int scanHeight)
{
    BITMAP size{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof size, &size) == 0) {
        return nullptr;
    }
    const int width = std::min(scanWidth, static_cast<int>(size.bmWidth));
    const int height = std::min(scanHeight, static_cast<int>(size.bmHeight));
    if (width <= 0 || height <= 0) {
        return ::CreateRectRgn(0, 0, 0, 0);
    }
    // Rows are read whole (the DIB width is the bitmap's); only the scan
    // width of each is looked at.
    const std::vector<std::uint32_t> bits = readTopDownBits(bitmap, size.bmWidth, height);
    if (bits.empty()) {
        return nullptr;
    }

    // One region from all rectangles at once: adding them one by one costs
    // a region operation each.
    std::vector<RECT> rects;
    const std::uint32_t keyPixel = dibPixel(key);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(size.bmWidth);
        for (const PixelRun& run : rowRuns(row, width, keyPixel)) {
            rects.push_back(RECT{run.left, y, run.right, y + 1});
        }
    }

    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, width, height};
    std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                             reinterpret_cast<const RGNDATA*>(data.data()));
}
