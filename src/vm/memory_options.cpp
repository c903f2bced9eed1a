#include "vm/memory_options.h"

#include <limits>
#include <optional>

#include "support/decimal_text.h"

namespace {

constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kilobytesPerMegabyte = 1024;

bool isDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

bool hasPrefix(std::wstring_view token, std::wstring_view prefix)
{
    return token.substr(0, prefix.size()) == prefix;
}

// value * 10 + digit, or nothing when that does not fit in 64 bits.
std::optional<std::uint64_t> appendDigit(std::uint64_t value, wchar_t digit)
{
    std::uint64_t digitValue = static_cast<std::uint64_t>(digit - L'0');
    if (value > (largest - digitValue) / 10) {
        return std::nullopt;
    }
    return value * 10 + digitValue;
}

std::uint64_t saturatingMultiply(std::uint64_t value, std::uint64_t factor)
{
    return factor != 0 && value > largest / factor ? largest : value * factor;
}

// The percent of the kilobytes, truncated; a share beyond 64 bits (a percent
// far above 100) stays at the largest value instead of an undefined conversion.
std::uint64_t shareOfKilobytes(std::uint64_t kilobytes, std::uint64_t percent)
{
    double size = static_cast<double>(kilobytes) * (static_cast<double>(percent) / 100.0);
    // 2^64 as a double; every double below it converts exactly when truncated.
    constexpr double beyondLargest = 18446744073709551616.0;
    return size >= beyondLargest ? largest : static_cast<std::uint64_t>(size);
}

std::uint64_t numberAt(const std::vector<std::uint64_t>& numbers, size_t index)
{
    return index < numbers.size() ? numbers[index] : 0;
}

std::uint64_t stackSizeMultiplier(wchar_t suffix)
{
    switch (suffix) {
        case L'G':
        case L'g':
            return 1073741824;
        case L'M':
        case L'm':
            return 1048576;
        case L'K':
        case L'k':
            return 1024;
        default:
            return 1;
    }
}

}  // namespace

bool isMemoryShareOption(std::wstring_view token)
{
    bool knownPrefix =
        hasPrefix(token, L"-Xms") || hasPrefix(token, L"-Xmx") || hasPrefix(token, L"-Xss");
    if (!knownPrefix) {
        return false;
    }
    wchar_t unit = token.back();
    return unit == L'P' || unit == L'p' || unit == L'T' || unit == L't';
}

NumberList parseNumberList(std::wstring_view text)
{
    NumberList list;
    size_t start = 0;
    while (start < text.size() && !isDigit(text[start]) && text[start] != L':') {
        ++start;
    }
    list.startIndex = start;
    if (start == text.size()) {
        return list;
    }
    list.numbers.push_back(0);
    for (size_t index = start; index + 1 < text.size(); ++index) {
        wchar_t character = text[index];
        if (character == L':') {
            list.numbers.push_back(0);
        } else if (isDigit(character)) {
            std::uint64_t& number = list.numbers.back();
            number = appendDigit(number, character).value_or(largest);
        }
    }
    return list;
}

void resolveMemoryShare(std::wstring& token, const MachineMemory& memory)
{
    // A share that names no number ("-XmxP") is not one: it goes to the VM
    // as written, like any other text, instead of becoming "-XmxP0K".
    std::wstring_view numberPart = std::wstring_view(token).substr(0, token.size() - 1);
    if (numberPart.find_first_of(L"0123456789") == std::wstring_view::npos) {
        return;
    }
    NumberList list = parseNumberList(token);
    std::uint64_t percent = numberAt(list.numbers, 0);
    std::uint64_t minimumMegabytes = numberAt(list.numbers, 1);
    std::uint64_t maximumMegabytes = numberAt(list.numbers, 2);

    wchar_t unit = token.back();
    bool ofPhysical = unit == L'P' || unit == L'p';
    std::uint64_t base = ofPhysical ? memory.totalPhysical : memory.availableVirtual;

    std::uint64_t size = shareOfKilobytes(base >> 10, percent);
    std::uint64_t maximum = saturatingMultiply(maximumMegabytes, kilobytesPerMegabyte);
    if (maximumMegabytes != 0 && size > maximum) {
        size = maximum;
    }
    // The minimum is applied last, so a minimum above the maximum wins.
    std::uint64_t minimum = saturatingMultiply(minimumMegabytes, kilobytesPerMegabyte);
    if (size < minimum) {
        size = minimum;
    }
    token = token.substr(0, list.startIndex) + decimalText(size) + L"K";
}

bool isStackSizeOption(std::wstring_view token)
{
    return hasPrefix(token, L"-Xss");
}

std::uint64_t stackSizeFromOption(std::wstring_view token)
{
    if (!isStackSizeOption(token)) {
        return 0;
    }
    std::wstring_view rest = token.substr(4);
    NumberList list = parseNumberList(rest);
    // A value that does not begin with a digit, or holds a ":", is unreadable.
    if (list.startIndex != 0 || list.numbers.size() != 1) {
        return 0;
    }
    std::uint64_t value = list.numbers.front();
    if (value == largest) {
        return 0;  // the digits did not fit in 64 bits
    }
    // The number list never reads the last character, which may be a digit.
    wchar_t last = rest.back();
    if (isDigit(last)) {
        std::optional<std::uint64_t> extended = appendDigit(value, last);
        if (!extended) {
            return 0;
        }
        value = *extended;
    }
    std::uint64_t multiplier = stackSizeMultiplier(last);
    if (value > largest / multiplier) {
        return 0;
    }
    return value * multiplier;
}
