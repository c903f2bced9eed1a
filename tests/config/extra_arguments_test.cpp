#include "config/extra_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::wstring>;

Arguments appended(Arguments arguments, std::wstring_view text)
{
    appendExtraArguments(text, arguments);
    return arguments;
}

TEST(ExtraArguments, PiecesFollowTheCommandLineArgumentsInOrder)
{
    EXPECT_EQ(appended({L"doc.txt"}, L"-open -fast"), (Arguments{L"doc.txt", L"-open", L"-fast"}));
    EXPECT_EQ(appended({}, L"-open \"C:\\My Files\\a.txt\""),
              (Arguments{L"-open", L"C:\\My Files\\a.txt"}));
    // The first piece is an argument too: no program name is dropped.
    EXPECT_EQ(appended({L"x"}, L"tool.exe"), (Arguments{L"x", L"tool.exe"}));
}

TEST(ExtraArguments, EmptyPiecesAreDroppedButTheUsersOwnStay)
{
    // The user's own empty argument stays; the setting's empty pieces do not.
    EXPECT_EQ(appended({L""}, L"\"\" a \"\" b \""), (Arguments{L"", L"a", L"b"}));
    EXPECT_EQ(appended({L"x"}, L""), Arguments{L"x"});
    EXPECT_EQ(appended({L"x"}, L"\"\""), Arguments{L"x"});
}

TEST(ExtraArguments, OnlyBlanksSeparateAndQuotesCountAtThePieceStartOnly)
{
    EXPECT_EQ(appended({}, L"a\tb   c"), (Arguments{L"a\tb", L"c"}));
    EXPECT_EQ(appended({}, L"a\"b c\""), (Arguments{L"a\"b", L"c\""}));
    EXPECT_EQ(appended({}, L"\"a\"b"), (Arguments{L"a", L"b"}));
    EXPECT_EQ(appended({}, L"C:\\path\\ \\\\server"), (Arguments{L"C:\\path\\", L"\\\\server"}));
}

}  // namespace
