// The main window's template read for a fixed-pixel layout: at the base units
// the face was drawn for, every item lands on the pixels the face expects.
#include <gtest/gtest.h>

#include "designed_layout.h"
#include "framework/DialogTemplate.h"
#include "res/resource.h"

#include <vector>

namespace {

constexpr SIZE kFaceBaseUnits{6, 13};

std::vector<unsigned char> templateBytes()
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDD_NORVIK_TALLO_DIALOG), RT_DIALOG);
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    return std::vector<unsigned char>(data, data + SizeofResource(module, resource));
}

TEST(DialogTemplateLayout, PlacesEveryItemOfTheMainWindowOnTheFacePixels)
{
    const auto layout = loadDialogTemplate(GetModuleHandleW(nullptr), IDD_NORVIK_TALLO_DIALOG);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ((DialogUnitRect{0, 0, 320, 234}), layout->place);
    EXPECT_EQ(8, layout->pointSize);
    const RECT client = pixelsFor(layout->place, kFaceBaseUnits);
    EXPECT_EQ(480, client.right);
    EXPECT_EQ(380, client.bottom);

    ASSERT_EQ(std::size(kDesignedRects), layout->items.size());
    for (std::size_t i = 0; i < layout->items.size(); ++i) {
        const PixelRect& designed = kDesignedRects[i];
        const RECT r = pixelsFor(layout->items[i].place, kFaceBaseUnits);
        SCOPED_TRACE("control " + std::to_string(designed.id));
        EXPECT_EQ(designed.id, layout->items[i].id);
        EXPECT_EQ(designed.x, r.left);
        EXPECT_EQ(designed.y, r.top);
        EXPECT_EQ(designed.width, r.right - r.left);
        EXPECT_EQ(designed.height, r.bottom - r.top);
    }
}

TEST(DialogTemplateLayout, RefusesAnythingButAWholeExtendedTemplate)
{
    const std::vector<unsigned char> bytes = templateBytes();
    ASSERT_TRUE(readDialogTemplate(bytes.data(), bytes.size()).has_value());
    EXPECT_FALSE(readDialogTemplate(nullptr, 100).has_value());
    // Cut anywhere before its last item's end, it is not read.
    std::size_t whole = bytes.size();
    while (whole > 0 && readDialogTemplate(bytes.data(), whole - 1).has_value()) {
        --whole; // trailing padding
    }
    for (std::size_t size = 0; size < whole; ++size) {
        EXPECT_FALSE(readDialogTemplate(bytes.data(), size).has_value()) << size << " bytes";
    }
    // A classic template (no 1, 0xFFFF header) is not taken for an extended one.
    std::vector<unsigned char> classic = bytes;
    classic[2] = 0;
    classic[3] = 0;
    EXPECT_FALSE(readDialogTemplate(classic.data(), classic.size()).has_value());
}

} // namespace
