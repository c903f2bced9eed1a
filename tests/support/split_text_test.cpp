#include "support/split_text.h"

#include <gtest/gtest.h>

namespace {

using Pieces = std::vector<std::wstring>;

TEST(SplitText, EveryDelimiterEndsOnePieceEmptyOnesIncluded)
{
    EXPECT_EQ(splitText(L"a;b;c", L";"), (Pieces{L"a", L"b", L"c"}));
    EXPECT_EQ(splitText(L"a;;b", L";"), (Pieces{L"a", L"", L"b"}));
    EXPECT_EQ(splitText(L";a", L";"), (Pieces{L"", L"a"}));
    EXPECT_EQ(splitText(L";;", L";"), (Pieces{L"", L""}));
}

TEST(SplitText, TextEndingWithTheDelimiterHasNoEmptyLastPiece)
{
    EXPECT_EQ(splitText(L"a;b;", L";"), (Pieces{L"a", L"b"}));
    EXPECT_EQ(splitText(L";", L";"), (Pieces{L""}));
}

TEST(SplitText, EmptyTextGivesNoPiecesAndTextWithoutDelimiterGivesItself)
{
    EXPECT_TRUE(splitText(L"", L";").empty());
    EXPECT_EQ(splitText(L"lib\\a.jar", L";"), (Pieces{L"lib\\a.jar"}));
}

TEST(SplitText, DelimiterOfSeveralCharactersIsMatchedWhole)
{
    EXPECT_EQ(splitText(L"one\r\ntwo\nthree\r\n\r\nfour", L"\r\n"),
              (Pieces{L"one", L"two\nthree", L"", L"four"}));
    EXPECT_EQ(splitText(L"a\rb", L"\r\n"), (Pieces{L"a\rb"}));
}

TEST(SplitText, ZeroCharacterAsDelimiter)
{
    std::wstring_view list(L"A\0B\0\0C\0", 7);
    EXPECT_EQ(splitText(list, std::wstring_view(L"\0", 1)), (Pieces{L"A", L"B", L"", L"C"}));
}

}  // namespace
