#include "config/ini_text.h"
#include "config/profile_names.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

namespace {

using Names = std::vector<std::wstring>;

TEST(ParseIniText, SectionsAndKeysInOrder)
{
    MemorySettingsStore store = parseIniText(
        L"[Application]\r\nMain Class=com.example.App\r\n"
        L"[Java Runtime Environment]\r\nJVM Type=server\r\nMinimum Version=1.8\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"Application", L"Java Runtime Environment"}));
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"com.example.App");
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"JVM Type"), L"server");
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"Minimum Version"), L"1.8");
    EXPECT_EQ(store.readSetting(L"Application", L"JVM Type"), L"");
}

TEST(ParseIniText, AnyCarriageReturnOrLineFeedEndsALine)
{
    // As the profile functions read a file: a lone LF or CR ends a line too.
    MemorySettingsStore store = parseIniText(L"[A]\r\nfirst=1\nsecond=2\r\nthird=3\rfourth=4");
    EXPECT_EQ(store.readSetting(L"A", L"first"), L"1");
    EXPECT_EQ(store.readSetting(L"A", L"second"), L"2");
    EXPECT_EQ(store.readSetting(L"A", L"third"), L"3");
    EXPECT_EQ(store.readSetting(L"A", L"fourth"), L"4");

    MemorySettingsStore unixText = parseIniText(L"[A]\nk=v\n");
    EXPECT_EQ(unixText.readSetting(L"A", L"k"), L"v");
}

TEST(ParseIniText, ByteOrderMarkAtTheStartIsDropped)
{
    MemorySettingsStore store = parseIniText(L"\xFEFF[Application]\r\nk=v\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"Application"}));
    EXPECT_EQ(store.readSetting(L"Application", L"k"), L"v");

    // Only the first one: a second mark stays part of the text.
    MemorySettingsStore twice = parseIniText(L"\xFEFF\xFEFF[A]\r\nk=v\r\n");
    EXPECT_EQ(twice.readSetting(L"A", L"k"), L"");
}

TEST(ParseIniText, SectionNameIsTheTrimmedTextUpToTheLastBracket)
{
    MemorySettingsStore store =
        parseIniText(L"  \t[ Application ]  \t\r\nk=1\r\n[a]b]\r\nk=2\r\n[]\r\nk=3\r\n");
    // A section with an empty name is never found, and not listed.
    EXPECT_EQ(store.sectionNames(), (Names{L"Application", L"a]b"}));
    EXPECT_EQ(store.readSetting(L" Application ", L"k"), L"1");
    EXPECT_EQ(store.readSetting(L"Application", L"k"), L"1");
    EXPECT_EQ(store.readSetting(L"a]b", L"k"), L"2");
    EXPECT_EQ(store.readSetting(L"", L"k"), L"");
}

TEST(ParseIniText, CommentAfterASectionHeaderStillOpensTheSection)
{
    // The keys of such a section used to land in the section before it.
    MemorySettingsStore store = parseIniText(
        L"[Application]\r\nMain Class=a.B\r\n"
        L"[Java Runtime Environment] ; the runtime\r\nMain Class=c.D\r\n");
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"a.B");
    EXPECT_EQ(store.readSetting(L"Java Runtime Environment", L"Main Class"), L"c.D");
}

TEST(ParseIniText, NamesMatchWithoutLetterCase)
{
    MemorySettingsStore store = parseIniText(L"[application]\r\nMAIN class=a.B\r\n");
    EXPECT_EQ(store.readSetting(L"Application", L"Main Class"), L"a.B");
}

TEST(ParseIniText, ValueInMatchingQuotesIsReadWithoutThem)
{
    MemorySettingsStore store = parseIniText(
        L"[A]\r\ndouble=\"C:\\Program Files\\Java\"\r\nsingle='x y'\r\nempty=\"\"\r\n"
        L"one=\"\r\nmixed=\"x'\r\ninner=a\"b\"\r\nblanks=  \" x \"  \r\n");
    EXPECT_EQ(store.readSetting(L"A", L"double"), L"C:\\Program Files\\Java");
    EXPECT_EQ(store.readSetting(L"A", L"single"), L"x y");
    EXPECT_EQ(store.readSetting(L"A", L"empty"), L"");
    EXPECT_EQ(store.readSetting(L"A", L"one"), L"\"");
    EXPECT_EQ(store.readSetting(L"A", L"mixed"), L"\"x'");
    EXPECT_EQ(store.readSetting(L"A", L"inner"), L"a\"b\"");
    EXPECT_EQ(store.readSetting(L"A", L"blanks"), L" x ");
}

