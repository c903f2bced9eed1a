#include "brand_test_image.h"

#include <array>

#include "brand/version_info.h"

const char kTestManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\"><security><requestedPrivileges>\n"
    "    <requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>\n"
    "  </requestedPrivileges></security></trustInfo>\n"
    "</assembly>\n";

namespace {

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;

std::uint32_t crc32(const Bytes& bytes, std::size_t from)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t index = from; index < bytes.size(); ++index) {
        crc ^= bytes[index];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

void appendBigEndian(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendChunk(Bytes& png, const char* type, const Bytes& data)
{
    appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    appendBigEndian(png, crc32(png, start));
}

// A 32-bit DIB icon image: header, XOR pixels, AND mask.
Bytes bitmapIconImage(std::uint32_t size)
{
    Bytes image;
    appendDword(image, 40);
    appendDword(image, size);
    appendDword(image, size * 2);
    appendWord(image, 1);
    appendWord(image, 32);
    for (int field = 0; field < 6; ++field) {
        appendDword(image, 0);
    }
    for (std::uint32_t pixel = 0; pixel < size * size; ++pixel) {
        appendDword(image, 0xFF2060A0);
    }
    image.resize(image.size() + size * 4, 0);  // the AND mask, rows of 32 bits
    return image;
}

Bytes stringBlock(const Messages& messages, std::uint16_t block)
{
    Bytes bytes;
    for (std::uint16_t index = 0; index < 16; ++index) {
        auto found = messages.find(static_cast<std::uint16_t>((block - 1) * 16 + index));
        std::u16string text = found == messages.end() ? u"" : found->second;
        appendWord(bytes, static_cast<std::uint16_t>(text.size()));
        appendUtf16(bytes, text);
    }
    return bytes;
}

void writeSectionHeader(Bytes& image, std::size_t at, const char* name, std::uint32_t virtualSize,
                        std::uint32_t address, std::uint32_t rawSize, std::uint32_t rawOffset,
                        std::uint32_t characteristics)
{
    for (int index = 0; index < 8 && name[index]; ++index) {
        image[at + index] = static_cast<std::uint8_t>(name[index]);
    }
    writeDwordAt(image, at + 8, virtualSize);
    writeDwordAt(image, at + 12, address);
    writeDwordAt(image, at + 16, rawSize);
    writeDwordAt(image, at + 20, rawOffset);
    writeDwordAt(image, at + 36, characteristics);
}

}  // namespace

Messages testLauncherMessages()
{
    Messages messages;
    for (std::uint16_t id = kFirstMessageId; id <= kLastMessageId; ++id) {
        std::string text = "Meldung " + std::to_string(id);
        if (id == 202 || id == 204 || id == 222 || id == 231) {
            text += ": %s (Fehlernummer = %d).\n";
        } else if (id == 203 || id == 221) {
            text += " %s und %s";
        } else if (id == 205 || id == 206 || id == 207 || id == 211 || id == 215 || (id >= 218 && id <= 220)) {
            text += " %s";
        }
        messages[id] = utf16FromUtf8(text, "test");
    }
    return messages;
}

ResourceTree testLauncherResources()
{
    ResourceTree tree;
    Bytes icon = bitmapIconImage(32);
    Bytes group;
    for (std::uint16_t word : {0, 1, 1}) {
        appendWord(group, word);
    }
    group.insert(group.end(), {32, 32, 0, 0});
    appendWord(group, 1);
    appendWord(group, 32);
    appendDword(group, static_cast<std::uint32_t>(icon.size()));
    appendWord(group, 1);
    tree[ResourceName::number(resource_type::icon)][ResourceName::number(1)][0] = {icon, 0};
    tree[ResourceName::number(resource_type::groupIcon)][ResourceName::number(1)][0] = {group, 0};
    VersionInfo version;
    version.language = 0x0407;
    version.strings[u"ProductName"] = u"Tarvo";
    tree[ResourceName::number(resource_type::version)][ResourceName::number(1)][0] = {
        buildVersionResource(version), 0};
    Messages messages = testLauncherMessages();
    for (std::uint16_t block = 13; block <= 15; ++block) {
        tree[ResourceName::number(resource_type::string)][ResourceName::number(block)][0x0407] = {
            stringBlock(messages, block), 0};
    }
    tree[ResourceName::number(5)][ResourceName::number(201)][0x0407] = {Bytes{1, 2, 3, 4, 5}, 0};
    std::string manifest = kTestManifest;
    tree[ResourceName::number(resource_type::manifest)][ResourceName::number(1)][0] = {
        Bytes(manifest.begin(), manifest.end()), 0};
    return tree;
}

Bytes testLauncherImage(bool isPe32Plus, bool resourcesLast)
{
    return testImage(testLauncherResources(), isPe32Plus, resourcesLast);
}

Bytes testImage(const ResourceTree& tree, bool isPe32Plus, bool resourcesLast)
{
    const std::uint32_t optionalSize = isPe32Plus ? 240 : 224;
    const std::uint32_t sectionCount = resourcesLast ? 2 : 3;
    Bytes image(kFileAlignment, 0);
    image[0] = 'M';
    image[1] = 'Z';
    writeDwordAt(image, 0x3C, 0x40);
    writeDwordAt(image, 0x40, 0x00004550);
    const std::size_t fileHeader = 0x44;
    writeWordAt(image, fileHeader, isPe32Plus ? 0x8664 : 0x014C);
    writeWordAt(image, fileHeader + 2, static_cast<std::uint16_t>(sectionCount));
    writeWordAt(image, fileHeader + 16, static_cast<std::uint16_t>(optionalSize));
    writeWordAt(image, fileHeader + 18, 0x0022);
    const std::size_t optional = fileHeader + 20;
    writeWordAt(image, optional, isPe32Plus ? 0x20B : 0x10B);
    writeDwordAt(image, optional + 32, kSectionAlignment);
    writeDwordAt(image, optional + 36, kFileAlignment);
    writeWordAt(image, optional + 40, 6);  // operating system version
    writeWordAt(image, optional + 48, 6);  // subsystem version
    writeDwordAt(image, optional + 60, kFileAlignment);
    writeWordAt(image, optional + 68, 2);  // Windows GUI
    const std::size_t directoryCount = optional + (isPe32Plus ? 108 : 92);
    writeDwordAt(image, directoryCount, 16);

    // The code section: one "ret".
    Bytes code(kFileAlignment, 0);
    code[0] = 0xC3;
    const std::size_t sections = optional + optionalSize;
    writeSectionHeader(image, sections, ".text", 1, 0x1000, kFileAlignment, kFileAlignment, 0x60000020);
    image.insert(image.end(), code.begin(), code.end());

    const std::uint32_t resourceAddress = 0x2000;
    Bytes resources = layOutResourceSection(tree, resourceAddress);
    const auto resourceSize = static_cast<std::uint32_t>(resources.size());
    std::uint32_t resourceRaw = static_cast<std::uint32_t>(alignUp(resources.size(), kFileAlignment));
    writeSectionHeader(image, sections + 40, ".rsrc", static_cast<std::uint32_t>(resources.size()),
                       resourceAddress, resourceRaw, static_cast<std::uint32_t>(image.size()), 0x40000040);
    resources.resize(resourceRaw, 0);
    image.insert(image.end(), resources.begin(), resources.end());
    std::uint32_t end = static_cast<std::uint32_t>(resourceAddress + alignUp(resourceRaw, kSectionAlignment));
    if (!resourcesLast) {
        writeSectionHeader(image, sections + 80, ".reloc", 8, end, kFileAlignment,
                           static_cast<std::uint32_t>(image.size()), 0x42000040);
        image.resize(image.size() + kFileAlignment, 0);
        end += kSectionAlignment;
    }
    writeDwordAt(image, optional + 56, end);  // SizeOfImage
    writeDwordAt(image, optional + 8, resourceRaw + (resourcesLast ? 0 : kFileAlignment));
    const std::size_t resourceEntry = directoryCount + 4 + 8 * 2;
    writeDwordAt(image, resourceEntry, resourceAddress);
    writeDwordAt(image, resourceEntry + 4, resourceSize);
    return image;
}

Bytes testPngPicture(std::uint32_t width, std::uint32_t height)
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    appendChunk(png, "IHDR", header);
    // No IDAT: the readers look at the header only.
    appendChunk(png, "IEND", {});
    return png;
}

Bytes testIconFile()
{
    Bytes small = bitmapIconImage(16);
    Bytes large = testPngPicture(256, 256);
    Bytes file;
    appendWord(file, 0);
    appendWord(file, 1);
    appendWord(file, 2);
    std::uint32_t offset = 6 + 2 * 16;
    file.insert(file.end(), {16, 16, 0, 0});
    appendWord(file, 1);
    appendWord(file, 32);
    appendDword(file, static_cast<std::uint32_t>(small.size()));
    appendDword(file, offset);
    file.insert(file.end(), {0, 0, 0, 0});
    appendWord(file, 0);  // planes and bit count left for the reader to find
    appendWord(file, 0);
    appendDword(file, static_cast<std::uint32_t>(large.size()));
    appendDword(file, offset + static_cast<std::uint32_t>(small.size()));
    file.insert(file.end(), small.begin(), small.end());
    file.insert(file.end(), large.begin(), large.end());
    return file;
}
