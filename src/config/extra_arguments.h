// Extra arguments for the Java program, given by the product in its settings
// rather than by the user on the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits the text by the command-line rule, with no program name to drop,
// and appends every non-empty piece to the arguments, in order.
void appendExtraArguments(std::wstring_view text, std::vector<std::wstring>& arguments);
