#include "runtime/runtime_locator.h"

// Runtime discovery is not built yet: every source reports that it found
// nothing and the user is not asked, so start-up ends as it does when the
// runtime-not-found dialog is cancelled.

std::optional<RegistryRuntime> findRegistryRuntime(const LauncherSettings&)
{
    return std::nullopt;
}

std::wstring runtimeNotFoundMessage(const LauncherSettings&)
{
    return {};
}

std::optional<ChosenRuntime> askForRuntime(HWND, const std::wstring&, int)
{
    return std::nullopt;
}
