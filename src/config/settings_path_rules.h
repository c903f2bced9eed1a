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
// \ ? " | > < : / *, and without any run of two or more dots, so that the
// name stays one folder inside the application-data folder. Blanks stay.
std::wstring productFolderName(std::wstring_view productName);

// The product code without path separators (\ and /) and without any run of
// two or more dots: one folder inside the product's folder.
std::wstring productCodeFolderName(std::wstring_view productCode);

// A path that names its drive or share: "C:\..." (either slash) or "\\...".
// "\x", "C:x" and "x" depend on the current drive or folder.
bool isAbsolutePath(std::wstring_view path);

// The text after the last backslash without its extension (from its last "."
// on). A name that starts with its only "." becomes empty.
std::wstring fileBaseName(std::wstring_view path);

// The per-user settings file and the two folders above it.
struct UserSettingsLocation {
    std::wstring productFolder;  // application data, "\", cleaned product name
    std::wstring codeFolder;     // productFolder, "\", product code
    std::wstring filePath;       // codeFolder, "\", executable base name, ".ini"
};

// Nothing when the application-data folder is not absolute (empty, unset or
// relative): the per-user file would then land on the current drive, perhaps
// a share, and it decides which runtime loads.
[[nodiscard]] std::optional<UserSettingsLocation> userSettingsLocationFor(
    std::wstring_view appDataFolder, std::wstring_view productName, std::wstring_view productCode,
    std::wstring_view executablePath);
