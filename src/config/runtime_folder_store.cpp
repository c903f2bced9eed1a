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
    targets.push_back(userSettingsFilePathFor(paths.executablePath, settings.productName,
                                              settings.productCode, true));
    if (!pairProduct.empty()) {
        targets.push_back(
            pairUserSettingsFilePath(pairProduct, settings.productName, settings.productCode));
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
