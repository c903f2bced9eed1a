// A Java runtime version: four numbers compared in order, read from any text
// by its digit groups.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct RuntimeVersion {
    std::array<std::int32_t, 4> parts{};
    // How many numeric groups the text held: 0 to 4, or 5 for more than four.
    std::int32_t partCount = 0;
};

// Fill values for the parts a text leaves out: lower bounds, registry names and
// preferred versions fill with 0, upper bounds with 65535.
constexpr std::int32_t kVersionFillLow = 0;
constexpr std::int32_t kVersionFillHigh = 65535;

struct ParsedRuntimeVersion {
    RuntimeVersion version;
    bool succeeded = false;  // at least one group was read without overflow
};

// Reads up to four groups of ASCII digits; anything else separates groups.
// A text without digits, or a group beyond the signed 32-bit range, gives
// 0.0.0.0 with no parts counted.
ParsedRuntimeVersion parseRuntimeVersion(std::wstring_view text, std::int32_t fill);

// The bound a "Minimum Version" or "Maximum Version" text stands for: the
// exact word "any" admits every version, anything else is parsed with the
// bound's fill value.
RuntimeVersion minimumVersionFromText(std::wstring_view text);
RuntimeVersion maximumVersionFromText(std::wstring_view text);

// Dotted text with at least two parts and the trailing 0 and 65535 parts left
// out: 1.8.0.291, 11.0.2, 9.0; an unset version is "0.0.0.0".
std::wstring formatRuntimeVersion(const RuntimeVersion& version);

// Negative, zero or positive, part by part.
int compareRuntimeVersions(const RuntimeVersion& left, const RuntimeVersion& right);

// Whether a version lies inside the bounds, both ends included.
bool versionWithinBounds(const RuntimeVersion& version, const RuntimeVersion& minimum,
                         const RuntimeVersion& maximum);

// Whether the candidate belongs to the preferred family: the preferred
// version's parts up to its last non-zero part are equal.
bool matchesPreferredVersion(const RuntimeVersion& preferred, const RuntimeVersion& candidate);

// All four parts 0, or all four 65535: no limit.
bool isUnsetVersion(const RuntimeVersion& version);

// Which text of the string table names the version limits, and its arguments.
struct VersionRequirement {
    unsigned stringId = 0;
    std::vector<std::wstring> arguments;
};
VersionRequirement describeVersionRequirement(const RuntimeVersion& minimum,
                                              const RuntimeVersion& maximum);
