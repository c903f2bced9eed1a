// The INI file a product builds in as the embedded settings layer: kept in
// an encoding the launcher reads (UTF-8 with or without its byte-order mark,
// or UTF-16LE with one), its sections and keys checked against the ones the
// settings model reads.
#pragma once

#include <string>
#include <vector>

#include "brand/bytes.h"

struct SettingsLayer {
    Bytes bytes;                        // what goes into RCDATA SETTINGS
    std::vector<std::string> warnings;  // one line each, for the user
};

// Refuses big-endian UTF-16 (the launcher reads nothing from it) and text
// that is not valid in its encoding.
SettingsLayer prepareSettingsLayer(ByteView file);
