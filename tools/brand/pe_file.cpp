#include "brand/pe_file.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSecurityDirectoryIndex = 4;
// Initialized data, readable: what a resource section is.
constexpr std::uint32_t kResourceCharacteristics = 0x40000040;

// Offsets within the optional header; the two formats differ from the data
// directory count on.
constexpr std::uint64_t kSizeOfInitializedDataField = 8;
constexpr std::uint64_t kSectionAlignmentField = 32;
constexpr std::uint64_t kFileAlignmentField = 36;
constexpr std::uint64_t kSizeOfImageField = 56;
constexpr std::uint64_t kSizeOfHeadersField = 60;
constexpr std::uint64_t kChecksumField = 64;

std::uint64_t dataDirectoryCountField(bool isPe32Plus) { return isPe32Plus ? 108 : 92; }

std::uint64_t dataDirectoryOffset(const PeLayout& layout, std::uint32_t index)
{
    return layout.optionalHeaderOffset + dataDirectoryCountField(layout.isPe32Plus) + 4 + 8 * index;
}

std::uint32_t sectionExtent(const PeSection& section)
{
    return section.virtualSize != 0 ? section.virtualSize : section.rawSize;
}

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

PeLayout readPeLayout(ByteView file)
{
    if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z') {
        throw RefusedInput("not a PE image (no MZ header)");
    }
    PeLayout layout;
    std::uint32_t peOffset = readDword(file, 0x3C, "the PE header");
    if (readDword(file, peOffset, "the PE header") != 0x00004550) {
        throw RefusedInput("not a PE image (no PE signature)");
    }
    layout.fileHeaderOffset = std::uint64_t{peOffset} + 4;
    layout.machine = readWord(file, layout.fileHeaderOffset, "the COFF header");
    std::uint16_t sectionCount = readWord(file, layout.fileHeaderOffset + 2, "the COFF header");
    std::uint16_t optionalSize = readWord(file, layout.fileHeaderOffset + 16, "the COFF header");
    layout.optionalHeaderOffset = layout.fileHeaderOffset + 20;
    std::uint16_t magic = readWord(file, layout.optionalHeaderOffset, "the optional header");
    if (magic != kPe32Magic && magic != kPe32PlusMagic) {
        throw RefusedInput("not a PE32 or PE32+ image (optional header magic)");
    }
    layout.isPe32Plus = magic == kPe32PlusMagic;
    std::uint64_t countField = dataDirectoryCountField(layout.isPe32Plus);
    if (optionalSize < countField + 4) {
        throw RefusedInput("the optional header is too short");
    }
    readSpan(file, layout.optionalHeaderOffset, optionalSize, "the optional header");
    const std::uint64_t optional = layout.optionalHeaderOffset;
    layout.sectionAlignment = readDword(file, optional + kSectionAlignmentField, "the optional header");
    layout.fileAlignment = readDword(file, optional + kFileAlignmentField, "the optional header");
    layout.sizeOfHeaders = readDword(file, optional + kSizeOfHeadersField, "the optional header");
    layout.dataDirectoryCount = readDword(file, optional + countField, "the optional header");
    if (!isPowerOfTwo(layout.fileAlignment) || !isPowerOfTwo(layout.sectionAlignment)) {
        throw RefusedInput("the optional header has an alignment that is not a power of two");
    }
    // Only the directories the optional header holds count.
    std::uint32_t room = static_cast<std::uint32_t>((optionalSize - countField - 4) / 8);
    layout.dataDirectoryCount = std::min(layout.dataDirectoryCount, room);
    if (layout.dataDirectoryCount > kResourceDirectoryIndex) {
        std::uint64_t entry = dataDirectoryOffset(layout, kResourceDirectoryIndex);
        layout.resources = {readDword(file, entry, "the data directory"),
                            readDword(file, entry + 4, "the data directory")};
    }
    if (layout.dataDirectoryCount > kSecurityDirectoryIndex) {
        std::uint64_t entry = dataDirectoryOffset(layout, kSecurityDirectoryIndex);
        layout.security = {readDword(file, entry, "the data directory"),
                           readDword(file, entry + 4, "the data directory")};
    }
    layout.sectionTableOffset = optional + optionalSize;
    readSpan(file, layout.sectionTableOffset, std::uint64_t{sectionCount} * kSectionHeaderSize,
             "the section table");
    for (std::uint16_t index = 0; index < sectionCount; ++index) {
        std::uint64_t header = layout.sectionTableOffset + std::uint64_t{index} * kSectionHeaderSize;
        PeSection section;
        for (std::uint64_t at = header; at < header + 8 && file[at] != 0; ++at) {
            section.name += static_cast<char>(file[at]);
        }
        section.virtualSize = readDword(file, header + 8, "the section table");
        section.virtualAddress = readDword(file, header + 12, "the section table");
        section.rawSize = readDword(file, header + 16, "the section table");
        section.rawOffset = readDword(file, header + 20, "the section table");
        section.characteristics = readDword(file, header + 36, "the section table");
        if (section.rawSize != 0 && !fitsWithin(section.rawOffset, section.rawSize, file.size())) {
            throw RefusedInput("section " + section.name + " lies beyond the end of the file (truncated?)");
        }
        layout.sections.push_back(section);
    }
    return layout;
}

