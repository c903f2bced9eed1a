// Small inputs for the branding tests, made in memory: a PE image shaped like
// the launcher's (headers, a code section and a resource section holding an
// icon group, version information, German-style string table blocks, a
// dialog and a manifest), a .ico file and a PNG picture.
#pragma once

#include <cstdint>
#include <string>

#include "brand/bytes.h"
#include "brand/message_table.h"
#include "brand/resource_tree.h"

// The messages the test launcher holds: every id with the placeholders of
// the launcher's texts.
Messages testLauncherMessages();

// The resources of the test launcher.
ResourceTree testLauncherResources();

// A PE32+ (or PE32) image with the resources as its last section, or with a
// section after it when resourcesLast is false.
Bytes testLauncherImage(bool isPe32Plus = true, bool resourcesLast = true);

// A PE image as above holding these resources.
Bytes testImage(const ResourceTree& tree, bool isPe32Plus, bool resourcesLast);

// A .ico file with a 16x16 32-bit bitmap entry and a 256x256 PNG entry.
Bytes testIconFile();

// A PNG picture of the size, one colour.
Bytes testPngPicture(std::uint32_t width, std::uint32_t height);

// The manifest of the test launcher.
extern const char kTestManifest[];
