#pragma once
// The pixel rectangles the window face was drawn for (control id, left, top,
// width, height), shared with the art script.
#include <stdexcept>
#include <string>

struct PixelRect {
    int id;
    int x;
    int y;
    int width;
    int height;
};

constexpr PixelRect kDesignedRects[] = {
#include "res/art/control_pixels.inc"
};

inline const PixelRect& designedRect(int id)
{
    for (const PixelRect& r : kDesignedRects) {
        if (r.id == id) {
            return r;
        }
    }
    throw std::out_of_range("no designed rectangle for control " + std::to_string(id));
}
