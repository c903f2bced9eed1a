// The parts of a PE file (PE32 or PE32+) that branding reads and rewrites:
// the headers, the section table and the data directories. Every offset is
// checked against the file before it is used.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "brand/bytes.h"

struct PeSection {
    std::string name;  // the eight bytes of the header, up to the first zero
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t characteristics = 0;
};

struct PeDataDirectory {
    std::uint32_t address = 0;  // an RVA, except for the security directory (a file offset)
    std::uint32_t size = 0;
};

struct PeLayout {
    bool isPe32Plus = false;
    std::uint16_t machine = 0;
    std::uint64_t fileHeaderOffset = 0;      // the COFF header, after "PE\0\0"
    std::uint64_t optionalHeaderOffset = 0;
    std::uint64_t sectionTableOffset = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t dataDirectoryCount = 0;
    std::vector<PeSection> sections;
    PeDataDirectory resources;
    PeDataDirectory security;
};

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

// The layout of an image; refuses a file that is not a PE image or whose
// headers or section table reach beyond its end.
PeLayout readPeLayout(ByteView file);

// True when the file carries an Authenticode signature (a security directory).
bool isSigned(const PeLayout& layout);

// The file offset of length bytes at the RVA, when they lie within one
// section's raw data.
std::optional<std::uint64_t> fileOffsetOfRva(const PeLayout& layout, ByteView file,
                                             std::uint32_t rva, std::uint32_t length);

// The index of the section that holds the RVA.
std::optional<std::size_t> sectionOfRva(const PeLayout& layout, std::uint32_t rva);

// The file with its resources replaced by a section the builder lays out for
// the RVA it is given: the old resource section is overwritten when it is the
// last thing in the file, else a new last section is appended. SizeOfImage,
// SizeOfInitializedData, the section table, the resource directory entry and
// the checksum follow.
template <typename Builder>
Bytes withResourceSection(ByteView file, const PeLayout& layout, Builder&& build);

// The placement of the new resource section, then the file rewritten around it.
struct ResourcePlacement {
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawOffset = 0;
    std::optional<std::size_t> replacedSection;  // index of the section written over
};
ResourcePlacement placeResourceSection(ByteView file, const PeLayout& layout);
Bytes writeResourceSection(ByteView file, const PeLayout& layout, const ResourcePlacement& placement,
                           const Bytes& section);

// The checksum the loader compares for drivers and the Properties dialog
// shows: 16-bit sums with carries folded, the checksum field left out, plus
// the file length.
std::uint32_t peChecksum(ByteView file, std::uint64_t checksumOffset);

template <typename Builder>
Bytes withResourceSection(ByteView file, const PeLayout& layout, Builder&& build)
{
    ResourcePlacement placement = placeResourceSection(file, layout);
    Bytes section = build(placement.virtualAddress);
    return writeResourceSection(file, layout, placement, section);
}
