#include "ui/system_libraries.h"

#include <optional>

#include "support/loaded_library.h"

namespace {

std::optional<ShellBrowseFunctions> loadShellBrowseFunctions()
{
    HMODULE shell = loadSystemLibrary(L"shell32.dll");
    HMODULE ole = loadSystemLibrary(L"ole32.dll");
    ShellBrowseFunctions functions;
    bool complete = lookUp(shell, "SHBrowseForFolderW", functions.browseForFolder) &&
                    lookUp(shell, "SHGetPathFromIDListW", functions.pathFromIdList) &&
                    lookUp(shell, "ShellExecuteW", functions.shellExecute) &&
                    lookUp(ole, "CoInitializeEx", functions.initializeCom) &&
                    lookUp(ole, "CoUninitialize", functions.uninitializeCom) &&
                    lookUp(ole, "CoTaskMemFree", functions.freeComMemory);
    return complete ? std::optional(functions) : std::nullopt;
}

bool loadTooltipClass()
{
    decltype(&InitCommonControlsEx) initCommonControls = nullptr;
    if (!lookUp(loadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx", initCommonControls)) {
        return false;
    }
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    return initCommonControls(&classes) != FALSE;
}

}  // namespace

const ShellBrowseFunctions* shellBrowseFunctions()
{
    static const std::optional<ShellBrowseFunctions> functions = loadShellBrowseFunctions();
    return functions ? &*functions : nullptr;
}

void freeItemIdList(PIDLIST_ABSOLUTE list) noexcept
{
    shellBrowseFunctions()->freeComMemory(list);
}

bool registerTooltipClass()
{
    static const bool registered = loadTooltipClass();
    return registered;
}
