// Reads the launcher's settings from the settings file beside the executable.
#pragma once

#include <windows.h>

#include "config/launcher_settings.h"

// Fills the settings from the product's files; false when "Main Class" is
// missing, which is reported to the user.
[[nodiscard]] bool readLauncherSettings(HWND owner, const ProductPaths& paths,
                                        LauncherSettings& settings);
