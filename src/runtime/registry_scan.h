// The runtimes that installers registered under HKEY_LOCAL_MACHINE: the scan
// of the vendor keys that the settings allow, and the one runtime chosen.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"
#include "runtime/runtime_ranking.h"
#include "runtime/runtime_registry.h"
#include "runtime/runtime_vendor_keys.h"

struct RegisteredRuntime {
    std::wstring homeFolder;  // ends with "\"
    RuntimeVersion version;
    // Found in the 32-bit registry: the runtime is a 32-bit one, which only
    // the paired 32-bit launcher can run.
    bool foundInThirtyTwoBitView = false;
};

// The best registered runtime in one registry view, or nothing. The 32-bit
// view is searched only when a pair product is configured.
[[nodiscard]] std::optional<RegisteredRuntime> scanRegistryRuntimes(
    const LauncherSettings& settings, RegistryView view, RuntimeRegistry& registry);
// The same in the machine's registry.
[[nodiscard]] std::optional<RegisteredRuntime> scanRegistryRuntimes(
    const LauncherSettings& settings, RegistryView view);

// Appends a candidate for every version subkey of the vendor key that lies
// within the version bounds and names a home folder with a JVM library.
void scanRuntimeKey(const RuntimeVendorKey& key, const LauncherSettings& settings,
                    RegistryView view, RuntimeRegistry& registry,
                    std::vector<RuntimeCandidate>& candidates);

struct RuntimeHome {
    std::wstring homeFolder;
    bool isServerJvm = false;
};

// The home folder registered under the version subkey, when it holds a JVM
// library the settings accept.
[[nodiscard]] std::optional<RuntimeHome> readRuntimeHome(const RuntimeVendorKey& key,
                                                         std::wstring_view subkeyName,
                                                         const LauncherSettings& settings,
                                                         RegistryView view,
                                                         RuntimeRegistry& registry);
