// The settings texts of one executable as the settings model asks for them:
// its settings file alone, that file over the embedded layer, and the
// per-user settings file under APPDATA.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/layered_settings_store.h"
#include "config/memory_settings_store.h"
#include "config/settings_model.h"
#include "config/settings_store.h"

class SettingsFilesSource : public SettingsTextSource {
public:
    SettingsFilesSource(std::wstring executablePath, std::wstring settingsFile,
                        MemorySettingsStore embeddedLayer);

    std::wstring readFileSetting(std::wstring_view section, std::wstring_view key) override;
    std::wstring readLayeredSetting(std::wstring_view section, std::wstring_view key) override;
    // The per-user file is only looked at, never created: its folders come
    // into being when a chosen runtime is stored.
    std::optional<std::wstring> readUserSetting(std::wstring_view productName,
                                                std::wstring_view productCode,
                                                std::wstring_view section,
                                                std::wstring_view key) override;

private:
    std::wstring executablePath_;
    IniSettingsStore file_;
    LayeredSettingsStore layered_;
};
