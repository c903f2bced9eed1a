// The settings a product may build into its executable: an RCDATA resource
// named SETTINGS holding INI text, the layer under the settings file.
#pragma once

#include <windows.h>

#include <string>

#include "config/layered_settings_store.h"
#include "config/memory_settings_store.h"

// The SETTINGS resource of the module parsed as INI text (UTF-8 with or
// without a byte-order mark, or UTF-16LE with one). A module without the
// resource, or with a block in another encoding, gives an empty layer.
MemorySettingsStore readEmbeddedSettings(HMODULE module);

// The layered reader every setting outside "Product Information" and
// "Display" goes through: the settings file over the executable's own
// embedded settings.
LayeredSettingsStore openLayeredSettings(std::wstring settingsFile);
