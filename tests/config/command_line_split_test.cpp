#include "config/command_line_split.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::wstring>;

TEST(SplitCommandLine, BlanksSeparateAndRunsOfBlanksCountOnce)
{
    EXPECT_EQ(splitCommandLine(L"a  b   c"), (Pieces{L"a", L"b", L"c"}));
    EXPECT_EQ(splitCommandLine(L""), Pieces{});
    EXPECT_EQ(splitCommandLine(L"a "), Pieces{L"a"});
}

TEST(SplitCommandLine, TabsAndBackslashesHaveNoMeaning)
{
    EXPECT_EQ(splitCommandLine(L"a\tb c"), (Pieces{L"a\tb", L"c"}));
    EXPECT_EQ(splitCommandLine(L"C:\\x\\ \\\"y"), (Pieces{L"C:\\x\\", L"\\\"y"}));
}

TEST(SplitCommandLine, QuotesCountOnlyAtTheStartOfAPiece)
{
    // a"b c" gives a"b and c"
    EXPECT_EQ(splitCommandLine(L"a\"b c\""), (Pieces{L"a\"b", L"c\""}));
    // "a"b gives a and b: the next piece starts right after the closing quote
    EXPECT_EQ(splitCommandLine(L"\"a\"b"), (Pieces{L"a", L"b"}));
    EXPECT_EQ(splitCommandLine(L"\"with blanks\"  next"), (Pieces{L"with blanks", L"next"}));
}

TEST(SplitCommandLine, EmptyQuotedPiecesSurvive)
{
    EXPECT_EQ(splitCommandLine(L"x \"\" y"), (Pieces{L"x", L"", L"y"}));
    // A lone quote at the end gives a last, empty piece.
    EXPECT_EQ(splitCommandLine(L"x \""), (Pieces{L"x", L""}));
    // An unclosed quote takes the rest of the text, blanks included.
    EXPECT_EQ(splitCommandLine(L"x \"a b"), (Pieces{L"x", L"a b"}));
}

TEST(ArgumentsFromCommandLine, ProgramNameIsDropped)
{
    EXPECT_EQ(argumentsFromCommandLine(L"start.exe"), Pieces{});
    EXPECT_EQ(argumentsFromCommandLine(L"\"C:\\Program Files\\Acme\\start.exe\"   "), Pieces{});
    EXPECT_EQ(argumentsFromCommandLine(L"  start.exe doc.txt -nosplash "),
              (Pieces{L"doc.txt", L"-nosplash"}));
    EXPECT_EQ(argumentsFromCommandLine(L"start.exe \"\""), Pieces{L""});
    EXPECT_EQ(argumentsFromCommandLine(L""), Pieces{});
}

TEST(ArgumentsFromCommandLine, OuterWhiteSpaceOfAnyKindIsTrimmed)
{
    // Trailing tabs and line feeds would otherwise end up inside the last argument.
    EXPECT_EQ(argumentsFromCommandLine(L"\t start.exe doc.txt\t\r\n"), Pieces{L"doc.txt"});
}
