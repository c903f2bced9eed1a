#include "vm/vm_parameter_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::wstring>;

std::wstring unquoted(std::wstring token)
{
    stripQuotes(token);
    return token;
}

Tokens unquotedTokens(std::wstring_view text)
{
    Tokens tokens = splitVmParameters(text);
    for (std::wstring& token : tokens) {
        stripQuotes(token);
    }
    return tokens;
}

}  // namespace

TEST(FindParameterEnd, EndsAtTheFirstSpaceOutsideQuotes)
{
    EXPECT_EQ(findParameterEnd(L"-Xmx512m -Dflag", 0), 8u);
    EXPECT_EQ(findParameterEnd(L"-Xmx512m -Dflag", 9), 15u);
    EXPECT_EQ(findParameterEnd(L"-Dflag", 0), 6u);
    // A space inside a quoted part does not end the parameter.
    EXPECT_EQ(findParameterEnd(L"-Dt=\"My App\" -Dflag", 0), 12u);
    EXPECT_EQ(findParameterEnd(L"-Dt=\"My App\"", 0), 12u);
    EXPECT_EQ(findParameterEnd(L"\"a b\"x\"c d\" e", 0), 11u);
    // A space before the first quote ends it there.
    EXPECT_EQ(findParameterEnd(L"-Da -Db=\"x y\"", 0), 3u);
}

TEST(FindParameterEnd, QuotesWithoutSpacesAfterThemRunToTheEnd)
{
    EXPECT_EQ(findParameterEnd(L"-Da=\"x\"", 0), 7u);
    EXPECT_EQ(findParameterEnd(L"-Da=\"x", 0), 6u);
    EXPECT_EQ(findParameterEnd(L"\"", 0), 1u);
}

TEST(FindParameterEnd, UnmatchedQuoteEndsAtTheFirstSpaceAfterIt)
{
    EXPECT_EQ(findParameterEnd(L"-Da=\"x y z", 0), 6u);
    // Two pairs, then an unmatched quote in the next parameter.
    EXPECT_EQ(findParameterEnd(L"\"a\"x\"b c\" \"d e", 0), 9u);
    EXPECT_EQ(findParameterEnd(L"\"a\"x\"b c\" \"d e", 10), 12u);
    EXPECT_EQ(findParameterEnd(L"\"a b\" \"c d", 6), 8u);
}

TEST(FindParameterEnd, DoubledClosingQuoteEndsTheQuotedPart)
{
    // The quoted part ends at the doubled quote, so the next space outside a
    // new pair ends the parameter.
    EXPECT_EQ(findParameterEnd(L"-Da=\"x\"\"y z\" -Db", 0), 9u);
    EXPECT_EQ(findParameterEnd(L"\"a b\"\"c d\" e", 0), 7u);
    EXPECT_EQ(findParameterEnd(L"-Da=\"x\"\" y\" -Db", 0), 8u);
}

TEST(FindParameterEnd, StartAtASpaceGivesAnEmptyParameter)
{
    EXPECT_EQ(findParameterEnd(L" -Xmx1m", 0), 0u);
}

TEST(StripQuotes, RemovesEachPairAndKeepsWhatItEncloses)
{
    EXPECT_EQ(unquoted(L"-Dname=\"a b\""), L"-Dname=a b");
    EXPECT_EQ(unquoted(L"\"-Dname=a b\""), L"-Dname=a b");
    EXPECT_EQ(unquoted(L"-D\"a\"=\"b\"c"), L"-Da=bc");
    EXPECT_EQ(unquoted(L"\"\""), L"");
    EXPECT_EQ(unquoted(L"-Da=\"\"x"), L"-Da=x");
}

TEST(StripQuotes, TokensWithoutPairsStayAsTheyAre)
{
    EXPECT_EQ(unquoted(L""), L"");
    EXPECT_EQ(unquoted(L"-Xmx512m"), L"-Xmx512m");
    EXPECT_EQ(unquoted(L"-Da=\"x"), L"-Da=\"x");
    EXPECT_EQ(unquoted(L"-Da=x\""), L"-Da=x\"");
    EXPECT_EQ(unquoted(L"\""), L"\"");
    // A pair is removed; the third quote has no partner and stays.
    EXPECT_EQ(unquoted(L"\"a\"b\"c"), L"ab\"c");
}

TEST(StripQuotes, DoubledClosingQuoteLeavesOneQuoteAndEndsTheQuotedPart)
{
    EXPECT_EQ(unquoted(L"-Dname=\"a\"\"b\""), L"-Dname=a\"b\"");
    EXPECT_EQ(unquoted(L"-Dname=\"a\"\"b"), L"-Dname=a\"b");
    EXPECT_EQ(unquoted(L"\"a\"\"\"b\""), L"a\"b");
    EXPECT_EQ(unquoted(L"\"\"\"\""), L"\"\"");
}

TEST(SplitVmParameters, RunsOfSpacesSeparateTokensAndQuotesGroup)
{
    EXPECT_EQ(splitVmParameters(L"-Xmx512m  -Dapp.title=\"My App\" -Dflag"),
              (Tokens{L"-Xmx512m", L"-Dapp.title=\"My App\"", L"-Dflag"}));
    EXPECT_EQ(unquotedTokens(L"-Xmx512m  -Dapp.title=\"My App\" -Dflag"),
              (Tokens{L"-Xmx512m", L"-Dapp.title=My App", L"-Dflag"}));
    EXPECT_EQ(splitVmParameters(L"\"-Dpath=C:\\Program Files\\x\""),
              (Tokens{L"\"-Dpath=C:\\Program Files\\x\""}));
}

TEST(SplitVmParameters, EmptyTextAndSpacesAtTheEnds)
{
    EXPECT_EQ(splitVmParameters(L""), Tokens{});
    EXPECT_EQ(splitVmParameters(L"-Xmx1m   "), (Tokens{L"-Xmx1m"}));
    // A leading space makes an empty first token; the rest follow it.
    EXPECT_EQ(splitVmParameters(L" -Xmx1m"), (Tokens{L"", L"-Xmx1m"}));
    EXPECT_EQ(splitVmParameters(L"   -Xmx1m -Da"), (Tokens{L"", L"-Xmx1m", L"-Da"}));
    EXPECT_EQ(splitVmParameters(L"   "), (Tokens{L""}));
    // Only spaces separate; a tab is part of the token.
    EXPECT_EQ(splitVmParameters(L"-Da\t-Db"), (Tokens{L"-Da\t-Db"}));
}

TEST(SplitVmParameters, UnmatchedAndDoubledQuotes)
{
    EXPECT_EQ(splitVmParameters(L"-Da=\"x y -Db"), (Tokens{L"-Da=\"x", L"y", L"-Db"}));
    EXPECT_EQ(unquotedTokens(L"-Da=\"x y -Db"), (Tokens{L"-Da=\"x", L"y", L"-Db"}));
    EXPECT_EQ(splitVmParameters(L"-Da=\"x\"\"y\" -Db"), (Tokens{L"-Da=\"x\"\"y\"", L"-Db"}));
    EXPECT_EQ(unquotedTokens(L"-Da=\"x\"\"y\" -Db"), (Tokens{L"-Da=x\"y\"", L"-Db"}));
}
