// How the system's profile-string functions compare section and key names:
// trimmed of their blanks, letter case ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The blanks of the profile functions: control characters 9 to 13, 26 (the
// old end-of-file mark) and the space.
bool isProfileBlank(wchar_t c);

std::wstring_view trimProfileBlanks(std::wstring_view text);

// Equal when the letters A to Z are taken without their case. The launcher
// asks only for ASCII names, so other letters compare as they are.
bool sameProfileName(std::wstring_view left, std::wstring_view right);

// Whether a file whose sections (or a section whose keys) have these names,
// as the profile functions list them, may hold the name asked for: false only
// when no name matches it and every name, and the name asked for, is ASCII.
// A name with other letters may match under the system's letter-case rules,
// which go beyond A to Z, so then the answer is always yes. So it is for an
// empty name and for one starting with ";": the lists leave out comment lines
// and empty names, which a question for the name itself may still find.
bool mayHoldProfileName(const std::vector<std::wstring>& names, std::wstring_view name);
