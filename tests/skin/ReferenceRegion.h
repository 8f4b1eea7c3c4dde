#pragma once
// The straightforward shape build, pixel by pixel with GetPixel and one
// region operation per run: the yardstick for the product's build.
#include <windows.h>

HRGN createRunRegionByPixels(HBITMAP bitmap, COLORREF key, int scanWidth, int scanHeight);