bool isSigned(const PeLayout& layout)
{
    return layout.security.address != 0 || layout.security.size != 0;
}

std::optional<std::size_t> sectionOfRva(const PeLayout& layout, std::uint32_t rva)
{
    for (std::size_t index = 0; index < layout.sections.size(); ++index) {
        const PeSection& section = layout.sections[index];
        if (rva >= section.virtualAddress && rva - section.virtualAddress < sectionExtent(section)) {
            return index;
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> fileOffsetOfRva(const PeLayout& layout, ByteView file,
                                             std::uint32_t rva, std::uint32_t length)
{
    std::optional<std::size_t> index = sectionOfRva(layout, rva);
    if (!index) {
        return std::nullopt;
    }
    const PeSection& section = layout.sections[*index];
    std::uint64_t within = rva - section.virtualAddress;
    if (!fitsWithin(within, length, section.rawSize)) {
        return std::nullopt;
    }
    std::uint64_t offset = section.rawOffset + within;
    if (!fitsWithin(offset, length, file.size())) {
        return std::nullopt;
    }
    return offset;
}

ResourcePlacement placeResourceSection(ByteView file, const PeLayout& layout)
{
    if (layout.dataDirectoryCount <= kResourceDirectoryIndex) {
        throw RefusedInput("the optional header has no resource directory entry");
    }
    ResourcePlacement placement;
    std::uint64_t endOfImage = 0;
    std::size_t lastSection = 0;
    for (std::size_t index = 0; index < layout.sections.size(); ++index) {
        const PeSection& section = layout.sections[index];
        std::uint64_t end = std::uint64_t{section.virtualAddress} + sectionExtent(section);
        if (end >= endOfImage) {
            endOfImage = end;
            lastSection = index;
        }
    }
    std::optional<std::size_t> resourceSection;
    if (layout.resources.size != 0) {
        resourceSection = sectionOfRva(layout, layout.resources.address);
    }
    // The old section is written over only when nothing follows it, neither
    // in memory nor in the file (a symbol table, say).
    if (resourceSection && *resourceSection == lastSection &&
        layout.resources.address == layout.sections[lastSection].virtualAddress) {
        const PeSection& old = layout.sections[lastSection];
        if (std::uint64_t{old.rawOffset} + old.rawSize >= file.size()) {
            placement.virtualAddress = old.virtualAddress;
            placement.rawOffset = old.rawOffset;
            placement.replacedSection = lastSection;
            return placement;
        }
    }
    std::uint64_t tableEnd =
        layout.sectionTableOffset + (layout.sections.size() + 1) * std::uint64_t{kSectionHeaderSize};
    std::uint64_t firstRaw = layout.sizeOfHeaders;
    for (const PeSection& section : layout.sections) {
        if (section.rawSize != 0) {
            firstRaw = std::min<std::uint64_t>(firstRaw, section.rawOffset);
        }
    }
    if (tableEnd > firstRaw || layout.sections.size() >= 0xFFFF) {
        throw RefusedInput("the headers have no room for another section");
    }
    std::uint64_t address = alignUp(endOfImage, layout.sectionAlignment);
    std::uint64_t raw = alignUp(file.size(), layout.fileAlignment);
    if (address > 0x7FFFFFFF || raw > 0x7FFFFFFF) {
        throw RefusedInput("the image is too large to take another section");
    }
    placement.virtualAddress = static_cast<std::uint32_t>(address);
    placement.rawOffset = static_cast<std::uint32_t>(raw);
    return placement;
}

Bytes writeResourceSection(ByteView file, const PeLayout& layout, const ResourcePlacement& placement,
                           const Bytes& section)
{
    Bytes result(file.begin(), file.end());
    result.resize(placement.rawOffset, 0);
    result.insert(result.end(), section.begin(), section.end());
    std::uint64_t rawSize = alignUp(section.size(), layout.fileAlignment);
    result.resize(placement.rawOffset + rawSize, 0);

    std::size_t index = placement.replacedSection.value_or(layout.sections.size());
    std::size_t header = layout.sectionTableOffset + index * kSectionHeaderSize;
    std::uint32_t oldInitialized = 0;
    if (placement.replacedSection) {
        oldInitialized = layout.sections[index].rawSize;
    } else {
        std::fill(result.begin() + static_cast<std::ptrdiff_t>(header),
                  result.begin() + static_cast<std::ptrdiff_t>(header + kSectionHeaderSize), 0);
        const char name[] = ".rsrc";
        std::copy(name, name + 5, result.begin() + static_cast<std::ptrdiff_t>(header));
        writeWordAt(result, layout.fileHeaderOffset + 2,
                    static_cast<std::uint16_t>(layout.sections.size() + 1));
    }
    writeDwordAt(result, header + 8, static_cast<std::uint32_t>(section.size()));
    writeDwordAt(result, header + 12, placement.virtualAddress);
    writeDwordAt(result, header + 16, static_cast<std::uint32_t>(rawSize));
    writeDwordAt(result, header + 20, placement.rawOffset);
    writeDwordAt(result, header + 36, kResourceCharacteristics);

    // SizeOfImage covers every section, the new one included.
    std::uint64_t endOfImage = placement.virtualAddress + alignUp(section.size(), layout.sectionAlignment);
    for (std::size_t other = 0; other < layout.sections.size(); ++other) {
        if (placement.replacedSection && other == *placement.replacedSection) {
            continue;
        }
        const PeSection& kept = layout.sections[other];
        endOfImage = std::max(endOfImage, std::uint64_t{kept.virtualAddress} + sectionExtent(kept));
    }
    const std::uint64_t optional = layout.optionalHeaderOffset;
    writeDwordAt(result, optional + kSizeOfImageField,
                 static_cast<std::uint32_t>(alignUp(endOfImage, layout.sectionAlignment)));
    std::uint32_t initialized = readDword(result, optional + kSizeOfInitializedDataField, "the optional header");
    writeDwordAt(result, optional + kSizeOfInitializedDataField,
                 static_cast<std::uint32_t>(initialized - oldInitialized + rawSize));
    std::uint64_t entry = dataDirectoryOffset(layout, kResourceDirectoryIndex);
    writeDwordAt(result, entry, placement.virtualAddress);
    writeDwordAt(result, entry + 4, static_cast<std::uint32_t>(section.size()));
    // The field reads as zero while the sum is taken, wherever it lies.
    writeDwordAt(result, optional + kChecksumField, 0);
    writeDwordAt(result, optional + kChecksumField, peChecksum(result, optional + kChecksumField));
    return result;
}

std::uint32_t peChecksum(ByteView file, std::uint64_t checksumOffset)
{
    std::uint64_t sum = 0;
    for (std::uint64_t offset = 0; offset < file.size(); offset += 2) {
        if (offset == checksumOffset || offset == checksumOffset + 2) {
            continue;
        }
        std::uint32_t word = file[offset];
        if (offset + 1 < file.size()) {
            word |= std::uint32_t{file[offset + 1]} << 8;
        }
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + file.size());
}
