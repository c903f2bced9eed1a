#include "config/runtime_version.h"

#include <limits>

#include "resources/resource_ids.h"
#include "support/decimal_text.h"

namespace {

bool isAsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

size_t findDigit(std::wstring_view text, size_t from)
{
    while (from < text.size() && !isAsciiDigit(text[from])) {
        ++from;
    }
    return from;
}

RuntimeVersion versionWithAllParts(std::int32_t value)
{
    RuntimeVersion version;
    version.parts = {value, value, value, value};
    version.partCount = 4;
    return version;
}

}  // namespace

ParsedRuntimeVersion parseRuntimeVersion(std::wstring_view text, std::int32_t fill)
{
    ParsedRuntimeVersion result;
    size_t position = findDigit(text, 0);
    if (position == text.size()) {
        return result;
    }
    int group = 0;
    for (;;) {
        std::int32_t value = 0;
        for (; position < text.size() && isAsciiDigit(text[position]); ++position) {
            int digit = text[position] - L'0';
            // A group beyond the signed 32-bit range makes the whole text unreadable.
            if (value > (std::numeric_limits<std::int32_t>::max() - digit) / 10) {
                return ParsedRuntimeVersion{};
            }
            value = value * 10 + digit;
        }
        result.version.parts[group] = value;
        position = findDigit(text, position);
        if (position == text.size()) {
            break;
        }
        ++group;
        if (group == 4) {
            break;  // a fifth group is counted, not stored
        }
    }
    result.version.partCount = group + 1;
    for (int index = result.version.partCount; index < 4; ++index) {
        result.version.parts[index] = fill;
    }
    result.succeeded = true;
    return result;
}

RuntimeVersion minimumVersionFromText(std::wstring_view text)
{
    if (text == L"any") {
        return versionWithAllParts(0);
    }
    return parseRuntimeVersion(text, kVersionFillLow).version;
}

RuntimeVersion maximumVersionFromText(std::wstring_view text)
{
    if (text == L"any") {
        return versionWithAllParts(kVersionFillHigh);
    }
    return parseRuntimeVersion(text, kVersionFillHigh).version;
}

std::wstring formatRuntimeVersion(const RuntimeVersion& version)
{
    int highest = 3;
    while (highest >= 0 &&
           (version.parts[highest] == 0 || version.parts[highest] == kVersionFillHigh)) {
        --highest;
    }
    if (highest < 0) {
        return L"0.0.0.0";
    }
    int last = highest == 0 ? 1 : highest;
    std::wstring text;
    for (int index = 0; index <= last; ++index) {
        if (index > 0) {
            text += L'.';
        }
        text += decimalText(version.parts[index]);
    }
    return text;
}

int compareRuntimeVersions(const RuntimeVersion& left, const RuntimeVersion& right)
{
    for (int index = 0; index < 4; ++index) {
        if (left.parts[index] != right.parts[index]) {
            return left.parts[index] < right.parts[index] ? -1 : 1;
        }
    }
    return 0;
}

bool versionWithinBounds(const RuntimeVersion& version, const RuntimeVersion& minimum,
                         const RuntimeVersion& maximum)
{
    return compareRuntimeVersions(minimum, version) <= 0 &&
           compareRuntimeVersions(version, maximum) <= 0;
}

bool matchesPreferredVersion(const RuntimeVersion& preferred, const RuntimeVersion& candidate)
{
    int significant = 4;
    while (significant > 0 && preferred.parts[significant - 1] == 0) {
        --significant;
    }
    for (int index = 0; index < significant; ++index) {
        if (preferred.parts[index] != candidate.parts[index]) {
            return false;
        }
    }
    return true;
}

bool isUnsetVersion(const RuntimeVersion& version)
{
    const auto& parts = version.parts;
    bool allEqual = parts[0] == parts[1] && parts[1] == parts[2] && parts[2] == parts[3];
    return allEqual && (parts[0] == 0 || parts[0] == kVersionFillHigh);
}

VersionRequirement describeVersionRequirement(const RuntimeVersion& minimum,
                                              const RuntimeVersion& maximum)
{
    bool minimumSet = !isUnsetVersion(minimum);
    bool maximumSet = !isUnsetVersion(maximum);
    if (!minimumSet && !maximumSet) {
        return {IDS_VERSION_ANY, {}};
    }
    if (!minimumSet) {
        return {IDS_VERSION_MAXIMUM, {formatRuntimeVersion(maximum)}};
    }
    if (!maximumSet) {
        return {IDS_VERSION_MINIMUM, {formatRuntimeVersion(minimum)}};
    }
    if (compareRuntimeVersions(minimum, maximum) == 0) {
        return {IDS_VERSION_EXACT, {formatRuntimeVersion(minimum)}};
    }
    return {IDS_VERSION_RANGE, {formatRuntimeVersion(minimum), formatRuntimeVersion(maximum)}};
}
