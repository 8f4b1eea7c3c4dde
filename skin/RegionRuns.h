#pragma once
// Turning a picture into a window shape: every maximal horizontal run of
// pixels that are not the key colour becomes one rectangle one pixel high.
#include <windows.h>

#include <cstdint>
#include <vector>

struct PixelRun {
    int left;  // first pixel of the run
    int right; // one past the last pixel
    bool operator==(const PixelRun&) const = default;
};

// The runs of one row, left to right. Pixels and key are compared as they
// are; the caller gives both in the same colour layout.
std::vector<PixelRun> rowRuns(const std::uint32_t* pixels, int width, std::uint32_t key);

// A region made of the non-key runs of a bitmap's top-left scanWidth x
// scanHeight pixels (clipped to the bitmap), in bitmap coordinates. Reads the
// bits once. The bitmap must not be selected into a device context. Null on
// failure.
HRGN createRunRegion(HBITMAP bitmap, COLORREF key, int scanWidth, int scanHeight);
