#include "brand/icon_images.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

constexpr std::uint64_t kIconHeaderSize = 6;
constexpr std::uint64_t kIconFileEntrySize = 16;
constexpr std::uint64_t kGroupEntrySize = 14;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t readBigEndianDword(ByteView bytes, std::uint64_t offset, const char* what)
{
    ByteView four = readSpan(bytes, offset, 4, what);
    return (std::uint32_t{four[0]} << 24) | (std::uint32_t{four[1]} << 16) |
           (std::uint32_t{four[2]} << 8) | four[3];
}

struct PngSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

PngSize readPngSize(ByteView png, const std::string& what)
{
    // The signature, then the IHDR chunk: length, "IHDR", width, height.
    ByteView type = readSpan(png, 12, 4, "the PNG header");
    if (!std::equal(type.begin(), type.end(), "IHDR")) {
        throw RefusedInput(what + " is a PNG without its IHDR header");
    }
    return {readBigEndianDword(png, 16, "the PNG header"), readBigEndianDword(png, 20, "the PNG header")};
}

// Fills what a .ico directory may leave at zero from the image itself.
void completeFromImage(IconImage& image, const std::string& what)
{
    if (isPngPicture(image.bytes)) {
        readPngSize(image.bytes, what);
        if (image.bitCount == 0) {
            image.bitCount = 32;
        }
    } else {
        if (readDword(image.bytes, 0, what.c_str()) != kBitmapInfoHeaderSize) {
            throw RefusedInput(what + " is neither a bitmap nor a PNG");
        }
        // Windows draws no icon from a bitmap of any other depth (a zero
        // depth means JPEG or PNG data, which an icon's bitmap cannot hold).
        std::uint16_t depth = readWord(image.bytes, 14, what.c_str());
        if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
            throw RefusedInput(what + " is a bitmap of " + std::to_string(depth) +
                               " bits a pixel; an icon's bitmap has 1, 4, 8, 16, 24 or 32");
        }
        if (image.bitCount == 0) {
            image.bitCount = depth;
        }
    }
    if (image.planes == 0) {
        image.planes = 1;
    }
}

std::set<std::uint16_t> iconIdsOfGroup(const ResourceData& group)
{
    std::set<std::uint16_t> ids;
    ByteView bytes(group.bytes);
    if (bytes.size() < kIconHeaderSize) {
        return ids;
    }
    std::uint16_t count = readWord(bytes, 4, "the icon group");
    for (std::uint16_t index = 0; index < count; ++index) {
        std::uint64_t entry = kIconHeaderSize + index * kGroupEntrySize;
        if (!fitsWithin(entry, kGroupEntrySize, bytes.size())) {
            break;
        }
        ids.insert(readWord(bytes, entry + 12, "the icon group"));
    }
    return ids;
}

}  // namespace

bool isPngPicture(ByteView bytes)
{
    return bytes.size() >= sizeof kPngSignature &&
           std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin());
}

