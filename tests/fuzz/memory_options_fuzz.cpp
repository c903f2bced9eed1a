// libFuzzer harness for memory options written as a share of the machine's
// memory and for the thread stack size: a share option becomes a size in
// kilobytes within its bounds (or is left as written), numbers read back as
// written, and a stack size is exact or 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "vm/memory_options.h"

namespace {

constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();

bool isDigit(wchar_t unit)
{
    return unit >= L'0' && unit <= L'9';
}

std::uint64_t saturatingProduct(std::uint64_t value, std::uint64_t factor)
{
    return factor != 0 && value > kLargest / factor ? kLargest : value * factor;
}

void checkNumberList(std::wstring_view text)
{
    NumberList list = parseNumberList(text);
    FUZZ_CHECK(list.startIndex <= text.size());
    for (std::size_t index = 0; index < list.startIndex; ++index) {
        FUZZ_CHECK(!isDigit(text[index]) && text[index] != L':');
    }
    if (list.startIndex == text.size()) {
        FUZZ_CHECK(list.numbers.empty());
        return;
    }
    // One number, and one more for each ":" before the unit letter.
    std::size_t colons = 0;
    for (std::size_t index = list.startIndex; index + 1 < text.size(); ++index) {
        colons += text[index] == L':';
    }
    FUZZ_CHECK(list.numbers.size() == colons + 1);
}

// A share option rewritten: the text before its numbers, the size and "K".
void checkShare(const std::wstring& token, const MachineMemory& memory)
{
    if (!isMemoryShareOption(token)) {
        return;
    }
    std::wstring resolved = token;
    resolveMemoryShare(resolved, memory);
    if (resolved == token) {
        return;  // a share without a number may pass unchanged
    }
    NumberList list = parseNumberList(token);
    FUZZ_CHECK(resolved.starts_with(token.substr(0, list.startIndex)));
    FUZZ_CHECK(resolved.size() >= list.startIndex + 2 && resolved.back() == L'K');
    std::wstring_view digits =
        std::wstring_view(resolved).substr(list.startIndex, resolved.size() - list.startIndex - 1);
    FUZZ_CHECK(!digits.empty() && digits.size() <= 20);
    std::uint64_t size = 0;
    for (wchar_t unit : digits) {
        FUZZ_CHECK(isDigit(unit));
        FUZZ_CHECK(size <= (kLargest - (unit - L'0')) / 10);
        size = size * 10 + (unit - L'0');
    }
    auto numberAt = [&](std::size_t index) {
        return index < list.numbers.size() ? list.numbers[index] : 0;
    };
    std::uint64_t minimum = saturatingProduct(numberAt(1), 1024);
    std::uint64_t maximum = saturatingProduct(numberAt(2), 1024);
    wchar_t unit = token.back();
    std::uint64_t base =
        (unit == L'P' || unit == L'p') ? memory.totalPhysical : memory.availableVirtual;
    FUZZ_CHECK(size >= minimum);
    if (numberAt(2) != 0 && maximum >= minimum) {
        FUZZ_CHECK(size <= maximum);
    }
    // Below 2^53 kilobytes the share is exact enough never to round above the whole.
    if (numberAt(0) <= 100 && (base >> 10) < (std::uint64_t{1} << 53)) {
        FUZZ_CHECK(size <= std::max(base >> 10, minimum));
    }
}

// Numbers written with ":" between them read back as written.
void checkWrittenNumbers(FuzzInput& input)
{
    std::wstring written = L"-Xmx";
    std::uint64_t numbers[3];
    for (std::uint64_t& number : numbers) {
        number = input.number(input.byte() % 9);
    }
    for (std::size_t index = 0; index < 3; ++index) {
        written += (index > 0 ? L":" : L"") + std::to_wstring(numbers[index]);
    }
    written += L"P";
    NumberList list = parseNumberList(written);
    FUZZ_CHECK(list.startIndex == 4 && list.numbers.size() == 3);
    for (std::size_t index = 0; index < 3; ++index) {
        FUZZ_CHECK(list.numbers[index] == numbers[index]);
    }
}

// An -Xss size with a unit letter (or none) gives the bytes it names, or 0
// when they do not fit in 64 bits.
void checkStackSize(FuzzInput& input)
{
    std::uint64_t value = input.number(input.byte() % 9);
    std::uint8_t choice = input.byte();
    const wchar_t* units[] = {L"", L"k", L"K", L"m", L"M", L"g", L"G"};
    const std::uint64_t factors[] = {1, 1024, 1024, 1 << 20, 1 << 20, 1 << 30, 1 << 30};
    std::size_t pick = choice % 7;
    std::wstring token = L"-Xss" + std::to_wstring(value) + units[pick];
    std::uint64_t size = stackSizeFromOption(token);
    if (value > kLargest / factors[pick]) {
        FUZZ_CHECK(size == 0);
    } else {
        FUZZ_CHECK(size == value * factors[pick]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    MachineMemory memory;
    memory.totalPhysical = input.number(input.byte() % 9);
    memory.availableVirtual = input.number(input.byte() % 9);
    FuzzInput numbers(data, size);
    checkWrittenNumbers(numbers);
    checkStackSize(numbers);
    std::wstring text = input.rest();
    checkNumberList(text);
    // The text as an option of each kind: the fuzzer rarely spells the names itself.
    for (std::wstring_view name : {L"", L"-Xmx", L"-Xms", L"-Xss"}) {
        std::wstring token = std::wstring(name) + text;
        checkShare(token, memory);
        std::uint64_t stack = stackSizeFromOption(token);
        FUZZ_CHECK(stack == 0 || isStackSizeOption(token));
    }
    return 0;
}