TEST(ParseIniText, KeyWithoutEqualsHidesALaterKeyOfTheSameName)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\nMain Class\r\nMain Class=a.B\r\n");
    EXPECT_EQ(store.readSetting(L"A", L"Main Class"), L"");
}

TEST(ParseIniText, LineStartingWithABracketWithoutAClosingOneIsAKey)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\n[B\r\n[B=2\r\n[C] x=1\r\nk=v\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"A", L"C"}));
    EXPECT_EQ(store.readSetting(L"A", L"[B"), L"");
    EXPECT_EQ(store.readSetting(L"C", L"k"), L"v");
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"");
}

TEST(ParseIniText, KeysAndValuesAreTrimmedAndSplitAtTheFirstEquals)
{
    MemorySettingsStore store = parseIniText(
        L"[A]\r\n   Main Class \t=  com.example.App  \r\nCmd = -a=b = c\r\nEmpty =   \r\n");
    EXPECT_EQ(store.readSetting(L"A", L"Main Class"), L"com.example.App");
    EXPECT_EQ(store.readSetting(L"A", L"Cmd"), L"-a=b = c");
    EXPECT_EQ(store.readSetting(L"A", L"Empty"), L"");
    // The name asked for is trimmed too.
    EXPECT_EQ(store.readSetting(L"A", L" Main Class "), L"com.example.App");
}

TEST(ParseIniText, LinesBeforeTheFirstSectionAndLinesWithoutEqualsAreIgnored)
{
    MemorySettingsStore store =
        parseIniText(L"k=before\r\n; comment\r\n[A]\r\njust words\r\n\r\n   \r\nk=after\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"A"}));
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"after");
    EXPECT_EQ(store.readSetting(L"A", L"just words"), L"");
}

TEST(ParseIniText, RepeatedKeyKeepsItsFirstValue)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\nk=first\r\nk=second\r\n");
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"first");
}

TEST(ParseIniText, RepeatedSectionKeepsItsPairsApartAndTheFirstIsRead)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\ny=3\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"A", L"B", L"A"}));
    EXPECT_EQ(store.readSetting(L"A", L"x"), L"1");
    EXPECT_EQ(store.readSetting(L"A", L"y"), L"");
}

TEST(ParseIniText, EmptyTextAndControlCharacters)
{
    EXPECT_TRUE(parseIniText(L"").isEmpty());
    EXPECT_TRUE(parseIniText(L"\xFEFF").isEmpty());
    // Blanks are 9 to 13, 26 and 32; other control characters are text.
    MemorySettingsStore store = parseIniText(L"\x1A\v[A]\f\x1A\r\nk=v");
    EXPECT_EQ(store.sectionNames(), (Names{L"A"}));
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"v");
    MemorySettingsStore other = parseIniText(L"\x01\x1F[A]\x02\r\nk=v");
    EXPECT_TRUE(other.sectionNames().empty());
    EXPECT_EQ(other.readSetting(L"A", L"k"), L"");
}

TEST(ParseIniText, NamesAndValuesEndAtTheirFirstZero)
{
    constexpr wchar_t text[] = L"[A\0x]\r\nk\0y=v\0z\r\n";
    MemorySettingsStore store = parseIniText(std::wstring_view(text, std::size(text) - 1));
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"v");
}

TEST(WithIniValue, ReplacesTheKeysLineAndKeepsEveryOtherLine)
{
    const std::wstring text =
        L"; vendor settings\r\n[application]\nMain Class=a.B\n"
        L"[Java Runtime Environment] ; runtime\r\n  jre path = old \r\nJVM Type=server";
    EXPECT_EQ(withIniValue(text, L"Java Runtime Environment", L"JRE Path", L"D:\\J\\"),
              L"; vendor settings\r\n[application]\nMain Class=a.B\n"
              L"[Java Runtime Environment] ; runtime\r\nJRE Path=D:\\J\\\r\nJVM Type=server");
}

