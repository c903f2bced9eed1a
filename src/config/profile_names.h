// How the system's profile-string functions compare section and key names:
// trimmed of their blanks, letter case ignored.
#pragma once

#include <string_view>

// The blanks of the profile functions: control characters 9 to 13, 26 (the
// old end-of-file mark) and the space.
bool isProfileBlank(wchar_t c);

std::wstring_view trimProfileBlanks(std::wstring_view text);

// Equal when the letters A to Z are taken without their case. The launcher
// asks only for ASCII names, so other letters compare as they are.
bool sameProfileName(std::wstring_view left, std::wstring_view right);
