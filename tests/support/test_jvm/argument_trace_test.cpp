// The trace lines of a String[]: written in one block, read back unit for
// unit, and incomplete or foreign blocks left out.
#include "support/test_jvm/argument_trace.h"

#include <gtest/gtest.h>

using namespace test_jvm;

namespace {

std::vector<std::string> linesOf(const std::string& block)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = block.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(block.substr(start, end - start));
    }
    lines.push_back(block.substr(start));
    return lines;
}

TEST(ArgumentTrace, WritesEachElementAsHexCodeUnits)
{
    std::vector<TracedArgument> arguments = {u"a b", u"", u"\xD800", std::nullopt};
    EXPECT_EQ(formatArgumentTrace("main", arguments),
              "main arguments 4\n"
              "main argument 0 0061 0020 0062\n"
              "main argument 1 \n"
              "main argument 2 D800\n"
              "main argument 3 null");
    EXPECT_EQ(formatArgumentTrace("secondaryMain int", std::nullopt),
              "secondaryMain int arguments null");
}

TEST(ArgumentTrace, ReadsBackEveryArrayOfThePrefixInOrder)
{
    std::vector<TracedArgument> first = {u"\U0001D400\u00FC", u"", u"\xDC00x"};
    std::vector<TracedArgument> second = {};
    std::vector<std::string> lines = {"loaded jvm.dll"};
    for (const std::string& block :
         {formatArgumentTrace("secondaryMain void", first), formatArgumentTrace("main", first),
          formatArgumentTrace("secondaryMain void", second)}) {
        for (const std::string& line : linesOf(block)) {
            lines.push_back(line);
        }
    }
    EXPECT_EQ(
        readArgumentTraces(lines, "secondaryMain void"),
        (std::vector<std::vector<std::u16string>>{{u"\U0001D400\u00FC", u"", u"\xDC00x"}, {}}));
    EXPECT_EQ(readArgumentTraces(lines, "main").size(), 1u);
    EXPECT_TRUE(readArgumentTraces(lines, "secondaryMain int").empty());
}

TEST(ArgumentTrace, LeavesOutNullArraysNullElementsAndBrokenBlocks)
{
    EXPECT_TRUE(readArgumentTraces({"main arguments null"}, "main").empty());
    EXPECT_TRUE(
        readArgumentTraces(
            linesOf(formatArgumentTrace("main", std::vector<TracedArgument>{std::nullopt})), "main")
            .empty());
    // Too few element lines, a wrong index, a bad hex group.
    EXPECT_TRUE(readArgumentTraces({"main arguments 2", "main argument 0 0061"}, "main").empty());
    EXPECT_TRUE(readArgumentTraces({"main arguments 1", "main argument 1 0061"}, "main").empty());
    EXPECT_TRUE(readArgumentTraces({"main arguments 1", "main argument 0 061"}, "main").empty());
    // An empty element whose trailing space was lost still reads as empty.
    EXPECT_EQ(readArgumentTraces({"main arguments 1", "main argument 0"}, "main"),
              (std::vector<std::vector<std::u16string>>{{u""}}));
}

}  // namespace
