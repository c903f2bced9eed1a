#include "config/settings_files_source.h"

#include <windows.h>

#include <utility>

#include "config/settings_paths.h"
#include "support/diagnostic_trace.h"
#include "support/long_path.h"

namespace {

bool isExistingFile(const std::wstring& path)
{
    std::optional<std::wstring> systemPath = toSystemPath(path);
    if (!systemPath) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(systemPath->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

SettingsFilesSource::SettingsFilesSource(std::wstring executablePath, std::wstring settingsFile,
                                         MemorySettingsStore embeddedLayer)
    : executablePath_(std::move(executablePath)),
      file_(settingsFile),
      layered_(std::move(settingsFile), std::move(embeddedLayer))
{
}

std::wstring SettingsFilesSource::readFileSetting(std::wstring_view section, std::wstring_view key)
{
    std::wstring value = file_.readSetting(section, key);
    if (value.empty()) {
        traceLine({L"setting [", section, L"] ", key, L": not set"});
    } else {
        traceLine({L"setting [", section, L"] ", key, L" = \"", value, L"\" (settings file)"});
    }
    return value;
}

std::wstring SettingsFilesSource::readLayeredSetting(std::wstring_view section,
                                                     std::wstring_view key)
{
    return layered_.readSetting(section, key);
}

std::optional<std::wstring> SettingsFilesSource::readUserSetting(std::wstring_view productName,
                                                                 std::wstring_view productCode,
                                                                 std::wstring_view section,
                                                                 std::wstring_view key)
{
    std::optional<std::wstring> userFilePath =
        userSettingsFilePathFor(executablePath_, productName, productCode, false);
    if (!userFilePath) {
        traceLine({L"per-user settings file: none, APPDATA is not an absolute path"});
        return std::nullopt;
    }
    const std::wstring& userFile = *userFilePath;
    if (!isExistingFile(userFile)) {
        traceLine({L"per-user settings file ", userFile, L": absent"});
        return std::nullopt;
    }
    std::wstring value = IniSettingsStore(userFile).readSetting(section, key);
    traceLine({L"per-user settings file ", userFile, L": found; [", section, L"] ", key, L" = \"",
               value, L"\" (per user, hides the other layers)"});
    return value;
}
