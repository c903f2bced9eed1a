#include "runtime/installed_runtimes.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "runtime/jvm_library_probe.h"
#include "runtime/runtime_registry.h"
#include "support/diagnostic_trace.h"
#include "support/environment_variable.h"
#include "support/folder_of_path.h"
#include "support/handle_owners.h"
#include "support/long_path.h"
#include "support/path_rules.h"
#include "support/split_text.h"

namespace {

#ifdef _WIN64
constexpr LauncherBuild kThisBuild = LauncherBuild::sixtyFourBit;
#else
constexpr LauncherBuild kThisBuild = LauncherBuild::thirtyTwoBit;
#endif

constexpr std::wstring_view kJavaExecutable = L"java.exe";
constexpr std::wstring_view kJavaCompiler = L"bin\\javac.exe";
constexpr std::wstring_view kReleaseFile = L"release";

// Where the runtimes are looked for, one registry root and view at a time.
struct RegistryPlace {
    RegistryRoot root;
    RegistryView view;
    std::wstring_view name;
};

// The first 64 KiB of the home's "release" file; nothing when it cannot be read.
std::optional<std::string> readReleaseFile(const std::wstring& home)
{
    std::optional<std::wstring> path = toSystemPath(home + std::wstring(kReleaseFile));
    if (!path) {
        return std::nullopt;
    }
    const FileHandle file(CreateFileW(path->c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string text(kReleaseFileReadLimit, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), text.data() + filled, static_cast<DWORD>(text.size() - filled),
                      &read, nullptr) ||
            read == 0) {
            break;
        }
        filled += read;
    }
    text.resize(filled);
    return text;
}

// The folder a link such as Oracle's "javapath" java.exe really lives in;
// nothing when the file cannot be opened or is no link.
std::optional<std::wstring> resolvedFolderOf(const std::wstring& file)
{
    std::optional<std::wstring> path = toSystemPath(file);
    if (!path) {
        return std::nullopt;
    }
    const FileHandle opened(CreateFileW(path->c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened) {
        return std::nullopt;
    }
    std::wstring resolved(longPathLimit + 1, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(
        opened.get(), resolved.data(), static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
    if (length == 0 || length >= resolved.size()) {
        return std::nullopt;
    }
    resolved.resize(length);
    if (resolved.starts_with(networkLongPathPrefix)) {
        resolved = L"\\\\" + resolved.substr(networkLongPathPrefix.size());
    } else if (resolved.starts_with(localLongPathPrefix)) {
        resolved.erase(0, localLongPathPrefix.size());
    }
    return folderOfPath(resolved, FolderForm::withoutTrailingBackslash);
}

class InstalledRuntimeSearch {
public:
    InstalledRuntimeSearch(const LauncherSettings& settings, LibraryMachineReader readMachine)
        : settings_(settings), readMachine_(readMachine)
    {
    }

    void searchRegistry(const RegistryPlace& place)
    {
        for (const InstalledRuntimeLayout& layout : kInstalledRuntimeLayouts) {
            for (const std::wstring& name : listRegistrySubkeys(place.root, layout.key, place.view)) {
                // The value names are literals of the layout table, ended by NUL.
                std::optional<std::wstring> folder =
                    readRegistryText(place.root, installedRuntimeValueKey(layout, name),
                                     layout.folderValueName.data(), place.view, longPathLimit);
                if (!folder) {
                    continue;
                }
                std::optional<std::wstring> home = homeFromRegisteredFolder(*folder);
                if (!home) {
                    traceLine({L"  ", place.name, L" ", layout.key, name,
                               L": not taken, not a full folder path"});
                    continue;
                }
                examine(*home, parseRuntimeVersion(name, kVersionFillLow).version);
            }
        }
    }

    void searchPath()
    {
        for (const std::wstring& entry : splitText(environmentVariable(L"PATH"), L";")) {
            std::optional<std::wstring> home = homeFromPathFolder(entry);
            std::wstring folder = withTrailingBackslash(entry);
            if (entry.empty() || !hasFileBelow(folder, kJavaExecutable)) {
                continue;
            }
            // A folder of links, such as Oracle's "javapath", leads to the
            // runtime its java.exe belongs to.
            if (!home || !hasJavaDll(*home)) {
                std::optional<std::wstring> linkedFolder =
                    resolvedFolderOf(folder + std::wstring(kJavaExecutable));
                if (linkedFolder) {
                    home = homeFromPathFolder(*linkedFolder);
                }
            }
            if (home) {
                examine(*home, RuntimeVersion{});
            }
        }
    }

    const std::vector<InstalledRuntime>& found() const { return found_; }

private:
    void examine(const std::wstring& home, const RuntimeVersion& versionFromKey)
    {
        std::optional<JvmLibraryLocation> library = findJvmLibrary(home, settings_.jvmType);
        if (!library) {
            return;
        }
        InstalledRuntime runtime;
        runtime.homeFolder = home;
        runtime.version = versionFromKey;
        if (std::optional<std::string> release = readReleaseFile(home)) {
            if (std::optional<RuntimeVersion> version = versionFromReleaseText(*release)) {
                runtime.version = *version;
            }
        }
        runtime.kind = hasFileBelow(home, kJavaCompiler) ? RuntimeKind::jdk : RuntimeKind::jre;
        runtime.isServerJvm = library->isServerJvm;
        runtime.machine = readMachine_(library->path);
        traceLine({L"  found ", formatRuntimeVersion(runtime.version),
                   runtime.kind == RuntimeKind::jdk ? L" JDK " : L" JRE ", home,
                   runtime.machine == LibraryMachine::x86 ? L", x86" : L""});
        found_.push_back(std::move(runtime));
    }

    const LauncherSettings& settings_;
    LibraryMachineReader readMachine_;
    std::vector<InstalledRuntime> found_;
};

}  // namespace

std::optional<InstalledRuntimeChoice> findInstalledRuntime(const LauncherSettings& settings,
                                                           LibraryMachineReader readMachine)
{
    InstalledRuntimeSearch search(settings, readMachine);
    // The 32-bit view holds x86 runtimes, of use only to the 64-bit launcher
    // when it has a pair to hand them to. Per-user keys are not redirected.
    search.searchRegistry({RegistryRoot::localMachine, RegistryView::defaultView, L"HKLM"});
    if (kThisBuild == LauncherBuild::sixtyFourBit && !settings.pairProduct.empty()) {
        search.searchRegistry(
            {RegistryRoot::localMachine, RegistryView::thirtyTwoBitView, L"HKLM 32-bit"});
    }
    search.searchRegistry({RegistryRoot::currentUser, RegistryView::defaultView, L"HKCU"});
    search.searchPath();

    std::optional<ChosenInstalledRuntime> chosen =
        chooseInstalledRuntime(search.found(), settings, kThisBuild);
    if (!chosen) {
        traceLine({L"  no installed runtime taken"});
        return std::nullopt;
    }
    std::optional<JvmLibraryLocation> library =
        findJvmLibrary(chosen->runtime.homeFolder, settings.jvmType);
    if (!library) {
        return std::nullopt;
    }
    return InstalledRuntimeChoice{library->path, chosen->handToPair};
}

std::optional<RuntimeVersion> releaseFileVersion(const std::wstring& homeFolder)
{
    std::optional<std::string> release = readReleaseFile(withTrailingBackslash(homeFolder));
    if (!release) {
        return std::nullopt;
    }
    return versionFromReleaseText(*release);
}
