#include "runtime/runtime_locator.h"

#include "config/runtime_version.h"
#include "resources/resource_ids.h"
#include "runtime/jvm_library_probe.h"
#include "runtime/registry_scan.h"
#include "runtime/runtime_dialog_ids.h"
#include "runtime/runtime_not_found_dialog.h"
#include "support/console_program.h"
#include "support/diagnostic_trace.h"
#include "ui/error_reporter.h"
#include "ui/message_format.h"
#include "ui/window_station.h"

std::optional<RegistryRuntime> findRegistryRuntime(const LauncherSettings& settings)
{
    std::optional<RegisteredRuntime> registered =
        scanRegistryRuntimes(settings, RegistryView::defaultView);
    if (!registered) {
        registered = scanRegistryRuntimes(settings, RegistryView::thirtyTwoBitView);
    }
    if (!registered) {
        return std::nullopt;
    }
    // The scan relaxed "favor_server" for one key; the runtime chosen is probed
    // again with the JVM type as configured.
    std::optional<JvmLibraryLocation> library =
        findJvmLibrary(registered->homeFolder, settings.jvmType);
    if (!library) {
        traceLine({L"registry runtime ", registered->homeFolder,
                   L" not taken: no JVM library of the configured JVM Type"});
        return std::nullopt;
    }
    return RegistryRuntime{library->path, registered->foundInThirtyTwoBitView};
}

std::wstring runtimeNotFoundMessage(const LauncherSettings& settings)
{
    VersionRequirement requirement =
        describeVersionRequirement(settings.minimumVersion, settings.maximumVersion);
    std::vector<MessageArgument> versions(requirement.arguments.begin(),
                                          requirement.arguments.end());
    std::wstring phrase = formatMessage(ErrorReporter::loadText(requirement.stringId), versions);
    UINT messageId =
        settings.jvmType == kServerJvmOnly ? IDS_RUNTIME_NOT_FOUND_SERVER : IDS_RUNTIME_NOT_FOUND;
    return formatMessage(ErrorReporter::loadText(messageId), {std::wstring_view(phrase)});
}

std::optional<ChosenRuntime> askForRuntime(HWND owner, const std::wstring& message, int jvmType)
{
    // A console program, or a service with no interactive window station, has
    // nobody to pick a folder: it says what is missing and where to get it,
    // and the start fails.
    if (runsAsConsoleProgram() || !hasInteractiveWindowStation()) {
        ErrorReporter::showError(owner, message + L"\n" RUNTIME_DOWNLOAD_ADDRESS);
        return std::nullopt;
    }
    RuntimeNotFoundDialog dialog(message, jvmType);
    traceLine({L"runtime-not-found dialog shown: ", message});
    if (dialog.show(owner) != IDOK || dialog.foundJvmLibrary().empty()) {
        traceLine({L"runtime-not-found dialog: no runtime chosen"});
        return std::nullopt;
    }
    traceLine({L"runtime-not-found dialog: chose ", dialog.chosenFolder()});
    return ChosenRuntime{dialog.foundJvmLibrary(), dialog.chosenFolder()};
}
