#include "config/layered_settings_store.h"

#include "support/diagnostic_trace.h"

namespace {

// The effective value of a key and the layer it came from.
void traceLayeredValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                       std::wstring_view layer)
{
    if (value.empty()) {
        traceLine({L"setting [", section, L"] ", key, L": not set"});
    } else {
        traceLine({L"setting [", section, L"] ", key, L" = \"", value, L"\" (", layer, L")"});
    }
}

}  // namespace

std::wstring LayeredSettingsStore::readSetting(std::wstring_view section,
                                               std::wstring_view key) const
{
    std::wstring fileValue = IniSettingsStore::readSetting(section, key);
    if (!fileValue.empty()) {
        traceLayeredValue(section, key, fileValue, L"settings file");
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
        traceLayeredValue(section, key, value, L"embedded, with the \"+\" section's addition");
        return value;
    }
    traceLayeredValue(section, key, value, L"embedded");
    return value;
}
