#include "support/decimal_text.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(DecimalText, WritesTheDigitsToWstringWrites)
{
    EXPECT_EQ(decimalText(0), L"0");
    EXPECT_EQ(decimalText(7u), L"7");
    EXPECT_EQ(decimalText(1024), L"1024");
    EXPECT_EQ(decimalText(std::uint32_t{4294967295u}), L"4294967295");
    EXPECT_EQ(decimalText(std::numeric_limits<std::uint64_t>::max()), L"18446744073709551615");
    for (long long value : {0LL, 9LL, 10LL, 99LL, 100LL, 123456789LL, -1LL, -10LL, -2147483648LL}) {
        EXPECT_EQ(decimalText(value), std::to_wstring(value)) << value;
    }
}

TEST(DecimalText, NegativeNumbersHaveAMinusSign)
{
    EXPECT_EQ(decimalText(-1), L"-1");
    EXPECT_EQ(decimalText(std::int32_t{-2147483647 - 1}), L"-2147483648");
    EXPECT_EQ(decimalText(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
}

}  // namespace
