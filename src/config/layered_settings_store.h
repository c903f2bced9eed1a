// The settings file over an embedded layer of settings, with "+" sections.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "config/memory_settings_store.h"
#include "config/settings_store.h"

// Reads a key from the file first; the embedded layer gives the value only when
// the file has none. A section named like the one read with a "+" after it
// (Java Runtime Environment+) adds its value to the embedded one instead of
// replacing it. Without embedded settings the layer is empty.
class LayeredSettingsStore : public IniSettingsStore {
public:
    explicit LayeredSettingsStore(std::wstring filePath, MemorySettingsStore layer = {})
        : IniSettingsStore(std::move(filePath)), layer_(std::move(layer))
    {
    }

    std::wstring readSetting(std::wstring_view section, std::wstring_view key) const override;

private:
    MemorySettingsStore layer_;
};
