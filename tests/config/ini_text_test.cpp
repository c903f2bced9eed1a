#include "config/ini_text.h"

#include <gtest/gtest.h>

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

TEST(ParseIniText, OnlyCarriageReturnLineFeedEndsALine)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\nfirst=1\nsecond=2\r\nthird=3\rfourth=4");
    // The lone LF and CR stay inside the value, and are trimmed only at its ends.
    EXPECT_EQ(store.readSetting(L"A", L"first"), L"1\nsecond=2");
    EXPECT_EQ(store.readSetting(L"A", L"second"), L"");
    EXPECT_EQ(store.readSetting(L"A", L"third"), L"3\rfourth=4");

    MemorySettingsStore unixText = parseIniText(L"[A]\nk=v\n");
    EXPECT_TRUE(unixText.isEmpty());
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

TEST(ParseIniText, SectionNameIsKeptAsWrittenBetweenTheBrackets)
{
    MemorySettingsStore store =
        parseIniText(L"  \t[ Application ]  \t\r\nk=1\r\n[a]b]\r\nk=2\r\n[]\r\nk=3\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L" Application ", L"a]b", L""}));
    EXPECT_EQ(store.readSetting(L" Application ", L"k"), L"1");
    EXPECT_EQ(store.readSetting(L"Application", L"k"), L"");
    EXPECT_EQ(store.readSetting(L"a]b", L"k"), L"2");
    EXPECT_EQ(store.readSetting(L"", L"k"), L"3");
}

TEST(ParseIniText, LineThatOnlyStartsWithABracketIsNoSection)
{
    MemorySettingsStore store = parseIniText(L"[A]\r\n[B\r\n[C] x=1\r\nk=v\r\n");
    EXPECT_EQ(store.sectionNames(), (Names{L"A"}));
    EXPECT_EQ(store.readSetting(L"A", L"[C] x"), L"1");
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"v");
}

TEST(ParseIniText, KeysAndValuesAreTrimmedAndSplitAtTheFirstEquals)
{
    MemorySettingsStore store = parseIniText(
        L"[A]\r\n   Main Class \t=  com.example.App  \r\nCmd = -a=b = c\r\nEmpty =   \r\n");
    EXPECT_EQ(store.readSetting(L"A", L"Main Class"), L"com.example.App");
    EXPECT_EQ(store.readSetting(L"A", L"Cmd"), L"-a=b = c");
    EXPECT_EQ(store.readSetting(L"A", L"Empty"), L"");
    EXPECT_EQ(store.readSetting(L"A", L"Main Class "), L"");
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
    MemorySettingsStore store = parseIniText(L"\x01\x1F[A]\x02\r\nk=v");
    EXPECT_EQ(store.sectionNames(), (Names{L"A"}));
    EXPECT_EQ(store.readSetting(L"A", L"k"), L"v");
}

}  // namespace
