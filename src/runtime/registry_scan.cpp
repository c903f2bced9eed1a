#include "runtime/registry_scan.h"

#include "runtime/jvm_library_probe.h"

std::optional<RegisteredRuntime> scanRegistryRuntimes(const LauncherSettings& settings,
                                                      RegistryView view, RuntimeRegistry& registry)
{
    // A 32-bit runtime is only of use when a paired 32-bit launcher can run it.
    if (view == RegistryView::thirtyTwoBitView && settings.pairProduct.empty()) {
        return std::nullopt;
    }
    std::vector<RuntimeCandidate> candidates;
    for (const RuntimeVendorKey& key : kRuntimeVendorKeys) {
        if (isVendorKeyScanned(key, settings)) {
            scanRuntimeKey(key, settings, view, registry, candidates);
        }
    }
    std::optional<RuntimeCandidate> chosen = pickCandidate(std::move(candidates), settings);
    if (!chosen) {
        return std::nullopt;
    }
    return RegisteredRuntime{std::move(chosen->homeFolder), chosen->version,
                             view == RegistryView::thirtyTwoBitView};
}

std::optional<RegisteredRuntime> scanRegistryRuntimes(const LauncherSettings& settings,
                                                      RegistryView view)
{
    SystemRuntimeRegistry registry;
    return scanRegistryRuntimes(settings, view, registry);
}

void scanRuntimeKey(const RuntimeVendorKey& key, const LauncherSettings& settings,
                    RegistryView view, RuntimeRegistry& registry,
                    std::vector<RuntimeCandidate>& candidates)
{
    for (const std::wstring& name : registry.listSubkeyNames(key.path, view)) {
        const RuntimeVersion version = parseRuntimeVersion(name, kVersionFillLow).version;
        // The bounds are checked before the home folder is read: a runtime
        // outside them costs no further registry or file access.
        if (!versionWithinBounds(version, settings.minimumVersion, settings.maximumVersion)) {
            continue;
        }
        std::optional<RuntimeHome> home = readRuntimeHome(key, name, settings, view, registry);
        if (home) {
            candidates.push_back(RuntimeCandidate{version, std::move(home->homeFolder),
                                                  home->isServerJvm,
                                                  isVendorKeyPreferred(key, settings)});
        }
    }
}

std::optional<RuntimeHome> readRuntimeHome(const RuntimeVendorKey& key,
                                           std::wstring_view subkeyName,
                                           const LauncherSettings& settings, RegistryView view,
                                           RuntimeRegistry& registry)
{
    const std::optional<std::wstring> javaHome = registry.readJavaHome(key.path, subkeyName, view);
    if (!javaHome) {
        return std::nullopt;
    }
    std::optional<std::wstring> home = runtimeHomeFromJavaHome(key, *javaHome);
    if (!home) {
        return std::nullopt;
    }
    const std::optional<JvmLibraryLocation> library =
        findJvmLibrary(*home, probeJvmTypeForKey(key, settings.jvmType));
    if (!library) {
        return std::nullopt;
    }
    return RuntimeHome{std::move(*home), library->isServerJvm};
}
