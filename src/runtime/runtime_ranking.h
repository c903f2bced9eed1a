// Choosing one of the registered runtimes: the launcher's preferences rank
// them, then "Preferred versions" may pick a lower-ranked one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"

// One registered runtime that passed the version bounds and has a JVM library.
struct RuntimeCandidate {
    RuntimeVersion version;   // from the registry subkey's name
    std::wstring homeFolder;  // ends with "\"
    bool isServerJvm = false;
    bool isPreferred = false;
};

// Whether the later of two candidates ranks before the earlier one: a
// preferred runtime first when favorMode holds, then the server JVM when it
// is favoured, then the higher version.
bool ranksBefore(const RuntimeCandidate& later, const RuntimeCandidate& earlier,
                 const LauncherSettings& settings);

// Sorts into descending preference; equal candidates keep their scan order.
void rankCandidates(std::vector<RuntimeCandidate>& candidates, const LauncherSettings& settings);

// The chosen runtime: the best ranked candidate of the first "Preferred
// versions" item that matches any, else the best ranked candidate. Nothing
// for an empty list.
[[nodiscard]] std::optional<RuntimeCandidate> pickCandidate(
    std::vector<RuntimeCandidate> candidates, const LauncherSettings& settings);
