// libFuzzer harness for runtime versions and the choice among registered
// runtimes: a version read from any text has its parts in range and reads back
// from its own dotted form; versions compare as a total order; ranking is a
// stable sort; the pick is the best ranked match of the first preferred
// version that has one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"
#include "fuzz/fuzz_input.h"
#include "resources/resource_ids.h"
#include "runtime/runtime_ranking.h"
#include "support/split_text.h"

namespace {

bool holdsAsciiDigit(std::wstring_view text)
{
    return text.find_first_of(L"0123456789") != std::wstring_view::npos;
}

bool isFillPart(std::int32_t part)
{
    return part == kVersionFillLow || part == kVersionFillHigh;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

RuntimeVersion checkedVersion(std::wstring_view text, std::int32_t fill)
{
    ParsedRuntimeVersion parsed = parseRuntimeVersion(text, fill);
    const RuntimeVersion& version = parsed.version;
    if (!parsed.succeeded) {
        FUZZ_CHECK(version.partCount == 0);
        FUZZ_CHECK(version.parts == (std::array<std::int32_t, 4>{}));
        return version;
    }
    FUZZ_CHECK(holdsAsciiDigit(text));
    FUZZ_CHECK(version.partCount >= 1 && version.partCount <= 5);
    for (int index = 0; index < 4; ++index) {
        FUZZ_CHECK(version.parts[index] >= 0);
        FUZZ_CHECK(index < version.partCount || version.parts[index] == fill);
    }

    // The parts read, written back with dots, read as the same version.
    std::wstring dotted;
    for (int index = 0; index < version.partCount && index < 4; ++index) {
        dotted += (index > 0 ? L"." : L"") + std::to_wstring(version.parts[index]);
    }
    ParsedRuntimeVersion again = parseRuntimeVersion(dotted, fill);
    FUZZ_CHECK(again.succeeded && again.version.parts == version.parts);

    // The shown form leaves out only trailing parts that are fill values.
    std::wstring shown = formatRuntimeVersion(version);
    FUZZ_CHECK(shown.size() <= 4 * 10 + 3);
    ParsedRuntimeVersion read = parseRuntimeVersion(shown, kVersionFillLow);
    FUZZ_CHECK(read.succeeded);
    if (shown == L"0.0.0.0") {
        for (std::int32_t part : version.parts) {
            FUZZ_CHECK(isFillPart(part));
        }
    } else {
        FUZZ_CHECK(read.version.partCount >= 2 && read.version.partCount <= 4);
        for (int index = 0; index < 4; ++index) {
            bool shownPart = index < read.version.partCount;
            FUZZ_CHECK(shownPart ? read.version.parts[index] == version.parts[index]
                                 : isFillPart(version.parts[index]));
        }
    }
    return version;
}

void checkOrder(const RuntimeVersion& first, const RuntimeVersion& second,
                const RuntimeVersion& third)
{
    FUZZ_CHECK(compareRuntimeVersions(first, first) == 0);
    int firstSecond = compareRuntimeVersions(first, second);
    FUZZ_CHECK(sign(firstSecond) == -sign(compareRuntimeVersions(second, first)));
    FUZZ_CHECK((firstSecond == 0) == (first.parts == second.parts));
    int secondThird = compareRuntimeVersions(second, third);
    if (firstSecond <= 0 && secondThird <= 0) {
        FUZZ_CHECK(compareRuntimeVersions(first, third) <= 0);
    }
    FUZZ_CHECK(matchesPreferredVersion(first, first));
    FUZZ_CHECK(versionWithinBounds(second, second, second));
    if (firstSecond <= 0 && secondThird <= 0) {
        FUZZ_CHECK(versionWithinBounds(second, first, third));
    }

    VersionRequirement requirement = describeVersionRequirement(first, second);
    std::size_t expectedArguments = 1;
    if (requirement.stringId == IDS_VERSION_ANY) {
        expectedArguments = 0;
        FUZZ_CHECK(isUnsetVersion(first) && isUnsetVersion(second));
    } else if (requirement.stringId == IDS_VERSION_RANGE) {
        expectedArguments = 2;
    } else {
        FUZZ_CHECK(requirement.stringId == IDS_VERSION_MINIMUM ||
                   requirement.stringId == IDS_VERSION_MAXIMUM ||
                   requirement.stringId == IDS_VERSION_EXACT);
    }
    FUZZ_CHECK(requirement.arguments.size() == expectedArguments);
    for (const std::wstring& argument : requirement.arguments) {
        FUZZ_CHECK(!argument.empty() && argument.size() <= 4 * 10 + 3);
    }
}

void checkBoundTexts(std::wstring_view text)
{
    RuntimeVersion minimum = minimumVersionFromText(text);
    RuntimeVersion maximum = maximumVersionFromText(text);
    if (text == L"any") {
        FUZZ_CHECK(isUnsetVersion(minimum) && isUnsetVersion(maximum));
        return;
    }
    FUZZ_CHECK(minimum.parts == parseRuntimeVersion(text, kVersionFillLow).version.parts);
    FUZZ_CHECK(maximum.parts == parseRuntimeVersion(text, kVersionFillHigh).version.parts);
}

// Candidates from the input: small parts, so that equal versions are common.
std::vector<RuntimeCandidate> candidatesFrom(FuzzInput& input)
{
    std::vector<RuntimeCandidate> candidates(input.byte() % 12);
    for (std::size_t index = 0; index < candidates.size(); ++index) {
        RuntimeCandidate& candidate = candidates[index];
        for (std::int32_t& part : candidate.version.parts) {
            part = input.byte() % 5;
        }
        std::uint8_t flags = input.byte();
        candidate.isServerJvm = (flags & 1) != 0;
        candidate.isPreferred = (flags & 2) != 0;
        candidate.homeFolder = std::to_wstring(index);  // tells the candidates apart
    }
    return candidates;
}

std::size_t scanIndex(const RuntimeCandidate& candidate)
{
    return std::stoul(candidate.homeFolder);
}

// The best ranked match of the first item that has one, skipping the items
// the predicate names; the best ranked candidate when no item matches.
std::size_t expectedPick(const std::vector<RuntimeCandidate>& ranked,
                         const std::vector<std::wstring>& items,
                         const std::function<bool(std::wstring_view)>& skipped)
{
    for (const std::wstring& item : items) {
        if (skipped(item)) {
            continue;
        }
        RuntimeVersion preferred = parseRuntimeVersion(item, kVersionFillLow).version;
        for (const RuntimeCandidate& candidate : ranked) {
            if (matchesPreferredVersion(preferred, candidate.version)) {
                return scanIndex(candidate);
            }
        }
    }
    return scanIndex(ranked.front());
}

void checkRanking(FuzzInput& input, const std::vector<std::wstring>& preferredVersions)
{
    LauncherSettings settings;
    std::uint8_t flags = input.byte();
    settings.favorMode = (flags & 1) != 0;
    settings.jvmType = (flags >> 1) % 3;
    settings.preferredVersions = preferredVersions;
    std::vector<RuntimeCandidate> candidates = candidatesFrom(input);

    std::vector<RuntimeCandidate> ranked = candidates;
    rankCandidates(ranked, settings);
    FUZZ_CHECK(ranked.size() == candidates.size());
    std::vector<bool> seen(candidates.size());
    for (std::size_t later = 0; later < ranked.size(); ++later) {
        std::size_t index = scanIndex(ranked[later]);
        FUZZ_CHECK(index < candidates.size() && !seen[index]);
        seen[index] = true;
        FUZZ_CHECK(ranked[later].version.parts == candidates[index].version.parts);
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            // Sorted, and equal candidates keep their scan order.
            FUZZ_CHECK(!ranksBefore(ranked[later], ranked[earlier], settings));
            if (!ranksBefore(ranked[earlier], ranked[later], settings)) {
                FUZZ_CHECK(scanIndex(ranked[earlier]) < index);
            }
        }
    }

    std::optional<RuntimeCandidate> picked = pickCandidate(candidates, settings);
    FUZZ_CHECK(picked.has_value() == !candidates.empty());
    if (!picked) {
        return;
    }
    // An item without digits matches every runtime unless it is skipped; the
    // pick may follow either reading, never anything else.
    std::size_t index = scanIndex(*picked);
    bool expected =
        index == expectedPick(ranked, preferredVersions, [](std::wstring_view) { return false; }) ||
        index == expectedPick(ranked, preferredVersions,
                              [](std::wstring_view item) { return !holdsAsciiDigit(item); }) ||
        index == expectedPick(ranked, preferredVersions, [](std::wstring_view item) {
            return !parseRuntimeVersion(item, kVersionFillLow).succeeded;
        });
    FUZZ_CHECK(expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    FuzzInput rankingInput(data, size);
    std::wstring text = input.rest();
    // The text is also a "Preferred versions" list: items between semicolons.
    std::vector<std::wstring> items = splitText(text, L";");
    std::vector<RuntimeVersion> versions;
    versions.push_back(checkedVersion(text, kVersionFillLow));
    versions.push_back(checkedVersion(text, kVersionFillHigh));
    for (const std::wstring& item : items) {
        versions.push_back(checkedVersion(item, kVersionFillLow));
        checkBoundTexts(item);
    }
    checkBoundTexts(text);
    for (std::size_t index = 0; index + 2 < versions.size(); ++index) {
        checkOrder(versions[index], versions[index + 1], versions[index + 2]);
    }
    checkOrder(versions[0], versions[1], versions[0]);
    checkRanking(rankingInput, items);
    return 0;
}
