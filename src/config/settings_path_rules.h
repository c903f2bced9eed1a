// Where the settings files are, as text rules over an executable's path: the
// settings file beside the executable and the per-user settings file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The path up to and including its last "." followed by "ini". The last "."
// of the whole path counts, so C:\Apps.v2\start gives C:\Apps.ini. No "." at
// all gives no path.
[[nodiscard]] std::optional<std::wstring> settingsFilePathFor(std::wstring_view executablePath);

// The product name without the nine characters a folder name cannot hold:
// \ ? " | > < : / *. Blanks stay.
std::wstring productFolderName(std::wstring_view productName);

// The text after the last backslash without its extension (from its last "."
// on). A name that starts with its only "." becomes empty.
std::wstring fileBaseName(std::wstring_view path);

// The per-user settings file and the two folders above it.
struct UserSettingsLocation {
    std::wstring productFolder;  // application data, "\", cleaned product name
    std::wstring codeFolder;     // productFolder, "\", product code
    std::wstring filePath;       // codeFolder, "\", executable base name, ".ini"
};

// An empty application-data folder leaves the paths starting with a backslash.
UserSettingsLocation userSettingsLocationFor(std::wstring_view appDataFolder,
                                             std::wstring_view productName,
                                             std::wstring_view productCode,
                                             std::wstring_view executablePath);
