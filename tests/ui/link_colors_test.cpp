#include "ui/link_colors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> utf16Bytes(std::wstring_view text, bool terminated)
{
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    if (terminated) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

}  // namespace

TEST(ParseColorText, ThreeNumbersAreRedGreenAndBlue)
{
    EXPECT_EQ(parseColorText(L"0,0,255"), 0xFF0000u);
    EXPECT_EQ(parseColorText(L"255,0,0"), 0x0000FFu);
    EXPECT_EQ(parseColorText(L"128,0,128"), 0x800080u);
    EXPECT_EQ(parseColorText(L"1,2,3"), 0x030201u);
    // Blanks around the numbers, as people type them.
    EXPECT_EQ(parseColorText(L" 16 , 32 , 64 "), 0x402010u);
}

TEST(ParseColorText, MissingCommaOrEmptyBlueGivesNoColour)
{
    EXPECT_EQ(parseColorText(L""), std::nullopt);
    EXPECT_EQ(parseColorText(L"255"), std::nullopt);
    EXPECT_EQ(parseColorText(L"255,0"), std::nullopt);
    EXPECT_EQ(parseColorText(L"255,0,"), std::nullopt);
    EXPECT_EQ(parseColorText(L"255;0;0"), std::nullopt);
}

TEST(ParseColorText, EmptyOrOddPartsBeforeBlueReadAsTheirDigits)
{
    // Only the blue part must be there; the others read as far as they are numbers.
    EXPECT_EQ(parseColorText(L",,7"), 0x070000u);
    EXPECT_EQ(parseColorText(L"red,green,9"), 0x090000u);
    EXPECT_EQ(parseColorText(L"12px,34,56"), 0x38220Cu);
    // A blue part that is no number is still a part: it reads as 0.
    EXPECT_EQ(parseColorText(L"1,2,x"), 0x000201u);
    // A third comma belongs to the blue part.
    EXPECT_EQ(parseColorText(L"1,2,3,4"), 0x030201u);
}

TEST(ParseColorText, OnlyTheLowEightBitsOfEachNumberCount)
{
    EXPECT_EQ(parseColorText(L"256,257,511"), 0xFF0100u);
    EXPECT_EQ(parseColorText(L"-1,0,0"), 0x0000FFu);
    // Beyond 32 and 64 bits: still the low bits of the number, no overflow.
    EXPECT_EQ(parseColorText(L"4294967303,0,0"), 0x000007u);
    EXPECT_EQ(parseColorText(L"0,0,18446744073709551621"), 0x050000u);
}

TEST(ColorTextFromValueBytes, TakesTerminatedTextsUpToTwentyFourBytes)
{
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(L"0,0,255", true)), L"0,0,255");
    EXPECT_EQ(colorTextFromValueBytes({}), L"");
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(L"", true)), L"");
    // 11 characters and the NUL are exactly 24 bytes.
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(L"255,255,255", true)), L"255,255,255");
    // Text after an inner NUL is not part of the value's text.
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(std::wstring(L"1,2,3\0junk", 10), true)),
              L"1,2,3");
}

TEST(ColorTextFromValueBytes, RefusesLongUnterminatedOrOddValues)
{
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(L"0255,255,255", true)), std::nullopt);
    EXPECT_EQ(colorTextFromValueBytes(utf16Bytes(L"0,0,255", false)), std::nullopt);
    std::vector<std::uint8_t> odd = utf16Bytes(L"0,0,1", true);
    odd.push_back(0);
    EXPECT_EQ(colorTextFromValueBytes(odd), std::nullopt);
}

TEST(LinkTextShift, MovesByTheRoomTheAlignmentAsksFor)
{
    EXPECT_EQ(linkTextShift(LinkAlignment::left, 200, 120), 0);
    EXPECT_EQ(linkTextShift(LinkAlignment::centre, 200, 120), 40);
    EXPECT_EQ(linkTextShift(LinkAlignment::centre, 201, 120), 40);
    EXPECT_EQ(linkTextShift(LinkAlignment::right, 200, 120), 80);
    // Text as wide as the control or wider stays at its left edge.
    EXPECT_EQ(linkTextShift(LinkAlignment::centre, 100, 100), 0);
    EXPECT_EQ(linkTextShift(LinkAlignment::right, 100, 150), 0);
    EXPECT_EQ(linkTextShift(LinkAlignment::centre, 100, 150), 0);
}
