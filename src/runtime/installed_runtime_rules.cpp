#include "runtime/installed_runtime_rules.h"

#include <utility>

#include "runtime/runtime_ranking.h"
#include "support/path_rules.h"

namespace {

constexpr std::string_view kVersionKey = "JAVA_VERSION";

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The version text of one line "JAVA_VERSION=...", quotes removed; nothing for
// any other line.
std::optional<std::string_view> versionOfLine(std::string_view line)
{
    line = trimmed(line);
    if (!line.starts_with(kVersionKey)) {
        return std::nullopt;
    }
    std::string_view rest = trimmed(line.substr(kVersionKey.size()));
    if (!rest.starts_with('=')) {
        return std::nullopt;
    }
    rest = trimmed(rest.substr(1));
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        rest = rest.substr(1, rest.size() - 2);
    }
    return rest;
}

bool isAsciiLetter(wchar_t character)
{
    return (character >= L'a' && character <= L'z') || (character >= L'A' && character <= L'Z');
}

wchar_t asciiUpper(wchar_t character)
{
    return character >= L'a' && character <= L'z' ? static_cast<wchar_t>(character - L'a' + L'A')
                                                   : character;
}

// "C:\..." or a network path "\\server\share...": a folder that does not hang
// on the current folder or drive.
bool isFullPath(std::wstring_view path)
{
    if (path.size() >= 3 && isAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
        return true;
    }
    return path.size() >= 3 && isUncPath(path) && path[2] != L'\\';
}

bool containsNul(std::wstring_view text)
{
    return text.find(L'\0') != std::wstring_view::npos;
}

bool isKindPreferred(RuntimeKind kind, const LauncherSettings& settings)
{
    return kind == RuntimeKind::jdk ? settings.jdkWanted : settings.jreWanted;
}

// Whether this build loads the runtime itself. A library whose machine could
// not be read is left to the binding, which reports what is wrong with it.
bool runsInThisBuild(LibraryMachine machine, LauncherBuild build)
{
    return build == LauncherBuild::sixtyFourBit ? machine != LibraryMachine::x86
                                                : machine != LibraryMachine::otherMachine;
}

std::optional<InstalledRuntime> pickAmong(const std::vector<InstalledRuntime>& runtimes,
                                          const LauncherSettings& settings)
{
    std::vector<RuntimeCandidate> candidates;
    for (const InstalledRuntime& runtime : runtimes) {
        candidates.push_back(RuntimeCandidate{runtime.version, runtime.homeFolder,
                                              runtime.isServerJvm,
                                              isKindPreferred(runtime.kind, settings)});
    }
    std::optional<RuntimeCandidate> chosen = pickCandidate(std::move(candidates), settings);
    if (!chosen) {
        return std::nullopt;
    }
    for (const InstalledRuntime& runtime : runtimes) {
        if (runtime.homeFolder == chosen->homeFolder) {
            return runtime;
        }
    }
    return std::nullopt;
}

}  // namespace

std::wstring installedRuntimeValueKey(const InstalledRuntimeLayout& layout,
                                      std::wstring_view versionSubkey)
{
    std::wstring key(layout.key);
    key += versionSubkey;
    if (!layout.belowVersion.empty()) {
        key += L'\\';
        key += layout.belowVersion;
    }
    return key;
}

std::optional<RuntimeVersion> versionFromReleaseText(std::string_view text)
{
    text = text.substr(0, kReleaseFileReadLimit);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::optional<std::string_view> versionText = versionOfLine(line);
        if (!versionText) {
            continue;
        }
        // The release file is ASCII; anything else only separates digit groups.
        std::wstring wide;
        for (char character : *versionText) {
            const auto byte = static_cast<unsigned char>(character);
            wide += byte < 0x80 ? static_cast<wchar_t>(byte) : L' ';
        }
        const ParsedRuntimeVersion parsed = parseRuntimeVersion(wide, kVersionFillLow);
        if (!parsed.succeeded) {
            return std::nullopt;
        }
        return parsed.version;
    }
    return std::nullopt;
}

std::optional<std::wstring> homeFromRegisteredFolder(std::wstring_view folder)
{
    if (folder.size() >= longPathLimit || containsNul(folder) || !isFullPath(folder)) {
        return std::nullopt;
    }
    std::wstring home(folder);
    if (home.back() != L'\\') {
        home += L'\\';
    }
    return home;
}

std::optional<std::wstring> homeFromPathFolder(std::wstring_view pathEntry)
{
    if (pathEntry.size() >= 2 && pathEntry.front() == L'"' && pathEntry.back() == L'"') {
        pathEntry = pathEntry.substr(1, pathEntry.size() - 2);
    }
    while (!pathEntry.empty() && pathEntry.back() == L'\\') {
        pathEntry.remove_suffix(1);
    }
    if (pathEntry.size() >= longPathLimit || containsNul(pathEntry) || !isFullPath(pathEntry)) {
        return std::nullopt;
    }
    const std::size_t lastSeparator = pathEntry.rfind(L'\\');
    const std::wstring_view lastPart = pathEntry.substr(lastSeparator + 1);
    if (lastPart.size() != 3 || asciiUpper(lastPart[0]) != L'B' || asciiUpper(lastPart[1]) != L'I' ||
        asciiUpper(lastPart[2]) != L'N') {
        return std::nullopt;
    }
    // "C:\bin" stands for the home "C:\".
    return homeFromRegisteredFolder(pathEntry.substr(0, lastSeparator + 1));
}

bool isInstalledKindLooked(RuntimeKind kind, const LauncherSettings& settings)
{
    return settings.favorMode || isKindPreferred(kind, settings);
}

bool isSameHome(std::wstring_view left, std::wstring_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t index = 0; index < left.size(); ++index) {
        if (asciiUpper(left[index]) != asciiUpper(right[index])) {
            return false;
        }
    }
    return true;
}

std::optional<ChosenInstalledRuntime> chooseInstalledRuntime(
    const std::vector<InstalledRuntime>& found, const LauncherSettings& settings,
    LauncherBuild build)
{
    std::vector<InstalledRuntime> loadedHere;
    std::vector<InstalledRuntime> forThePair;
    std::vector<std::wstring_view> seenHomes;
    for (const InstalledRuntime& runtime : found) {
        bool seen = false;
        for (std::wstring_view home : seenHomes) {
            seen = seen || isSameHome(home, runtime.homeFolder);
        }
        if (seen) {
            continue;
        }
        seenHomes.push_back(runtime.homeFolder);
        if (!versionWithinBounds(runtime.version, settings.minimumVersion,
                                 settings.maximumVersion) ||
            !isInstalledKindLooked(runtime.kind, settings)) {
            continue;
        }
        if (runsInThisBuild(runtime.machine, build)) {
            loadedHere.push_back(runtime);
        } else if (build == LauncherBuild::sixtyFourBit && !settings.pairProduct.empty()) {
            forThePair.push_back(runtime);
        }
    }
    if (std::optional<InstalledRuntime> chosen = pickAmong(loadedHere, settings)) {
        return ChosenInstalledRuntime{std::move(*chosen), false};
    }
    if (std::optional<InstalledRuntime> chosen = pickAmong(forThePair, settings)) {
        return ChosenInstalledRuntime{std::move(*chosen), true};
    }
    return std::nullopt;
}
