// The "Cmd" setting: arguments the product adds after the user's own.
#pragma once

#include <string>
#include <vector>

// Replaces the %NAME% references of the "Cmd" text by the variables' values
// and appends its non-empty pieces to the arguments. An empty text adds
// nothing.
void appendCmdArguments(std::wstring cmd, std::vector<std::wstring>& arguments);
