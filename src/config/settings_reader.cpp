#include "config/settings_reader.h"

// The settings model is not read yet: without it no start can go on, so the
// reader reports failure and start-up ends with exit code -1.
bool readLauncherSettings(HWND, LauncherSettings&)
{
    return false;
}
