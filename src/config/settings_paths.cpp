#include "config/settings_paths.h"

#include <vector>

#include "config/module_path.h"
#include "config/settings_path_rules.h"

namespace {

// APPDATA is read whole, however long. A value of 260 characters or more is a
// real folder where long paths are enabled; cutting it or dropping it would put
// the per-user settings somewhere the user never chose. Unset reads as empty.
std::wstring appDataFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), size);
        if (length < size) {
            return std::wstring(buffer.data(), length);
        }
        // Too small: length is the room the value needs, its zero included.
        buffer.assign(length, L'\0');
    }
}

}  // namespace

std::optional<std::wstring> settingsFilePath(HWND owner)
{
    std::optional<std::wstring> executablePath = modulePath(owner);
    if (!executablePath) {
        return std::nullopt;
    }
    return settingsFilePathFor(*executablePath);
}

std::optional<std::wstring> pairSettingsFilePath(std::wstring_view pairProduct)
{
    return settingsFilePathFor(pairProduct);
}

std::wstring userSettingsFilePathFor(std::wstring_view executablePath,
                                     std::wstring_view productName,
                                     std::wstring_view productCode, bool createFolders)
{
    UserSettingsLocation location =
        userSettingsLocationFor(appDataFolder(), productName, productCode, executablePath);
    if (createFolders) {
        // Failures, an existing folder among them, are not reported: writing
        // the file afterwards is what tells whether the place is usable.
        CreateDirectoryW(location.productFolder.c_str(), nullptr);
        CreateDirectoryW(location.codeFolder.c_str(), nullptr);
    }
    return location.filePath;
}

std::optional<std::wstring> userSettingsFilePath(HWND owner, std::wstring_view productName,
                                                 std::wstring_view productCode, bool createFolders)
{
    std::optional<std::wstring> executablePath = modulePath(owner);
    if (!executablePath) {
        return std::nullopt;
    }
    return userSettingsFilePathFor(*executablePath, productName, productCode, createFolders);
}

std::wstring pairUserSettingsFilePath(std::wstring_view pairProduct, std::wstring_view productName,
                                      std::wstring_view productCode)
{
    if (pairProduct.empty()) {
        return {};
    }
    return userSettingsFilePathFor(pairProduct, productName, productCode, true);
}
