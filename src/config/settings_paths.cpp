#include "config/settings_paths.h"

#include <utility>

#include "config/module_path.h"
#include "config/settings_path_rules.h"
#include "support/environment_variable.h"
#include "support/folder_of_path.h"

namespace {

// APPDATA is read whole, however long. A value of 260 characters or more is a
// real folder where long paths are enabled; cutting it or dropping it would put
// the per-user settings somewhere the user never chose. Unset reads as empty.
std::wstring appDataFolder()
{
    return environmentVariable(L"APPDATA");
}

}  // namespace

std::optional<ProductPaths> findProductPaths(HWND owner)
{
    std::optional<std::wstring> executablePath = modulePath(owner);
    if (!executablePath) {
        return std::nullopt;
    }
    std::optional<std::wstring> settingsFile = settingsFilePathFor(*executablePath);
    if (!settingsFile) {
        return std::nullopt;
    }
    ProductPaths paths;
    paths.executableFolder = folderOfPath(*executablePath, FolderForm::withoutTrailingBackslash);
    paths.executablePath = std::move(*executablePath);
    paths.settingsFile = std::move(*settingsFile);
    return paths;
}

std::optional<std::wstring> pairSettingsFilePath(std::wstring_view pairProduct)
{
    return settingsFilePathFor(pairProduct);
}

std::optional<std::wstring> userSettingsFilePathFor(std::wstring_view executablePath,
                                                    std::wstring_view productName,
                                                    std::wstring_view productCode,
                                                    bool createFolders)
{
    std::optional<UserSettingsLocation> location =
        userSettingsLocationFor(appDataFolder(), productName, productCode, executablePath);
    if (!location) {
        return std::nullopt;
    }
    if (createFolders) {
        // Failures, an existing folder among them, are not reported: writing
        // the file afterwards is what tells whether the place is usable.
        CreateDirectoryW(location->productFolder.c_str(), nullptr);
        CreateDirectoryW(location->codeFolder.c_str(), nullptr);
    }
    return std::move(location->filePath);
}

std::optional<std::wstring> pairUserSettingsFilePath(std::wstring_view pairProduct,
                                                     std::wstring_view productName,
                                                     std::wstring_view productCode)
{
    if (pairProduct.empty()) {
        return std::nullopt;
    }
    return userSettingsFilePathFor(pairProduct, productName, productCode, true);
}
