// Cutting the "Virtual Machine Parameters" text into VM option tokens.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The index at which the parameter that begins at start ends: the first space
// that is not inside a pair of double quotes, or the text's length. An opening
// quote without a closing one ends the parameter at the first space after it.
size_t findParameterEnd(std::wstring_view text, size_t start);

// Removes each pair of double quotes from the token, keeping what they enclose.
// A closing quote directly followed by another quote keeps one quote as a
// literal and ends the quoted part there; an unmatched quote stays.
void stripQuotes(std::wstring& token);

// The tokens of the parameter text, in order, quotes still in place. Runs of
// spaces separate tokens; a text that starts with a space yields an empty
// first token, while trailing spaces yield none.
std::vector<std::wstring> splitVmParameters(std::wstring_view text);
