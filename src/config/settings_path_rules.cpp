#include "config/settings_path_rules.h"

std::optional<std::wstring> settingsFilePathFor(std::wstring_view executablePath)
{
    size_t lastDot = executablePath.rfind(L'.');
    if (lastDot == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring path(executablePath.substr(0, lastDot + 1));
    path += L"ini";
    return path;
}

std::wstring productFolderName(std::wstring_view productName)
{
    constexpr std::wstring_view forbidden = L"\\?\"|><:/*";
    std::wstring cleaned;
    cleaned.reserve(productName.size());
    for (wchar_t c : productName) {
        if (forbidden.find(c) == std::wstring_view::npos) {
            cleaned += c;
        }
    }
    return cleaned;
}

std::wstring fileBaseName(std::wstring_view path)
{
    size_t lastBackslash = path.rfind(L'\\');
    std::wstring_view name =
        lastBackslash == std::wstring_view::npos ? path : path.substr(lastBackslash + 1);
    return std::wstring(name.substr(0, name.rfind(L'.')));
}

UserSettingsLocation userSettingsLocationFor(std::wstring_view appDataFolder,
                                             std::wstring_view productName,
                                             std::wstring_view productCode,
                                             std::wstring_view executablePath)
{
    UserSettingsLocation location;
    location.productFolder = std::wstring(appDataFolder) + L"\\" + productFolderName(productName);
    location.codeFolder = location.productFolder + L"\\" + std::wstring(productCode);
    location.filePath = location.codeFolder + L"\\" + fileBaseName(executablePath) + L".ini";
    return location;
}
