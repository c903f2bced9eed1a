#include "config/runtime_version.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace {

using Parts = std::array<std::int32_t, 4>;

RuntimeVersion low(std::wstring_view text)
{
    return parseRuntimeVersion(text, kVersionFillLow).version;
}

RuntimeVersion high(std::wstring_view text)
{
    return parseRuntimeVersion(text, kVersionFillHigh).version;
}

}  // namespace

TEST(ParseRuntimeVersion, ReadsDigitGroupsWhateverSeparatesThem)
{
    ParsedRuntimeVersion update = parseRuntimeVersion(L"1.8.0_291", 0);
    EXPECT_TRUE(update.succeeded);
    EXPECT_EQ(update.version.parts, (Parts{1, 8, 0, 291}));
    EXPECT_EQ(update.version.partCount, 4);

    EXPECT_EQ(low(L"jdk-17.0.1+12").parts, (Parts{17, 0, 1, 12}));
    EXPECT_EQ(low(L"  version 9 ").parts, (Parts{9, 0, 0, 0}));
}

TEST(ParseRuntimeVersion, MissingPartsTakeTheFillValue)
{
    RuntimeVersion upper = high(L"11.0.2");
    EXPECT_EQ(upper.parts, (Parts{11, 0, 2, 65535}));
    EXPECT_EQ(upper.partCount, 3);
    EXPECT_EQ(low(L"9").parts, (Parts{9, 0, 0, 0}));
    EXPECT_EQ(low(L"9").partCount, 1);
}

TEST(ParseRuntimeVersion, FifthGroupIsCountedNotStored)
{
    RuntimeVersion version = low(L"1.8.0_291-b10");
    EXPECT_EQ(version.parts, (Parts{1, 8, 0, 291}));
    EXPECT_EQ(version.partCount, 5);
}

TEST(ParseRuntimeVersion, TextsWithoutDigitsFail)
{
    for (const wchar_t* text : {L"", L"abc", L"Any", L"\u0661\u0662"}) {
        ParsedRuntimeVersion parsed = parseRuntimeVersion(text, kVersionFillHigh);
        EXPECT_FALSE(parsed.succeeded) << "text index";
        EXPECT_EQ(parsed.version.parts, (Parts{0, 0, 0, 0}));
        EXPECT_EQ(parsed.version.partCount, 0);
    }
}

TEST(ParseRuntimeVersion, GroupsBeyondThirtyTwoBitsFail)
{
    for (const wchar_t* text :
         {L"99999999999", L"1.2147483648", L"1.2147483649.3", L"1.3000000000"}) {
        ParsedRuntimeVersion parsed = parseRuntimeVersion(text, kVersionFillHigh);
        EXPECT_FALSE(parsed.succeeded);
        EXPECT_EQ(parsed.version.parts, (Parts{0, 0, 0, 0}));
        EXPECT_EQ(parsed.version.partCount, 0);
    }
    // The largest group that fits is still read.
    EXPECT_EQ(low(L"2147483647.1").parts, (Parts{2147483647, 1, 0, 0}));
}

TEST(VersionBounds, AnyIsTheExactLowerCaseWord)
{
    EXPECT_EQ(minimumVersionFromText(L"any").parts, (Parts{0, 0, 0, 0}));
    EXPECT_EQ(minimumVersionFromText(L"any").partCount, 4);
    EXPECT_EQ(maximumVersionFromText(L"any").parts, (Parts{65535, 65535, 65535, 65535}));
    EXPECT_EQ(maximumVersionFromText(L"Any").parts, (Parts{0, 0, 0, 0}));
    EXPECT_EQ(maximumVersionFromText(L"1.8").parts, (Parts{1, 8, 65535, 65535}));
    EXPECT_EQ(minimumVersionFromText(L"1.8").parts, (Parts{1, 8, 0, 0}));
}

TEST(VersionBounds, BothEndsAreIncluded)
{
    RuntimeVersion minimum = minimumVersionFromText(L"1.8");
    RuntimeVersion maximum = maximumVersionFromText(L"11.0.2");
    EXPECT_TRUE(versionWithinBounds(low(L"1.8"), minimum, maximum));
    EXPECT_TRUE(versionWithinBounds(high(L"11.0.2"), minimum, maximum));
    EXPECT_TRUE(versionWithinBounds(low(L"1.8.0_291"), minimum, maximum));
    EXPECT_FALSE(versionWithinBounds(low(L"1.7.0_80"), minimum, maximum));
    EXPECT_FALSE(versionWithinBounds(low(L"11.0.3"), minimum, maximum));
}