std::vector<IconImage> readIconFile(ByteView file)
{
    if (file.size() < kIconHeaderSize || readWord(file, 0, "the icon header") != 0 ||
        readWord(file, 2, "the icon header") != 1) {
        throw RefusedInput("the icon file is not a .ico file (header)");
    }
    std::uint16_t count = readWord(file, 4, "the icon header");
    if (count == 0) {
        throw RefusedInput("the icon file holds no image");
    }
    if (!fitsWithin(kIconHeaderSize, count * kIconFileEntrySize, file.size())) {
        throw RefusedInput("the icon file's count (" + std::to_string(count) +
                           ") does not fit its directory");
    }
    std::vector<IconImage> images;
    for (std::uint16_t index = 0; index < count; ++index) {
        std::uint64_t entry = kIconHeaderSize + index * kIconFileEntrySize;
        std::string what = "icon image " + std::to_string(index + 1);
        IconImage image;
        image.width = file[entry];
        image.height = file[entry + 1];
        image.colorCount = file[entry + 2];
        image.planes = readWord(file, entry + 4, "the icon directory");
        image.bitCount = readWord(file, entry + 6, "the icon directory");
        std::uint32_t size = readDword(file, entry + 8, "the icon directory");
        std::uint32_t offset = readDword(file, entry + 12, "the icon directory");
        if (size == 0 || !fitsWithin(offset, size, file.size())) {
            throw RefusedInput(what + " lies beyond the end of the icon file");
        }
        if (offset < kIconHeaderSize + count * kIconFileEntrySize) {
            throw RefusedInput(what + " overlaps the icon file's directory");
        }
        ByteView bytes = file.subspan(offset, size);
        image.bytes.assign(bytes.begin(), bytes.end());
        completeFromImage(image, what);
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<IconImage> readPngIcon(ByteView file)
{
    if (!isPngPicture(file)) {
        throw RefusedInput("the icon picture is not a PNG file");
    }
    PngSize size = readPngSize(file, "the icon picture");
    if (size.width == 0 || size.height == 0 || size.width > 256 || size.height > 256) {
        throw RefusedInput("the icon picture is " + std::to_string(size.width) + "x" +
                           std::to_string(size.height) + " pixels; an icon holds at most 256x256");
    }
    IconImage image;
    image.width = static_cast<std::uint8_t>(size.width & 0xFF);
    image.height = static_cast<std::uint8_t>(size.height & 0xFF);
    image.planes = 1;
    image.bitCount = 32;
    image.bytes.assign(file.begin(), file.end());
    return {image};
}

void replaceIconGroup(ResourceTree& tree, const std::vector<IconImage>& images)
{
    ResourceNames& groups = tree[ResourceName::number(resource_type::groupIcon)];
    ResourceNames& icons = tree[ResourceName::number(resource_type::icon)];
    ResourceName groupName = ResourceName::number(1);
    std::uint16_t language = 0;
    if (!groups.empty() && !groups.begin()->second.empty()) {
        groupName = groups.begin()->first;
        ResourceLanguages& languages = groups.begin()->second;
        language = languages.begin()->first;
        for (const auto& [oldLanguage, group] : languages) {
            for (std::uint16_t id : iconIdsOfGroup(group)) {
                icons.erase(ResourceName::number(id));
            }
        }
    }
    std::uint16_t nextId = 1;
    Bytes group;
    appendWord(group, 0);
    appendWord(group, 1);
    appendWord(group, static_cast<std::uint16_t>(images.size()));
    for (const IconImage& image : images) {
        while (icons.contains(ResourceName::number(nextId))) {
            ++nextId;
        }
        group.push_back(image.width);
        group.push_back(image.height);
        group.push_back(image.colorCount);
        group.push_back(0);
        appendWord(group, image.planes);
        appendWord(group, image.bitCount);
        appendDword(group, static_cast<std::uint32_t>(image.bytes.size()));
        appendWord(group, nextId);
        icons[ResourceName::number(nextId)][language] = {image.bytes, 0};
        ++nextId;
    }
    groups[groupName] = {{language, {group, 0}}};
}

std::vector<IconImage> readIconGroup(const ResourceTree& tree, const ResourceName& groupName,
                                     std::uint16_t language)
{
    auto findData = [&](std::uint16_t type, const ResourceName& name) -> const ResourceData& {
        auto names = tree.find(ResourceName::number(type));
        if (names != tree.end()) {
            auto languages = names->second.find(name);
            if (languages != names->second.end() && languages->second.contains(language)) {
                return languages->second.at(language);
            }
        }
        throw RefusedInput("the icon resource " + describe(name) + " is missing");
    };
    ByteView group(findData(resource_type::groupIcon, groupName).bytes);
    std::uint16_t count = readWord(group, 4, "the icon group");
    std::vector<IconImage> images;
    for (std::uint16_t index = 0; index < count; ++index) {
        std::uint64_t entry = kIconHeaderSize + index * kGroupEntrySize;
        IconImage image;
        image.width = readByte(group, entry, "the icon group");
        image.height = readByte(group, entry + 1, "the icon group");
        image.colorCount = readByte(group, entry + 2, "the icon group");
        image.planes = readWord(group, entry + 4, "the icon group");
        image.bitCount = readWord(group, entry + 6, "the icon group");
        std::uint16_t id = readWord(group, entry + 12, "the icon group");
        image.bytes = findData(resource_type::icon, ResourceName::number(id)).bytes;
        if (image.bytes.size() != readDword(group, entry + 8, "the icon group")) {
            throw RefusedInput("the icon group gives the wrong size for image " + std::to_string(id));
        }
        images.push_back(std::move(image));
    }
    return images;
}
