// Whole numbers as decimal text, the digits std::to_wstring writes, without
// the C library's formatting (and its floating-point code) behind them: the
// launcher writes numbers into VM options, file names and the trace.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>

std::wstring unsignedDecimalText(std::uint64_t value);

// "-" before the digits of a negative number.
template <std::integral Number>
std::wstring decimalText(Number value)
{
    if constexpr (std::is_signed_v<Number>) {
        if (value < 0) {
            // 0 - value in unsigned arithmetic is the magnitude, even of the
            // most negative number.
            return L"-" + unsignedDecimalText(std::uint64_t{0} - static_cast<std::uint64_t>(value));
        }
    }
    return unsignedDecimalText(static_cast<std::uint64_t>(value));
}
