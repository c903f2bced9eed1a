#include "config/layered_settings_store.h"

std::wstring LayeredSettingsStore::readSetting(std::wstring_view section,
                                               std::wstring_view key) const
{
    std::wstring fileValue = IniSettingsStore::readSetting(section, key);
    if (!fileValue.empty()) {
        return fileValue;
    }
    std::wstring value = layer_.readSetting(section, key);
    std::wstring plusSection(section);
    plusSection += L'+';
    std::wstring addition = IniSettingsStore::readSetting(plusSection, key);
    if (!addition.empty()) {
        // The addition is set off by one blank unless it brings its own, even
        // when there is no embedded value to set it off from.
        if (addition.front() != L' ') {
            value += L' ';
        }
        value += addition;
    }
    return value;
}
