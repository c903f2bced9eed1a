// Splitting a text at a delimiter, the rule every list value and path walk uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every delimiter ends one piece, empty pieces included; the text after the last
// delimiter is a last piece unless the text ended with the delimiter. An empty
// text gives no pieces; a text without the delimiter gives itself.
std::vector<std::wstring> splitText(std::wstring_view text, std::wstring_view delimiter);
