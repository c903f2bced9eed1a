// Remembering the runtime folder the user chose, so that the next start finds
// it without asking.
#pragma once

#include <string>
#include <vector>

#include "config/launcher_settings.h"

// The files that receive "JRE Path": for a service the settings file beside the
// executable (and the pair product's), otherwise the per-user settings file
// (and the pair product's per-user file), their folders created first; no
// per-user file without an absolute APPDATA. A relative "Pair Product" is
// taken under the executable's folder.
std::vector<std::wstring> chosenRuntimeTargets(const ProductPaths& paths,
                                               const LauncherSettings& settings);

// Writes the folder as "JRE Path" into every target; a failed write goes to
// the diagnostic trace and the start goes on.
void storeChosenRuntimeFolder(const ProductPaths& paths, const LauncherSettings& settings,
                              const std::wstring& folder);
