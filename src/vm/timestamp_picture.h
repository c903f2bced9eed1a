// The date and time picture inside an output or error file name: the text
// between its first and last percent sign, such as out_%yyyy-MM-dd%.log.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct TimestampedName {
    std::wstring before;   // up to the first "%"
    std::wstring picture;  // strictly between the first and the last "%"
    std::wstring after;    // behind the last "%"
};

// The parts of the name; none when it holds no "%". A name with a single "%"
// has an empty picture, and the one "%" is consumed like a pair.
std::optional<TimestampedName> splitTimestampedName(std::wstring_view name);

// Every "L" of the picture replaced by the milliseconds in plain decimal (7 ms
// gives 7), inside quoted text too, since it happens before the picture is read.
std::wstring withMilliseconds(std::wstring_view picture, unsigned milliseconds);
