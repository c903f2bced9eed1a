// A module's resources as a tree: type, then name, then language, each leaf
// the resource's bytes. Read from an image's resource directory and laid out
// as a new resource section.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <string>

#include "brand/bytes.h"
#include "brand/pe_file.h"

// A type or name: a number, or a text (the names written in capitals, as
// FindResourceW asks for them).
struct ResourceName {
    std::uint16_t id = 0;
    std::u16string text;  // empty for a number

    static ResourceName number(std::uint16_t value) { return {value, {}}; }
    static ResourceName named(std::u16string value) { return {0, std::move(value)}; }
    bool isNamed() const { return !text.empty(); }

    // Named entries come first, in the order of their code units, then numbers:
    // the order the loader's binary search expects.
    std::strong_ordering operator<=>(const ResourceName& other) const;
    bool operator==(const ResourceName& other) const = default;
};

struct ResourceData {
    Bytes bytes;
    std::uint32_t codePage = 0;
    bool operator==(const ResourceData& other) const = default;
};

using ResourceLanguages = std::map<std::uint16_t, ResourceData>;
using ResourceNames = std::map<ResourceName, ResourceLanguages>;
using ResourceTree = std::map<ResourceName, ResourceNames>;

namespace resource_type {
constexpr std::uint16_t icon = 3;
constexpr std::uint16_t string = 6;
constexpr std::uint16_t rcdata = 10;
constexpr std::uint16_t groupIcon = 14;
constexpr std::uint16_t version = 16;
constexpr std::uint16_t manifest = 24;
}  // namespace resource_type

// The resource tree of the image; empty when it has no resource directory.
// Refuses a directory with a loop, an entry shared by two parents, an offset
// outside the resource section or data outside the file.
ResourceTree readResourceTree(ByteView file, const PeLayout& layout);

// The tree as a resource section whose first byte is at sectionAddress (the
// data entries hold RVAs).
Bytes layOutResourceSection(const ResourceTree& tree, std::uint32_t sectionAddress);

// Parses a resource section laid out at sectionAddress on its own, as
// readResourceTree does for an image: for tests of the layout.
ResourceTree readResourceSection(ByteView section, std::uint32_t sectionAddress);

std::string describe(const ResourceName& name);
