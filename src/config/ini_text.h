// Reading settings text in INI syntax, the form of the embedded settings block.
#pragma once

#include <string_view>

#include "config/memory_settings_store.h"

// Lines end at CR LF only (a lone LF stays inside its line); a byte-order mark
// at the start is dropped. "[name]" opens a section whose name is kept exactly
// as written between the brackets; "key = value" lines add a pair, both sides
// trimmed. Lines before the first section and lines without "=" are ignored.
MemorySettingsStore parseIniText(std::wstring_view text);
