// Turning the texts of the settings files into LauncherSettings, in the order
// the launcher reads them. Where the texts come from is the caller's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/launcher_settings.h"

// The three ways a setting's text is read.
class SettingsTextSource {
public:
    virtual ~SettingsTextSource() = default;

    // A key of the settings file alone: no embedded layer, no "+" section.
    virtual std::wstring readFileSetting(std::wstring_view section, std::wstring_view key) = 0;

    // A key of the settings file over the embedded layer, with "+" sections.
    virtual std::wstring readLayeredSetting(std::wstring_view section, std::wstring_view key) = 0;

    // A key of the per-user settings file of this product; nothing when that
    // file does not exist.
    virtual std::optional<std::wstring> readUserSetting(std::wstring_view productName,
                                                        std::wstring_view productCode,
                                                        std::wstring_view section,
                                                        std::wstring_view key) = 0;

protected:
    SettingsTextSource() = default;
    SettingsTextSource(const SettingsTextSource&) = default;
    SettingsTextSource& operator=(const SettingsTextSource&) = default;
};

enum class SettingsOutcome {
    complete,
    mainClassMissing,  // "Main Class" is empty; the keys after it were not read
};

// Reads every start-up key from the source into settings. executableFolder
// is the executable's path cut before its last backslash; a relative "JRE
// Path" is put under it.
[[nodiscard]] SettingsOutcome fillLauncherSettings(SettingsTextSource& source,
                                                   std::wstring_view executableFolder,
                                                   LauncherSettings& settings);
