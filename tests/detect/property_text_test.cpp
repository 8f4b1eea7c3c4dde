#include <gtest/gtest.h>

#include "detect/SystemInfo.h"

#include <climits>
#include <type_traits>

namespace {

std::string textOfInteger(LONG value)
{
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return propertyValueText(variant);
}

TEST(PropertyValueText, IntegersAreWholeMegabytesWithoutSign)
{
    EXPECT_EQ("256 MBytes", textOfInteger(268435456));
    EXPECT_EQ("0 MBytes", textOfInteger(0));
    EXPECT_EQ("0 MBytes", textOfInteger(1048575));
    EXPECT_EQ("1 MBytes", textOfInteger(1048576));
    EXPECT_EQ("2047 MBytes", textOfInteger(INT_MAX));
    // Sizes of 2 GB and more arrive with the top bit set: truncation toward
    // zero first, then the sign goes.
    EXPECT_EQ("1 MBytes", textOfInteger(-1048576));
    EXPECT_EQ("0 MBytes", textOfInteger(-1048575));
    EXPECT_EQ("2048 MBytes", textOfInteger(INT_MIN));
}

TEST(PropertyValueText, StringsComeThroughAsTheyAre)
{
    ComString name(SysAllocString(L"  NVIDIA GeForce GTX 580 \r\n"));
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = name.get();
    EXPECT_EQ("  NVIDIA GeForce GTX 580 \r\n", propertyValueText(variant));

    ComString empty(SysAllocString(L""));
    variant.bstrVal = empty.get();
    EXPECT_EQ("", propertyValueText(variant));
    variant.bstrVal = nullptr;
    EXPECT_EQ("", propertyValueText(variant));
}

TEST(PropertyValueText, OtherKindsAreUnknown)
{
    VARIANT variant;
    VariantInit(&variant);
    EXPECT_EQ("Unknown!", propertyValueText(variant));
    const VARTYPE others[] = {VT_NULL, VT_I2, VT_UI4, VT_I8, VT_BOOL, VT_R8, VT_BSTR | VT_ARRAY};
    for (VARTYPE type : others) {
        variant.vt = type;
        variant.llVal = 0;
        EXPECT_EQ("Unknown!", propertyValueText(variant)) << type;
    }
}

// Stands in for an interface: counts the references given back.
class CountingUnknown : public IUnknown {
public:
    explicit CountingUnknown(int& releases) : releases(releases) {}
    virtual ~CountingUnknown() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(++releases); }

private:
    int& releases;
};

TEST(ComPtr, ReleasesEachReferenceExactlyOnce)
{
    int firstReleases = 0;
    int secondReleases = 0;
    CountingUnknown first(firstReleases);
    CountingUnknown second(secondReleases);
    {
        ComPtr<IUnknown> owner;
        *owner.put() = &first;
        ComPtr<IUnknown> moved(std::move(owner));
        EXPECT_FALSE(owner); // NOLINT(bugprone-use-after-move): the moved-from state is under test
        EXPECT_EQ(&first, moved.get());
        EXPECT_EQ(0, firstReleases);

        *owner.put() = &second;
        owner = std::move(moved); // gives back the second
        EXPECT_EQ(1, secondReleases);
        *owner.put() = &second; // gives back the first
        EXPECT_EQ(1, firstReleases);
        owner.reset();
        owner.reset();
        EXPECT_EQ(2, secondReleases);
    }
    EXPECT_EQ(1, firstReleases);
    EXPECT_EQ(2, secondReleases);
}

// Copies would release twice; they must not compile.
static_assert(!std::is_copy_constructible_v<ComPtr<IUnknown>>);
static_assert(!std::is_copy_assignable_v<ComPtr<IUnknown>>);
static_assert(!std::is_copy_constructible_v<ComString>);
static_assert(!std::is_copy_constructible_v<Variant>);
static_assert(!std::is_copy_constructible_v<SystemInfo>);

} // namespace
