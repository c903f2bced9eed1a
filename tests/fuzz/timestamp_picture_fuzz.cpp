// libFuzzer harness for the date and time picture of an output file name: the
// parts put back together with their percent signs give the name, only the
// picture may hold "%", and the milliseconds replace every "L" and nothing else.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "vm/timestamp_picture.h"

namespace {

void checkSplit(std::wstring_view name)
{
    std::optional<TimestampedName> parts = splitTimestampedName(name);
    std::size_t percents = 0;
    for (wchar_t unit : name) {
        percents += unit == L'%';
    }
    FUZZ_CHECK(parts.has_value() == (percents > 0));
    if (!parts) {
        return;
    }
    FUZZ_CHECK(parts->before.find(L'%') == std::wstring::npos);
    FUZZ_CHECK(parts->after.find(L'%') == std::wstring::npos);
    if (percents == 1) {
        FUZZ_CHECK(parts->picture.empty());
        FUZZ_CHECK(parts->before + L"%" + parts->after == name);
    } else {
        FUZZ_CHECK(parts->before + L"%" + parts->picture + L"%" + parts->after == name);
    }
}

void checkMilliseconds(std::wstring_view picture, unsigned milliseconds)
{
    std::wstring digits = std::to_wstring(milliseconds);
    std::wstring result = withMilliseconds(picture, milliseconds);
    // Read along the picture: each "L" stands for the digits, the rest for itself.
    std::size_t position = 0;
    for (wchar_t unit : picture) {
        if (unit == L'L') {
            FUZZ_CHECK(result.compare(position, digits.size(), digits) == 0);
            position += digits.size();
        } else {
            FUZZ_CHECK(position < result.size() && result[position] == unit);
            ++position;
        }
    }
    FUZZ_CHECK(position == result.size());
    FUZZ_CHECK(result.find(L'L') == std::wstring::npos);
    FUZZ_CHECK(result.size() <= picture.size() * 10);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    auto milliseconds = static_cast<unsigned>(input.number(4));
    std::wstring name = input.rest();
    checkSplit(name);
    checkMilliseconds(name, milliseconds % 1000);
    checkMilliseconds(name, milliseconds);
    if (std::optional<TimestampedName> parts = splitTimestampedName(name)) {
        checkMilliseconds(parts->picture, milliseconds % 1000);
    }
    return 0;
}
