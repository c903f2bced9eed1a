// The "Cmd" setting: arguments the product adds after the user's own.
#pragma once

#include <string>
#include <vector>

#include "config/settings_store.h"

// Reads "Cmd" of section "Application" from the settings, replaces its
// %NAME% references by the variables' values and appends its non-empty
// pieces to the arguments. An empty "Cmd" adds nothing.
void appendCmdArguments(const SettingsStore& settings, std::vector<std::wstring>& arguments);
