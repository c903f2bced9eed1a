// What one branding writes into a copy of the launcher, and the rewrite
// itself: the launcher's resources read, the requested ones replaced, the
// resource section laid out again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "brand/bytes.h"
#include "brand/icon_images.h"
#include "brand/message_table.h"
#include "brand/version_info.h"

struct BrandingRequest {
    std::optional<std::vector<IconImage>> icon;
    // The fixed part and strings; its language is the branding's language.
    std::optional<VersionInfo> version;
    std::optional<Messages> messages;
    std::optional<Bytes> settings;  // the INI file's bytes, already checked
    std::optional<std::string> executionLevel;
    // The language the version information and the messages are written in;
    // without one, 1033 (English, United States) when messages are given,
    // else the language of the launcher's own messages.
    std::optional<std::uint16_t> language;
};

// The branded launcher. Refuses a launcher that is not a PE image, is signed,
// or whose resources cannot be read, and a request that does not fit it.
Bytes brandLauncher(ByteView launcher, BrandingRequest request);

// The language a request is written in for this launcher's resources.
std::uint16_t brandingLanguage(const BrandingRequest& request, const ResourceTree& tree);

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;
