#include "ui/system_libraries.h"

#include <optional>

namespace {

HMODULE loadSystemLibrary(const wchar_t* name)
{
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Fills the pointer with the named export; false when the module or the export is missing.
template <typename Function>
bool lookUp(HMODULE module, const char* name, Function& function)
{
    if (module == nullptr) {
        return false;
    }
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

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

bool registerTooltipClass()
{
    static const bool registered = loadTooltipClass();
    return registered;
}