TEST(WithIniValue, AddsTheKeyAfterTheLastLineOfTheFirstSectionOfTheName)
{
    EXPECT_EQ(withIniValue(L"[A]\r\nx=1\r\n\r\n[B]\r\n[A]\r\nk=2\r\n", L"a", L"k", L"v"),
              L"[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\n[A]\r\nk=2\r\n");
    EXPECT_EQ(withIniValue(L"[A]\r\nx=1", L"A", L"k", L"v"), L"[A]\r\nx=1\r\nk=v\r\n");
    EXPECT_EQ(withIniValue(L"[A]", L"A", L"k", L"v"), L"[A]\r\nk=v\r\n");
}

TEST(WithIniValue, AppendsAMissingSection)
{
    EXPECT_EQ(withIniValue(L"", L"S", L"k", L"v"), L"[S]\r\nk=v\r\n");
    EXPECT_EQ(withIniValue(L"\xFEFF", L"S", L"k", L"v"), L"\xFEFF[S]\r\nk=v\r\n");
    EXPECT_EQ(withIniValue(L"\xFEFF[A]\nx=1", L"S", L"k", L"v"),
              L"\xFEFF[A]\nx=1\r\n[S]\r\nk=v\r\n");
    EXPECT_EQ(withIniValue(L"[A]\n", L"S", L"k", L"v"), L"[A]\n[S]\r\nk=v\r\n");
}

TEST(WithIniValue, EveryValueReadsBackUnchanged)
{
    const std::wstring text = L"[A]\r\nother=1\r\n";
    for (const wchar_t* value : {L"", L" x", L"x ", L"\"q\"", L"'q'", L"\"", L"a=b", L"[x]",
                                 L"C:\\Users\\\u00e5sa\\\u4e2d\\", L"\t", L"\"x'"}) {
        std::optional<std::wstring> edited = withIniValue(text, L"A", L"k", value);
        ASSERT_TRUE(edited) << value;
        MemorySettingsStore store = parseIniText(*edited);
        EXPECT_EQ(store.readSetting(L"A", L"k"), value);
        EXPECT_EQ(store.readSetting(L"A", L"other"), L"1");
    }
}

TEST(WithIniValue, WhatCannotReadBackIsRefused)
{
    EXPECT_EQ(withIniValue(L"", L"A", L"k", L"a\r\nb=c"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A", L"k", std::wstring_view(L"a\0b", 3)), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"", L"k", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A", L"", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L" A", L"k", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A", L"k ", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A", L"a=b", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A", L"[k]", L"v"), std::nullopt);
    EXPECT_EQ(withIniValue(L"", L"A\nB", L"k", L"v"), std::nullopt);
}

}  // namespace

// A settings file is asked for a section, or a section for a key, only when
// one of the names it lists can match; when in doubt it is asked.
TEST(ProfileNames, AFileIsAskedOnlyWhenASectionOrKeyCanMatch)
{
    const Names names = {L"Java Runtime Environment", L"class path"};
    EXPECT_TRUE(mayHoldProfileName(names, L"Java Runtime Environment"));
    EXPECT_TRUE(mayHoldProfileName(names, L"JAVA RUNTIME ENVIRONMENT"));
    EXPECT_TRUE(mayHoldProfileName(names, L"Class Path"));
    EXPECT_TRUE(mayHoldProfileName(names, L" Class Path\t"));
    EXPECT_FALSE(mayHoldProfileName(names, L"Java Runtime Environment+"));
    EXPECT_FALSE(mayHoldProfileName(names, L"Application"));
    EXPECT_FALSE(mayHoldProfileName({}, L"Application"));
    // A name beyond ASCII, in the file or asked for, may match by rules
    // beyond A to Z (the Kelvin sign folds to k).
    EXPECT_TRUE(mayHoldProfileName({L"Java Runtime Environment", L"\u212Aey"}, L"Application"));
    EXPECT_TRUE(mayHoldProfileName(names, L"\u212Aey"));
    // The lists leave out comment lines and empty names; asking may find them.
    EXPECT_TRUE(mayHoldProfileName(names, L";Class Path"));
    EXPECT_TRUE(mayHoldProfileName(names, L" "));
}
