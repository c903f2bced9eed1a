// Paths as the file functions must receive them, whatever their length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The full path (GetFullPathNameW); nothing when the system cannot form it.
[[nodiscard]] std::optional<std::wstring> fullPathName(const std::wstring& path);

// The path to hand to a file function. From MAX_PATH on it gets the
// extended-length prefix, and before that it is made full, because the
// extended-length form takes no relative path, no ".." and no forward slash.
// Nothing, with the last error ERROR_FILENAME_EXCED_RANGE, when the path is
// too long even for the prefix.
[[nodiscard]] std::optional<std::wstring> toSystemPath(std::wstring_view path);
