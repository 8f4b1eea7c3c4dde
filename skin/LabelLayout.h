#pragma once
// The label's drawing decisions that need no window: gradient bands and the
// text format.
#include <windows.h>

#include <string>
#include <vector>

struct GradientBand {
    int left;
    int right; // exclusive
    COLORREF color;
    bool operator==(const GradientBand&) const = default;
};

// At most 100 bands of equal width from left to right (the last one takes
// the remainder), stepping from `from` towards `to` in fixed point; the last
// band stops one step short of `to`. None for an empty width.
std::vector<GradientBand> gradientBands(int left, int right, COLORREF from, COLORREF to);

// DrawText flags for a static control's style and its text.
UINT labelTextFormat(DWORD style, const std::string& text);
