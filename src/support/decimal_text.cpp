#include "support/decimal_text.h"

std::wstring unsignedDecimalText(std::uint64_t value)
{
    // 20 digits hold the largest 64-bit number.
    wchar_t digits[20];
    size_t start = sizeof(digits) / sizeof(digits[0]);
    do {
        digits[--start] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::wstring(digits + start, digits + sizeof(digits) / sizeof(digits[0]));
}