TEST(CompareRuntimeVersions, ComparesPartByPartAsSignedNumbers)
{
    EXPECT_LT(compareRuntimeVersions(low(L"1.8.0.291"), low(L"11.0.2")), 0);
    EXPECT_GT(compareRuntimeVersions(low(L"11.0.2"), low(L"1.8.0.291")), 0);
    EXPECT_EQ(compareRuntimeVersions(low(L"1.8.0.0"), low(L"1.8")), 0);
    // partCount plays no part.
    EXPECT_EQ(compareRuntimeVersions(low(L"1.8.0.0.7"), low(L"1.8")), 0);
}

TEST(FormatRuntimeVersion, WritesAtLeastTwoPartsAndDropsTrailingFills)
{
    EXPECT_EQ(formatRuntimeVersion(low(L"1.8.0_291")), L"1.8.0.291");
    EXPECT_EQ(formatRuntimeVersion(high(L"11.0.2")), L"11.0.2");
    EXPECT_EQ(formatRuntimeVersion(low(L"9")), L"9.0");
    EXPECT_EQ(formatRuntimeVersion(low(L"0.0.0.0")), L"0.0.0.0");
    EXPECT_EQ(formatRuntimeVersion(maximumVersionFromText(L"any")), L"0.0.0.0");
    EXPECT_EQ(formatRuntimeVersion(high(L"11")), L"11.65535");
}

TEST(MatchesPreferredVersion, TrailingZerosWidenTheFamily)
{
    RuntimeVersion update = low(L"1.8.0_291");
    EXPECT_TRUE(matchesPreferredVersion(low(L"1.8"), update));
    EXPECT_TRUE(matchesPreferredVersion(low(L"1.8.0"), update));
    EXPECT_TRUE(matchesPreferredVersion(low(L"1.8.0.291"), update));
    EXPECT_FALSE(matchesPreferredVersion(low(L"1.8.1"), update));
    EXPECT_FALSE(matchesPreferredVersion(low(L"11"), update));
    EXPECT_TRUE(matchesPreferredVersion(low(L"11"), low(L"11.0.21")));
    // No digit at all, or just 0, matches every candidate.
    EXPECT_TRUE(matchesPreferredVersion(low(L"latest"), update));
    EXPECT_TRUE(matchesPreferredVersion(low(L"0"), update));
}

TEST(DescribeVersionRequirement, ChoosesThePhraseByTheBoundsThatAreSet)
{
    VersionRequirement any =
        describeVersionRequirement(minimumVersionFromText(L"any"), maximumVersionFromText(L"any"));
    EXPECT_EQ(any.stringId, IDS_VERSION_ANY);
    EXPECT_TRUE(any.arguments.empty());

    VersionRequirement maximumOnly = describeVersionRequirement(minimumVersionFromText(L"any"),
                                                                maximumVersionFromText(L"11.0.2"));
    EXPECT_EQ(maximumOnly.stringId, IDS_VERSION_MAXIMUM);
    EXPECT_EQ(maximumOnly.arguments, std::vector<std::wstring>{L"11.0.2"});

    VersionRequirement minimumOnly =
        describeVersionRequirement(minimumVersionFromText(L"17"), maximumVersionFromText(L"any"));
    EXPECT_EQ(minimumOnly.stringId, IDS_VERSION_MINIMUM);
    EXPECT_EQ(minimumOnly.arguments, std::vector<std::wstring>{L"17.0"});
}

TEST(DescribeVersionRequirement, EqualBoundsNeedAllFourPartsEqual)
{
    // 1.8 as a maximum is 1.8.65535.65535, which differs from the minimum 1.8.0.0.
    VersionRequirement family =
        describeVersionRequirement(minimumVersionFromText(L"1.8"), maximumVersionFromText(L"1.8"));
    EXPECT_EQ(family.stringId, IDS_VERSION_RANGE);
    EXPECT_EQ(family.arguments, (std::vector<std::wstring>{L"1.8", L"1.8"}));

    VersionRequirement exact = describeVersionRequirement(minimumVersionFromText(L"1.8.0.291"),
                                                          maximumVersionFromText(L"1.8.0.291"));
    EXPECT_EQ(exact.stringId, IDS_VERSION_EXACT);
    EXPECT_EQ(exact.arguments, std::vector<std::wstring>{L"1.8.0.291"});
}
