// The version information Explorer's Properties and the Task Manager show: a
// VS_VERSIONINFO block with its fixed part, one StringFileInfo table and the
// VarFileInfo translation that points at it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "brand/bytes.h"

using VersionNumber = std::array<std::uint16_t, 4>;

struct VersionInfo {
    VersionNumber fileVersion{};
    VersionNumber productVersion{};
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 1200;  // the strings are UTF-16
    // CompanyName, FileDescription, ... in the order they are written.
    std::map<std::u16string, std::u16string> strings;
};

// "2", "2.1", "2.1.0" or "2.1.0.7", each part 0 to 65535; missing parts are 0.
std::optional<VersionNumber> parseVersionNumber(std::string_view text);

Bytes buildVersionResource(const VersionInfo& info);

// Reads a block back (the fixed versions, the first string table and its
// translation); refuses one that does not fit.
VersionInfo readVersionResource(ByteView block);
