// Reading one environment variable whole, however long.
#pragma once

#include <string>

// The variable's value; empty when it is unset (or set to nothing).
std::wstring environmentVariable(const wchar_t* name);
