#include "runtime/runtime_ranking.h"

#include <utility>

bool ranksBefore(const RuntimeCandidate& later, const RuntimeCandidate& earlier,
                 const LauncherSettings& settings)
{
    if (settings.favorMode && later.isPreferred != earlier.isPreferred) {
        return later.isPreferred;
    }
    if (settings.jvmType == kServerJvmFavored && later.isServerJvm != earlier.isServerJvm) {
        return later.isServerJvm;
    }
    return compareRuntimeVersions(later.version, earlier.version) > 0;
}

void rankCandidates(std::vector<RuntimeCandidate>& candidates, const LauncherSettings& settings)
{
    // A bubble sort that swaps only on "strictly better" is stable, which
    // keeps the scan order (key order, then enumeration order) among equals.
    for (std::size_t pass = 0; pass < candidates.size(); ++pass) {
        for (std::size_t index = 1; index < candidates.size(); ++index) {
            if (ranksBefore(candidates[index], candidates[index - 1], settings)) {
                std::swap(candidates[index], candidates[index - 1]);
            }
        }
    }
}

std::optional<RuntimeCandidate> pickCandidate(std::vector<RuntimeCandidate> candidates,
                                              const LauncherSettings& settings)
{
    if (candidates.empty()) {
        return std::nullopt;
    }
    rankCandidates(candidates, settings);
    for (const std::wstring& item : settings.preferredVersions) {
        const ParsedRuntimeVersion parsed = parseRuntimeVersion(item, kVersionFillLow);
        // An empty or digit-less item ("11;;1.8") names no version; it would
        // match every candidate and pick the newest.
        if (!parsed.succeeded) {
            continue;
        }
        const RuntimeVersion& preferred = parsed.version;
        for (RuntimeCandidate& candidate : candidates) {
            if (matchesPreferredVersion(preferred, candidate.version)) {
                return std::move(candidate);
            }
        }
    }
    return std::move(candidates.front());
}
