// The images of an icon: read from a .ico file (bitmap and PNG entries alike)
// or from one PNG picture, and written as the RT_ICON resources and the
// RT_GROUP_ICON directory that Explorer, the taskbar and LoadImageW read.
#pragma once

#include <cstdint>
#include <vector>

#include "brand/bytes.h"
#include "brand/resource_tree.h"

struct IconImage {
    std::uint8_t width = 0;   // 0 stands for 256
    std::uint8_t height = 0;  // 0 stands for 256
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    Bytes bytes;  // a DIB (header, colours, XOR and AND masks) or a whole PNG file
};

bool isPngPicture(ByteView bytes);

// The images of a .ico file, in its order. Refuses a file whose header or
// count does not match its directory, an entry beyond the end of the file,
// or an entry that is neither a bitmap of an icon's depth nor a PNG.
std::vector<IconImage> readIconFile(ByteView file);

// A PNG picture of at most 256 by 256 pixels as a one-image icon, the PNG
// kept as it is (icons hold PNG entries since Windows Vista).
std::vector<IconImage> readPngIcon(ByteView file);

// Replaces the images of the launcher's icon group (the first RT_GROUP_ICON,
// keeping its name and language) with these; the RT_ICON entries the old
// group listed are removed and the new ones numbered from 1, past any other.
void replaceIconGroup(ResourceTree& tree, const std::vector<IconImage>& images);

// The images an RT_GROUP_ICON lists, with the bytes of their RT_ICON entries;
// refuses a directory that does not fit or names a missing image.
std::vector<IconImage> readIconGroup(const ResourceTree& tree, const ResourceName& group,
                                     std::uint16_t language);
