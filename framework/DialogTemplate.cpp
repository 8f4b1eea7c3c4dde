#include "framework/DialogTemplate.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
// Horizontal dialog units per base unit, and vertical ones.
constexpr int kUnitsPerBaseX = 4;
constexpr int kUnitsPerBaseY = 8;

// Reads the template's little-endian fields in order; every read past the end
// fails the reader for good.
class TemplateReader {
public:
    TemplateReader(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size)
    {
    }

    bool ok() const { return ok_; }

    std::uint16_t word() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t dword() { return take(4); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(take(1)); }
    int shortValue() { return static_cast<std::int16_t>(word()); }

    // A name or an ordinal: empty (one zero word), 0xFFFF with a number, or
    // a string of UTF-16 units up to a zero one.
    void skipNameOrOrdinal()
    {
        const std::uint16_t first = word();
        if (first == kOrdinalMark) {
            word();
        } else if (first != 0) {
            skipString();
        }
    }
    void skipString()
    {
        while (ok_ && word() != 0) {
        }
    }
    void skip(std::size_t count)
    {
        if (count > size_ - offset_) {
            fail();
            return;
        }
        offset_ += count;
    }
    // Items start on a 4-byte boundary from the template's start.
    void alignToDword() { skip((4 - offset_ % 4) % 4); }

private:
    std::uint32_t take(std::size_t count)
    {
        if (!ok_ || count > size_ - offset_) {
            fail();
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value |= static_cast<std::uint32_t>(data_[offset_ + i]) << (8 * i);
        }
        offset_ += count;
        return value;
    }
    void fail()
    {
        ok_ = false;
        offset_ = size_;
    }

    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

DialogUnitRect readPlace(TemplateReader& in)
{
    DialogUnitRect place{};
    place.x = in.shortValue();
    place.y = in.shortValue();
    place.cx = in.shortValue();
    place.cy = in.shortValue();
    return place;
}

} // namespace

std::optional<DialogTemplateLayout> readDialogTemplate(const void* data, std::size_t size)
{
    if (data == nullptr) {
        return std::nullopt;
    }
    TemplateReader in(data, size);
    if (in.word() != kExtendedVersion || in.word() != kExtendedSignature) {
        return std::nullopt;
    }
    DialogTemplateLayout layout{};
    in.dword(); // help id
    in.dword(); // extended style
    const std::uint32_t style = in.dword();
    const std::uint16_t itemCount = in.word();
    layout.place = readPlace(in);
    in.skipNameOrOrdinal(); // menu
    in.skipNameOrOrdinal(); // window class
    in.skipString();        // title
    if (style & DS_SETFONT) {
        layout.pointSize = in.word();
        in.word(); // weight
        in.byte(); // italic
        in.byte(); // character set
        in.skipString();
    }
    for (std::uint16_t i = 0; i < itemCount && in.ok(); ++i) {
        in.alignToDword();
        in.dword(); // help id
        in.dword(); // extended style
        in.dword(); // style
        const DialogUnitRect place = readPlace(in);
        const auto id = static_cast<int>(static_cast<std::int32_t>(in.dword()));
        in.skipNameOrOrdinal(); // class
        in.skipNameOrOrdinal(); // title
        in.skip(in.word());     // creation data
        layout.items.push_back(DialogTemplateItem{id, place});
    }
    if (!in.ok()) {
        return std::nullopt;
    }
    return layout;
}

std::optional<DialogTemplateLayout> loadDialogTemplate(HINSTANCE module, UINT templateId)
{
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    if (resource == nullptr) {
        return std::nullopt;
    }
    // Resources stay mapped with their module: nothing to release.
    const HGLOBAL loaded = ::LoadResource(module, resource);
    return readDialogTemplate(loaded != nullptr ? ::LockResource(loaded) : nullptr,
                              ::SizeofResource(module, resource));
}

RECT pixelsFor(const DialogUnitRect& place, SIZE baseUnits)
{
    const int bx = static_cast<int>(baseUnits.cx);
    const int by = static_cast<int>(baseUnits.cy);
    const int left = ::MulDiv(place.x, bx, kUnitsPerBaseX);
    const int top = ::MulDiv(place.y, by, kUnitsPerBaseY);
    return RECT{left, top, left + ::MulDiv(place.cx, bx, kUnitsPerBaseX),
                top + ::MulDiv(place.cy, by, kUnitsPerBaseY)};
}
