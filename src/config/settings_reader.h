// Reads the launcher's settings from the settings file beside the executable.
#pragma once

#include <windows.h>

#include "config/launcher_settings.h"

// Fills the settings; false when the settings file path cannot be formed or
// "Main Class" is missing (the latter is reported to the user).
[[nodiscard]] bool readLauncherSettings(HWND owner, LauncherSettings& settings);
