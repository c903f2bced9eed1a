#include "config/settings_path_rules.h"

namespace {

bool isPathSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The name without the characters in forbidden and without runs of two or
// more dots ("..", the parent folder, would walk out of the folder above).
std::wstring folderNameWithout(std::wstring_view name, std::wstring_view forbidden)
{
    std::wstring kept;
    kept.reserve(name.size());
    for (wchar_t c : name) {
        if (forbidden.find(c) == std::wstring_view::npos) {
            kept += c;
        }
    }
    std::wstring cleaned;
    cleaned.reserve(kept.size());
    for (size_t index = 0; index < kept.size();) {
        size_t runEnd = index;
        while (runEnd < kept.size() && kept[runEnd] == L'.') {
            ++runEnd;
        }
        if (runEnd - index == 1) {
            cleaned += L'.';
        } else if (runEnd == index) {
            cleaned += kept[index];
            ++runEnd;
        }
        index = runEnd;
    }
    return cleaned;
}

}  // namespace

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
    return folderNameWithout(productName, L"\\?\"|><:/*");
}

std::wstring productCodeFolderName(std::wstring_view productCode)
{
    return folderNameWithout(productCode, L"\\/");
}

bool isAbsolutePath(std::wstring_view path)
{
    if (path.size() >= 3 && path[1] == L':' && isPathSeparator(path[2])) {
        wchar_t drive = path[0];
        return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    }
    return path.size() >= 3 && isPathSeparator(path[0]) && isPathSeparator(path[1]);
}

std::wstring fileBaseName(std::wstring_view path)
{
    size_t lastBackslash = path.rfind(L'\\');
    std::wstring_view name =
        lastBackslash == std::wstring_view::npos ? path : path.substr(lastBackslash + 1);
    return std::wstring(name.substr(0, name.rfind(L'.')));
}

std::optional<UserSettingsLocation> userSettingsLocationFor(std::wstring_view appDataFolder,
                                                            std::wstring_view productName,
                                                            std::wstring_view productCode,
                                                            std::wstring_view executablePath)
{
    if (!isAbsolutePath(appDataFolder)) {
        return std::nullopt;
    }
    UserSettingsLocation location;
    location.productFolder = std::wstring(appDataFolder) + L"\\" + productFolderName(productName);
    location.codeFolder = location.productFolder + L"\\" + productCodeFolderName(productCode);
    location.filePath = location.codeFolder + L"\\" + fileBaseName(executablePath) + L".ini";
    return location;
}
