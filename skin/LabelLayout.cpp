#include "skin/LabelLayout.h"

#include <algorithm>

namespace {

constexpr int kMaxBands = 100;
constexpr int kFixedOne = 256;

struct Channel {
    int value; // fixed point, 8 fraction bits
    int step;
};

Channel channel(int from, int to, int divisor)
{
    // Integer division truncates towards zero, as the step must.
    return Channel{from * kFixedOne, ((to - from) * kFixedOne) / divisor};
}

} // namespace

std::vector<GradientBand> gradientBands(int left, int right, COLORREF from, COLORREF to)
{
    std::vector<GradientBand> bands;
    const int width = right - left;
    if (width <= 0) {
        return bands;
    }
    const int count = std::min(width, kMaxBands);
    const int divisor = count > 1 ? count : 1;
    Channel red = channel(GetRValue(from), GetRValue(to), divisor);
    Channel green = channel(GetGValue(from), GetGValue(to), divisor);
    Channel blue = channel(GetBValue(from), GetBValue(to), divisor);
    const int bandWidth = width / divisor;

    int x = left;
    for (int i = 0; i < count; ++i) {
        const int edge = i == count - 1 ? right : x + bandWidth;
        bands.push_back(GradientBand{
            x, edge, RGB(red.value / kFixedOne, green.value / kFixedOne, blue.value / kFixedOne)});
        red.value += red.step;
        green.value += green.step;
        blue.value += blue.step;
        x = edge;
    }
    return bands;
}

UINT labelTextFormat(DWORD style, const std::string& text)
{
    if (style & SS_CENTERIMAGE) {
        return text.find("\r\n") != std::string::npos ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    }
    UINT format = DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        format = 0;
        break;
    default:
        break;
    }
    if (text.find('\t') != std::string::npos) {
        format |= DT_EXPANDTABS;
    }
    return format;
}
