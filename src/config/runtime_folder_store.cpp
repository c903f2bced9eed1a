#include "config/runtime_folder_store.h"

#include "config/settings_paths.h"
#include "config/settings_store.h"

std::vector<std::wstring> chosenRuntimeTargets(HWND owner, const LauncherSettings& settings)
{
    std::vector<std::wstring> targets;
    std::optional<std::wstring> settingsFile = settingsFilePath(owner);
    if (!settingsFile) {
        return targets;
    }
    if (settings.isService) {
        targets.push_back(*settingsFile);
        if (std::optional<std::wstring> pairFile = pairSettingsFilePath(settings.pairProduct)) {
            targets.push_back(*pairFile);
        }
        return targets;
    }
    if (std::optional<std::wstring> userFile = userSettingsFilePath(
            owner, settings.productName, settings.productCode, true)) {
        targets.push_back(*userFile);
    }
    if (!settings.pairProduct.empty()) {
        targets.push_back(pairUserSettingsFilePath(settings.pairProduct, settings.productName,
                                                   settings.productCode));
    }
    return targets;
}

void storeChosenRuntimeFolder(HWND owner, const LauncherSettings& settings,
                              const std::wstring& folder)
{
    for (const std::wstring& target : chosenRuntimeTargets(owner, settings)) {
        static_cast<void>(
            IniSettingsStore(target).writeSetting(L"Java Runtime Environment", L"JRE Path", folder));
    }
}
