// printf-style placeholders on UTF-16 text, as the message boxes use them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

using MessageArgument = std::variant<std::wstring_view, std::int32_t>;

// Replaces each %s and %d of the format, in order, with the next argument: a
// text as it stands, a number as a signed decimal. "%%" gives one percent sign.
// A placeholder without an argument left becomes empty; any other character
// after a percent sign is kept as written.
std::wstring formatMessage(std::wstring_view format, std::span<const MessageArgument> arguments);
std::wstring formatMessage(std::wstring_view format,
                           std::initializer_list<MessageArgument> arguments);
