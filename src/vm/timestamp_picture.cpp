#include "vm/timestamp_picture.h"

#include "support/decimal_text.h"

std::optional<TimestampedName> splitTimestampedName(std::wstring_view name)
{
    size_t first = name.find(L'%');
    if (first == std::wstring_view::npos) {
        return std::nullopt;
    }
    size_t last = name.rfind(L'%');
    TimestampedName parts;
    parts.before = name.substr(0, first);
    if (last > first) {
        parts.picture = name.substr(first + 1, last - first - 1);
    }
    parts.after = name.substr(last + 1);
    return parts;
}

std::wstring withMilliseconds(std::wstring_view picture, unsigned milliseconds)
{
    std::wstring digits = decimalText(milliseconds);
    std::wstring result;
    for (wchar_t character : picture) {
        if (character == L'L') {
            result += digits;
        } else {
            result += character;
        }
    }
    return result;
}
