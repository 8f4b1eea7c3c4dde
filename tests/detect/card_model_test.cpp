#include <gtest/gtest.h>

#include "detect/CardModel.h"

#include <string>

using namespace std::string_literals;

namespace {

constexpr UINT kShiftJis = 932;
constexpr UINT kWesternEuropean = 1252;

int modelOf(const std::string& name)
{
    return cardModelForAdapterName(name);
}

TEST(AdapterNameTable, EachKnownNameSelectsItsModel)
{
    EXPECT_EQ(kRadeonHD6800Model, modelOf("Radeon HD 6800 Series"));
    EXPECT_EQ(kRadeonHD6800Model, modelOf("AMD Radeon HD 6800 Series"));
    EXPECT_EQ(kRadeonHD6900Model, modelOf("Radeon HD 6900 Series"));
    EXPECT_EQ(kRadeonHD6900Model, modelOf("AMD Radeon HD 6900 Series"));
    EXPECT_EQ(kGeForceGTX560TiModel, modelOf("NVIDIA GeForce GTX 560 Ti"));
    EXPECT_EQ(kGeForceGTX580Model, modelOf("NVIDIA GeForce GTX 580"));
    EXPECT_EQ(0, kRadeonHD6800Model);
    EXPECT_EQ(4, kUnknownCardModel);
}

TEST(AdapterNameTable, WhiteSpaceAtEitherEndIsIgnored)
{
    EXPECT_EQ(kRadeonHD6800Model, modelOf("AMD Radeon HD 6800 Series   "));
    EXPECT_EQ(kRadeonHD6800Model, modelOf("\tAMD Radeon HD 6800 Series"));
    EXPECT_EQ(kRadeonHD6900Model, modelOf("\r\n Radeon HD 6900 Series\r\n"));
    EXPECT_EQ(kGeForceGTX580Model, modelOf("\v\f NVIDIA GeForce GTX 580 \t\f\v"));
}

TEST(AdapterNameTable, WhiteSpaceInsideOrOfAnotherKindIsNotIgnored)
{
    EXPECT_EQ(kUnknownCardModel, modelOf("AMD  Radeon HD 6800 Series"));
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX\t580"));
    // No-break space (0xA0 in the Western code pages) is not white space here.
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX 580\xA0"));
    // The platform's string comparison ends at a NUL, as the name's text does.
    EXPECT_EQ(kGeForceGTX580Model, modelOf("NVIDIA GeForce GTX 580"s + '\0' + "junk"));
}

TEST(AdapterNameTable, NearMissesAreUnknown)
{
    EXPECT_EQ(kUnknownCardModel, modelOf("amd radeon hd 6800 series"));
    EXPECT_EQ(kUnknownCardModel, modelOf("AMD RADEON HD 6800 SERIES"));
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX 560 Ti 448 Cores"));
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX 560"));
    EXPECT_EQ(kUnknownCardModel, modelOf("GeForce GTX 580"));
    EXPECT_EQ(kUnknownCardModel, modelOf("GeForce GTX 560 Ti"));
    EXPECT_EQ(kUnknownCardModel, modelOf("ATI Radeon HD 6900 Series"));
    EXPECT_EQ(kUnknownCardModel, modelOf("AMD Radeon HD 6800"));
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX 470"));
    EXPECT_EQ(kUnknownCardModel, modelOf("Intel(R) HD Graphics 4000"));
    EXPECT_EQ(kUnknownCardModel, modelOf("VideoController1"));
}

TEST(AdapterNameTable, EmptyLongAndOddByteNamesAreUnknown)
{
    EXPECT_EQ(kUnknownCardModel, modelOf(""));
    EXPECT_EQ(kUnknownCardModel, modelOf(" \t\r\n\v\f"));
    EXPECT_EQ(kUnknownCardModel, modelOf(std::string(1 << 20, 'x')));
    EXPECT_EQ(kUnknownCardModel, modelOf(std::string(1 << 20, ' ') + "x"));
    EXPECT_EQ(kUnknownCardModel, modelOf("\x81"));
    EXPECT_EQ(kUnknownCardModel, modelOf("\xFF\xFE\x80\x00\x7F"s));
    EXPECT_EQ(kUnknownCardModel, modelOf("NVIDIA GeForce GTX 580\x81"));
    for (UINT codePage : {kShiftJis, kWesternEuropean, 936u, 949u, 950u, 65001u}) {
        EXPECT_EQ(kUnknownCardModel, cardModelForAdapterName("\x81", codePage)) << codePage;
        EXPECT_EQ(kUnknownCardModel, cardModelForAdapterName(" \x81 \x81", codePage)) << codePage;
        EXPECT_EQ(kGeForceGTX580Model, cardModelForAdapterName(" NVIDIA GeForce GTX 580 ", codePage))
            << codePage;
    }
}

TEST(TrimWhiteSpace, TrailBytesOfDoubleByteCharactersStay)
{
    // 0x81 leads a double-byte character in Shift-JIS; the byte after it
    // belongs to it even when it looks like a blank or a tab.
    EXPECT_EQ("ab\x81 ", trimWhiteSpace("ab\x81 ", kShiftJis));
    EXPECT_EQ("ab\x81\t", trimWhiteSpace("ab\x81\t  ", kShiftJis));
    EXPECT_EQ("x\x81 ", trimWhiteSpace("  x\x81 \r\n", kShiftJis));
    // In a single-byte code page the same bytes are a character and a blank.
    EXPECT_EQ("ab\x81", trimWhiteSpace("ab\x81 ", kWesternEuropean));
    EXPECT_EQ("ab\x81", trimWhiteSpace("ab\x81\t  ", kWesternEuropean));
}

TEST(TrimWhiteSpace, StepsOverDoubleByteCharactersFromTheStart)
{
    // Pairs are formed from the front: 0x81 0x81 is one character, so the
    // blanks after it stand alone and go; a third 0x81 takes the first blank.
    EXPECT_EQ("\x81\x81", trimWhiteSpace("\x81\x81  ", kShiftJis));
    EXPECT_EQ("\x81\x81\x81 ", trimWhiteSpace("\x81\x81\x81  ", kShiftJis));
    // A lead byte at the very end has no trail byte and is kept as it is.
    EXPECT_EQ("a \x81", trimWhiteSpace(" a \x81", kShiftJis));
    EXPECT_EQ("\x81", trimWhiteSpace("\x81", kShiftJis));
}

TEST(TrimWhiteSpace, KeepsTheInsideAndPointsIntoTheInput)
{
    const std::string text = "\t a \t b \r\n";
    const std::string_view trimmed = trimWhiteSpace(text);
    EXPECT_EQ("a \t b", trimmed);
    EXPECT_EQ(text.data() + 2, trimmed.data());
    EXPECT_TRUE(trimWhiteSpace("").empty());
    EXPECT_TRUE(trimWhiteSpace("   ").empty());
    EXPECT_EQ("x", trimWhiteSpace("x"));
}

} // namespace
