#include "config/runtime_folder_store.h"

#include <optional>

#include "config/setting_forms.h"
#include "config/settings_paths.h"
#include "config/settings_store.h"

std::vector<std::wstring> chosenRuntimeTargets(const ProductPaths& paths,
                                               const LauncherSettings& settings)
{
    std::vector<std::wstring> targets;
    const std::wstring pairProduct =
        resolvePairProduct(settings.pairProduct, paths.executableFolder);
    if (settings.isService) {
        targets.push_back(paths.settingsFile);
        if (std::optional<std::wstring> pairFile = pairSettingsFilePath(pairProduct)) {
            targets.push_back(*pairFile);
        }
        return targets;
    }
    // Without an absolute APPDATA there is no per-user file to write.
    if (std::optional<std::wstring> userFile = userSettingsFilePathFor(
            paths.executablePath, settings.productName, settings.productCode, true)) {
        targets.push_back(*userFile);
    }
    if (std::optional<std::wstring> pairUserFile = pairUserSettingsFilePath(
            pairProduct, settings.productName, settings.productCode)) {
        targets.push_back(*pairUserFile);
    }
    return targets;
}

void storeChosenRuntimeFolder(const ProductPaths& paths, const LauncherSettings& settings,
                              const std::wstring& folder)
{
    for (const std::wstring& target : chosenRuntimeTargets(paths, settings)) {
        static_cast<void>(IniSettingsStore(target).writeSetting(L"Java Runtime Environment",
                                                                L"JRE Path", folder));
    }
}
