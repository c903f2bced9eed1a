// Texts coming back from the VM and the time stamp in output file names.
#include <gtest/gtest.h>

#include <string>

#include "vm/modified_utf8.h"
#include "vm/timestamp_picture.h"

namespace {

// U+1F600 as UTF-16 units; wchar_t is wider than 16 bits on some platforms,
// where a \U literal would be one unit.
const std::wstring kEmojiUnits = {wchar_t(0xD83D), wchar_t(0xDE00)};

TEST(WideFromModifiedUtf8, EveryUnitComesBackUnchanged)
{
    // ASCII, a two-byte and a three-byte character.
    EXPECT_EQ(wideFromModifiedUtf8("com/example/App"), L"com/example/App");
    EXPECT_EQ(wideFromModifiedUtf8("Gr\xC3\xBC\xC3\x9F"
                                   "e"),
              L"Grüße");
    EXPECT_EQ(wideFromModifiedUtf8("\xE2\x89\xA0"), L"\u2260");
    // U+0000 is written as two bytes, so it does not end the text.
    EXPECT_EQ(wideFromModifiedUtf8(std::string("a\xC0\x80"
                                               "b")),
              std::wstring(L"a\0b", 3));
    // A supplementary character is written as its two surrogates, three bytes each.
    EXPECT_EQ(wideFromModifiedUtf8("\xED\xA0\xBD\xED\xB8\x80"), kEmojiUnits);
    // A lone surrogate stays a lone surrogate.
    EXPECT_EQ(wideFromModifiedUtf8("x\xED\xB8\x80"), std::wstring(L"x") + wchar_t(0xDE00));
}

TEST(WideFromModifiedUtf8, DamagedBytesBecomeReplacementCharacters)
{
    // Standard four-byte UTF-8 is read all the same.
    EXPECT_EQ(wideFromModifiedUtf8("\xF0\x9F\x98\x80"), kEmojiUnits);
    // A cut sequence, a stray continuation byte and an invalid lead byte.
    EXPECT_EQ(wideFromModifiedUtf8("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(wideFromModifiedUtf8("\x80z"), L"\uFFFDz");
    EXPECT_EQ(wideFromModifiedUtf8("\xFF\xE2\x89"), L"\uFFFD\uFFFD\uFFFD");
    // Beyond U+10FFFF there is no character.
    EXPECT_EQ(wideFromModifiedUtf8("\xF4\x90\x80\x80"), L"\uFFFD");
    EXPECT_EQ(wideFromModifiedUtf8(""), L"");
}

TEST(SplitTimestampedName, PictureBetweenFirstAndLastPercent)
{
    std::optional<TimestampedName> parts =
        splitTimestampedName(L"C:\\Logs\\out_%yyyy-MM-dd_HH-mm-ss%.log");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->before, L"C:\\Logs\\out_");
    EXPECT_EQ(parts->picture, L"yyyy-MM-dd_HH-mm-ss");
    EXPECT_EQ(parts->after, L".log");

    // Percent signs inside belong to the picture.
    parts = splitTimestampedName(L"a%x%y%b");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->before, L"a");
    EXPECT_EQ(parts->picture, L"x%y");
    EXPECT_EQ(parts->after, L"b");
}

TEST(SplitTimestampedName, NoPercentOnePercentAndAnEmptyPicture)
{
    EXPECT_FALSE(splitTimestampedName(L"C:\\Logs\\out.log"));

    std::optional<TimestampedName> single = splitTimestampedName(L"out%.log");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->before, L"out");
    EXPECT_EQ(single->picture, L"");
    EXPECT_EQ(single->after, L".log");

    std::optional<TimestampedName> empty = splitTimestampedName(L"%%");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->before, L"");
    EXPECT_EQ(empty->picture, L"");
    EXPECT_EQ(empty->after, L"");
}

TEST(WithMilliseconds, EveryLBecomesThePlainNumber)
{
    EXPECT_EQ(withMilliseconds(L"yyyyMMdd_HHmmss_L", 42), L"yyyyMMdd_HHmmss_42");
    EXPECT_EQ(withMilliseconds(L"L-L", 7), L"7-7");
    EXPECT_EQ(withMilliseconds(L"L", 0), L"0");
    EXPECT_EQ(withMilliseconds(L"L", 250), L"250");
    // Quoted text is no shelter: the milliseconds go in before quotes are read.
    EXPECT_EQ(withMilliseconds(L"'Log'L", 9), L"'9og'9");
    // Only the capital letter counts.
    EXPECT_EQ(withMilliseconds(L"l", 9), L"l");
}

}  // namespace
