#include "runtime/registry_scan.h"

#include "runtime/jvm_library_probe.h"
#include "support/diagnostic_trace.h"

namespace {

std::wstring_view viewName(RegistryView view)
{
    return view == RegistryView::thirtyTwoBitView ? L"32-bit" : L"default";
}

// A maximum as the settings wrote it: the parts filled with 65535 left out.
std::wstring maximumText(const RuntimeVersion& maximum)
{
    std::wstring text = formatRuntimeVersion(maximum);
    constexpr std::wstring_view kFilledPart = L".65535";
    while (text.size() > kFilledPart.size() && text.ends_with(kFilledPart)) {
        text.resize(text.size() - kFilledPart.size());
    }
    return text;
}

// Why a version lies outside the bounds, in the words of the settings.
std::wstring outsideBoundsReason(const RuntimeVersion& version, const LauncherSettings& settings)
{
    if (compareRuntimeVersions(version, settings.minimumVersion) < 0) {
        return L"version " + formatRuntimeVersion(version) + L" below Minimum Version " +
               formatRuntimeVersion(settings.minimumVersion);
    }
    return L"version " + formatRuntimeVersion(version) + L" above Maximum Version " +
           maximumText(settings.maximumVersion);
}

void traceCandidates(std::wstring_view heading, const std::vector<RuntimeCandidate>& candidates)
{
    if (!traceEnabled()) {
        return;
    }
    traceLine({heading, L" (", traceNumber(static_cast<long long>(candidates.size())), L")"});
    for (const RuntimeCandidate& candidate : candidates) {
        traceLine({L"  ", formatRuntimeVersion(candidate.version), L" ", candidate.homeFolder,
                   candidate.isServerJvm ? L" server" : L" client",
                   candidate.isPreferred ? L", preferred vendor" : L""});
    }
}

}  // namespace

std::optional<RegisteredRuntime> scanRegistryRuntimes(const LauncherSettings& settings,
                                                      RegistryView view, RuntimeRegistry& registry)
{
    // A 32-bit runtime is only of use when a paired 32-bit launcher can run it.
    if (view == RegistryView::thirtyTwoBitView && settings.pairProduct.empty()) {
        traceLine({L"registry, 32-bit view: not scanned, x86 runtimes need a Pair Product"});
        return std::nullopt;
    }
    traceLine({L"registry, ", viewName(view), L" view: scanning"});
    std::vector<RuntimeCandidate> candidates;
    for (const RuntimeVendorKey& key : kRuntimeVendorKeys) {
        if (isVendorKeyScanned(key, settings)) {
            scanRuntimeKey(key, settings, view, registry, candidates);
        }
    }
    if (traceEnabled()) {
        std::vector<RuntimeCandidate> ranked = candidates;
        rankCandidates(ranked, settings);
        traceCandidates(L"registry candidates ranked", ranked);
    }
    std::optional<RuntimeCandidate> chosen = pickCandidate(std::move(candidates), settings);
    if (!chosen) {
        traceLine({L"registry, ", viewName(view), L" view: no runtime taken"});
        return std::nullopt;
    }
    traceLine({L"registry, ", viewName(view), L" view: chose ",
               formatRuntimeVersion(chosen->version), L" at ", chosen->homeFolder});
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
    std::vector<std::wstring> names = registry.listSubkeyNames(key.path, view);
    traceLine({L"registry key HKLM\\", key.path, L": ", traceNumber(static_cast<long long>(names.size())),
               L" subkeys"});
    for (const std::wstring& name : names) {
        const RuntimeVersion version = parseRuntimeVersion(name, kVersionFillLow).version;
        // The bounds are checked before the home folder is read: a runtime
        // outside them costs no further registry or file access.
        if (!versionWithinBounds(version, settings.minimumVersion, settings.maximumVersion)) {
            if (traceEnabled()) {
                traceLine({L"  ", name, L": not taken, ", outsideBoundsReason(version, settings)});
            }
            continue;
        }
        std::optional<RuntimeHome> home = readRuntimeHome(key, name, settings, view, registry);
        if (home) {
            traceLine({L"  ", name, L": taken, home ", home->homeFolder});
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
        traceLine({L"  ", subkeyName, L": not taken, no JavaHome text value"});
        return std::nullopt;
    }
    std::optional<std::wstring> home = runtimeHomeFromJavaHome(key, *javaHome);
    if (!home) {
        traceLine({L"  ", subkeyName, L": not taken, JavaHome \"", *javaHome,
                   L"\" gives no home folder"});
        return std::nullopt;
    }
    const std::optional<JvmLibraryLocation> library =
        findJvmLibrary(*home, probeJvmTypeForKey(key, settings.jvmType));
    if (!library) {
        traceLine({L"  ", subkeyName, L": not taken, JavaHome \"", *javaHome,
                   L"\" has no JVM library of the type asked for"});
        return std::nullopt;
    }
    return RuntimeHome{std::move(*home), library->isServerJvm};
}
