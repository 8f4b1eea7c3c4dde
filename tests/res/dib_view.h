#pragma once
// A bitmap resource of the running program, read as it is stored (a DIB with
// no file header), so the tests see the exact bytes and not a screen copy.
#include <windows.h>

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;

    bool operator==(const Rgb&) const = default;
    int luminance() const { return (299 * r + 587 * g + 114 * b) / 1000; }
};

constexpr Rgb kKeyColour{255, 0, 255};

class DibView {
public:
    explicit DibView(int id)
    {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
        HGLOBAL data = found ? LoadResource(nullptr, found) : nullptr;
        header_ = data ? static_cast<const BITMAPINFOHEADER*>(LockResource(data)) : nullptr;
        if (header_ != nullptr) {
            bits_ = reinterpret_cast<const BYTE*>(header_) + header_->biSize;
            stride_ = (header_->biWidth * header_->biBitCount / 8 + 3) & ~3;
        }
    }

    bool loaded() const { return header_ != nullptr; }
    const BITMAPINFOHEADER& header() const { return *header_; }
    int width() const { return header_->biWidth; }
    int height() const { return header_->biHeight; }

    // x, y from the top-left corner; the rows are stored bottom-up.
    Rgb at(int x, int y) const
    {
        const BYTE* p = bits_ + (height() - 1 - y) * stride_ + 3 * x;
        return {p[2], p[1], p[0]};
    }

private:
    const BITMAPINFOHEADER* header_ = nullptr;
    const BYTE* bits_ = nullptr;
    int stride_ = 0;
};
