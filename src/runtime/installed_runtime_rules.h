// The rules for runtimes that vendor installers register under their own keys
// or that are only on PATH: where each vendor writes the folder, the version
// in a runtime's "release" file, JDK or JRE, and which runtime is chosen. No
// Windows header, so they are tested natively too.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"
#include "runtime/runtime_vendor_keys.h"

// One vendor layout: a key whose subkeys are named by version, and where
// below each of them the installer wrote the runtime's folder.
struct InstalledRuntimeLayout {
    std::wstring_view key;             // below the registry root, ending with "\"
    std::wstring_view belowVersion;    // subkey of the version's key holding the value, or empty
    std::wstring_view folderValueName; // the value naming the runtime's folder
};

// The known layouts, in the order they are read. A new vendor is one row.
inline constexpr std::array<InstalledRuntimeLayout, 19> kInstalledRuntimeLayouts{{
    {L"Software\\Eclipse Adoptium\\JDK\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\Eclipse Adoptium\\JRE\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\Eclipse Adoptium\\JDK\\", L"openj9\\MSI", L"Path"},
    {L"Software\\Eclipse Adoptium\\JRE\\", L"openj9\\MSI", L"Path"},
    {L"Software\\Eclipse Foundation\\JDK\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\Eclipse Foundation\\JRE\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\Eclipse Foundation\\JDK\\", L"openj9\\MSI", L"Path"},
    {L"Software\\Eclipse Foundation\\JRE\\", L"openj9\\MSI", L"Path"},
    {L"Software\\AdoptOpenJDK\\JDK\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\AdoptOpenJDK\\JRE\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\AdoptOpenJDK\\JDK\\", L"openj9\\MSI", L"Path"},
    {L"Software\\AdoptOpenJDK\\JRE\\", L"openj9\\MSI", L"Path"},
    {L"Software\\Microsoft\\JDK\\", L"hotspot\\MSI", L"Path"},
    {L"Software\\Semeru\\JDK\\", L"openj9\\MSI", L"Path"},
    {L"Software\\Semeru\\JRE\\", L"openj9\\MSI", L"Path"},
    {L"Software\\SapMachine\\JDK\\", L"", L"JavaHome"},
    {L"Software\\SapMachine\\JRE\\", L"", L"JavaHome"},
    {L"Software\\Azul Systems\\Zulu\\", L"", L"InstallationPath"},
    {L"Software\\BellSoft\\Liberica\\", L"", L"InstallationPath"},
}};

// The key that holds the folder value of one version subkey: the layout's key,
// the subkey's name and the layout's subkey below it.
std::wstring installedRuntimeValueKey(const InstalledRuntimeLayout& layout,
                                      std::wstring_view versionSubkey);

// No more than this much of a "release" file is read.
inline constexpr std::size_t kReleaseFileReadLimit = 64 * 1024;

// The version of the JAVA_VERSION line of a "release" file's text (quoted or
// not, lines ended by LF or CRLF). Nothing when there is no such line or it
// holds no version.
[[nodiscard]] std::optional<RuntimeVersion> versionFromReleaseText(std::string_view text);

// The runtime's home folder, ending with "\", from a folder an installer
// registered: only a full path (drive and backslash, or a network path) of a
// length the system accepts. Nothing otherwise.
[[nodiscard]] std::optional<std::wstring> homeFromRegisteredFolder(std::wstring_view folder);

// The runtime home a folder of PATH stands for when it holds java.exe: the
// folder above it, when the folder is a full path whose last part is "bin".
// Quotes around the entry are dropped. Nothing otherwise.
[[nodiscard]] std::optional<std::wstring> homeFromPathFolder(std::wstring_view pathEntry);

// What the JVM library of a runtime is built for, as far as can be told.
enum class LibraryMachine { x86, otherMachine, unknown };

// One runtime found by this search, with everything the choice needs.
struct InstalledRuntime {
    std::wstring homeFolder;  // ends with "\"
    RuntimeVersion version;
    RuntimeKind kind = RuntimeKind::jre;  // a JDK has bin\javac.exe
    bool isServerJvm = false;
    LibraryMachine machine = LibraryMachine::unknown;
};

// Whether the settings look at runtimes of this kind at all ("JVM Source").
bool isInstalledKindLooked(RuntimeKind kind, const LauncherSettings& settings);

// Whether two home folders are the same folder (letter case aside).
bool isSameHome(std::wstring_view left, std::wstring_view right);

// Which launcher is choosing: the 64-bit one, which may hand x86 runtimes to
// its pair, or the paired 32-bit one, which runs x86 runtimes only.
enum class LauncherBuild { sixtyFourBit, thirtyTwoBit };

struct ChosenInstalledRuntime {
    InstalledRuntime runtime;
    bool handToPair = false;  // x86: the pair product runs it
};

// The runtime to use: duplicates (the same home reached twice) count once,
// the first reach kept; the version bounds and "JVM Source" filter; the
// runtimes this build can load are ranked and chosen as registered runtimes
// are. Only when none remains are x86 runtimes considered, and only by the
// 64-bit build with a pair product, which they are handed to.
[[nodiscard]] std::optional<ChosenInstalledRuntime> chooseInstalledRuntime(
    const std::vector<InstalledRuntime>& found, const LauncherSettings& settings,
    LauncherBuild build);
