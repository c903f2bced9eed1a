#include "brand/resource_tree.h"

#include <functional>
#include <set>
#include <vector>

namespace {

constexpr std::uint32_t kSubdirectoryBit = 0x80000000;
constexpr std::uint32_t kNameBit = 0x80000000;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
// Resources beyond this total are refused: the data entries of a hostile file
// could all point at one large block.
constexpr std::uint64_t kMostResourceBytes = 256u << 20;

[[noreturn]] void refuseDirectory(const std::string& reason)
{
    throw RefusedInput("the resource directory " + reason);
}

// Finds the bytes of a data entry's RVA; the image reader and the section
// reader place them differently.
using DataLocator = std::function<ByteView(std::uint32_t rva, std::uint32_t size)>;

class DirectoryReader {
public:
    DirectoryReader(ByteView area, DataLocator locate) : area_(area), locate_(std::move(locate)) {}

    ResourceTree readTree()
    {
        ResourceTree tree;
        readDirectory(0, 0, [&](const ResourceName& type, std::uint32_t offset) {
            ResourceNames& names = tree[type];
            readDirectory(offset, 1, [&](const ResourceName& name, std::uint32_t nameOffset) {
                ResourceLanguages& languages = names[name];
                readDirectory(nameOffset, 2, [&](const ResourceName& language, std::uint32_t dataOffset) {
                    if (language.isNamed()) {
                        refuseDirectory("names a language with a text");
                    }
                    languages[language.id] = readData(dataOffset);
                });
            });
        });
        return tree;
    }

private:
    template <typename Visit>
    void readDirectory(std::uint32_t offset, int level, Visit&& visit)
    {
        // Every directory is reached once: a second way in is a loop or a
        // shared subtree, which no resource compiler writes.
        if (!visited_.insert(offset).second) {
            refuseDirectory("has a loop (a table reached twice)");
        }
        if (!fitsWithin(offset, kDirectoryHeaderSize, area_.size())) {
            refuseDirectory("has a table outside the resource section");
        }
        std::uint64_t count = std::uint64_t{readWord(area_, offset + 12, "a resource table")} +
                              readWord(area_, offset + 14, "a resource table");
        if (!fitsWithin(offset + kDirectoryHeaderSize, count * kEntrySize, area_.size())) {
            refuseDirectory("has entries outside the resource section");
        }
        for (std::uint64_t index = 0; index < count; ++index) {
            std::uint64_t entry = offset + kDirectoryHeaderSize + index * kEntrySize;
            std::uint32_t nameField = readDword(area_, entry, "a resource entry");
            std::uint32_t target = readDword(area_, entry + 4, "a resource entry");
            ResourceName name = (nameField & kNameBit) ? readName(nameField & ~kNameBit)
                                                       : ResourceName::number(static_cast<std::uint16_t>(nameField));
            bool isSubdirectory = (target & kSubdirectoryBit) != 0;
            if (isSubdirectory != (level < 2)) {
                refuseDirectory(level < 2 ? "has data where a table belongs"
                                          : "has a table where data belongs");
            }
            visit(name, target & ~kSubdirectoryBit);
        }
    }

    ResourceName readName(std::uint32_t offset)
    {
        std::uint16_t length = readWord(area_, offset, "a resource name");
        if (length == 0) {
            refuseDirectory("has an empty name");
        }
        ByteView units = readSpan(area_, std::uint64_t{offset} + 2, std::uint64_t{length} * 2, "a resource name");
        std::u16string text;
        for (std::size_t index = 0; index < units.size(); index += 2) {
            text += static_cast<char16_t>(units[index] | (units[index + 1] << 8));
        }
        return ResourceName::named(std::move(text));
    }

    ResourceData readData(std::uint32_t offset)
    {
        if (!dataEntries_.insert(offset).second) {
            refuseDirectory("has a data entry reached twice");
        }
        if (!fitsWithin(offset, kDataEntrySize, area_.size())) {
            refuseDirectory("has a data entry outside the resource section");
        }
        std::uint32_t rva = readDword(area_, offset, "a resource data entry");
        std::uint32_t size = readDword(area_, offset + 4, "a resource data entry");
        totalBytes_ += size;
        if (totalBytes_ > kMostResourceBytes) {
            refuseDirectory("holds more data than any launcher's resources");
        }
        ByteView bytes = locate_(rva, size);
        return {Bytes(bytes.begin(), bytes.end()), readDword(area_, offset + 8, "a resource data entry")};
    }

    ByteView area_;
    DataLocator locate_;
    std::set<std::uint32_t> visited_;
    std::set<std::uint32_t> dataEntries_;
    std::uint64_t totalBytes_ = 0;
};

void appendName(Bytes& strings, const std::u16string& text)
{
    appendWord(strings, static_cast<std::uint16_t>(text.size()));
    appendUtf16(strings, text);
}

}  // namespace

std::strong_ordering ResourceName::operator<=>(const ResourceName& other) const
{
    if (isNamed() != other.isNamed()) {
        return isNamed() ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    if (isNamed()) {
        return text <=> other.text;
    }
    return id <=> other.id;
}

std::string describe(const ResourceName& name)
{
    return name.isNamed() ? utf8FromUtf16(name.text) : std::to_string(name.id);
}

ResourceTree readResourceTree(ByteView file, const PeLayout& layout)
{
    if (layout.resources.address == 0 || layout.resources.size == 0) {
        return {};
    }
    std::optional<std::size_t> index = sectionOfRva(layout, layout.resources.address);
    if (!index) {
        refuseDirectory("lies outside every section");
    }
    const PeSection& section = layout.sections[*index];
    std::uint64_t within = layout.resources.address - section.virtualAddress;
    if (within >= section.rawSize) {
        refuseDirectory("lies outside the section's data in the file");
    }
    ByteView area = readSpan(file, std::uint64_t{section.rawOffset} + within, section.rawSize - within,
                             "the resource section");
    DirectoryReader reader(area, [&](std::uint32_t rva, std::uint32_t size) {
        std::optional<std::uint64_t> offset = fileOffsetOfRva(layout, file, rva, size);
        if (!offset) {
            refuseDirectory("has data outside the file");
        }
        return file.subspan(*offset, size);
    });
    return reader.readTree();
}

ResourceTree readResourceSection(ByteView section, std::uint32_t sectionAddress)
{
    DirectoryReader reader(section, [&](std::uint32_t rva, std::uint32_t size) {
        if (rva < sectionAddress || !fitsWithin(rva - sectionAddress, size, section.size())) {
            refuseDirectory("has data outside the resource section");
        }
        return section.subspan(rva - sectionAddress, size);
    });
    return reader.readTree();
}

Bytes layOutResourceSection(const ResourceTree& tree, std::uint32_t sectionAddress)
{
    // Tables first (the root, then every name table, then every language
    // table), then the names, the data entries and the data.
    std::uint64_t tablesSize = kDirectoryHeaderSize + tree.size() * kEntrySize;
    std::uint64_t leaves = 0;
    for (const auto& [type, names] : tree) {
        tablesSize += kDirectoryHeaderSize + names.size() * kEntrySize;
        for (const auto& [name, languages] : names) {
            tablesSize += kDirectoryHeaderSize + languages.size() * kEntrySize;
            leaves += languages.size();
        }
    }
    Bytes strings;
    std::map<std::u16string, std::uint32_t> nameOffsets;
    auto nameOffset = [&](const ResourceName& name) -> std::uint32_t {
        auto [found, added] = nameOffsets.try_emplace(name.text, 0);
        if (added) {
            found->second = static_cast<std::uint32_t>(tablesSize + strings.size());
            appendName(strings, name.text);
        }
        return found->second;
    };
    for (const auto& [type, names] : tree) {
        if (type.isNamed()) {
            nameOffset(type);
        }
        for (const auto& [name, languages] : names) {
            if (name.isNamed()) {
                nameOffset(name);
            }
        }
    }
    padTo(strings, 8);
    std::uint64_t dataEntriesOffset = tablesSize + strings.size();
    std::uint64_t dataOffset = dataEntriesOffset + leaves * kDataEntrySize;

    Bytes tables;
    Bytes entries;
    Bytes data;
    auto nameField = [&](const ResourceName& name) {
        return name.isNamed() ? (nameOffset(name) | kNameBit) : std::uint32_t{name.id};
    };
    auto appendHeader = [&](Bytes& bytes, std::size_t named, std::size_t numbered) {
        appendDword(bytes, 0);  // characteristics
        appendDword(bytes, 0);  // time stamp
        appendDword(bytes, 0);  // version
        appendWord(bytes, static_cast<std::uint16_t>(named));
        appendWord(bytes, static_cast<std::uint16_t>(numbered));
    };
    auto countNamed = [](const auto& map) {
        std::size_t named = 0;
        for (const auto& [key, value] : map) {
            if constexpr (std::is_same_v<std::decay_t<decltype(key)>, ResourceName>) {
                named += key.isNamed() ? 1 : 0;
            }
        }
        return named;
    };

    // Table offsets in the order they are written.
    std::uint64_t nextTable = kDirectoryHeaderSize + tree.size() * kEntrySize;
    std::vector<std::uint64_t> nameTables;
    for (const auto& [type, names] : tree) {
        nameTables.push_back(nextTable);
        nextTable += kDirectoryHeaderSize + names.size() * kEntrySize;
    }
    std::vector<std::uint64_t> languageTables;
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            languageTables.push_back(nextTable);
            nextTable += kDirectoryHeaderSize + languages.size() * kEntrySize;
        }
    }

    std::size_t named = countNamed(tree);
    appendHeader(tables, named, tree.size() - named);
    std::size_t typeIndex = 0;
    for (const auto& [type, names] : tree) {
        appendDword(tables, nameField(type));
        appendDword(tables, static_cast<std::uint32_t>(nameTables[typeIndex++]) | kSubdirectoryBit);
    }
    std::size_t languageIndex = 0;
    for (const auto& [type, names] : tree) {
        std::size_t namedNames = countNamed(names);
        appendHeader(tables, namedNames, names.size() - namedNames);
        for (const auto& [name, languages] : names) {
            appendDword(tables, nameField(name));
            appendDword(tables, static_cast<std::uint32_t>(languageTables[languageIndex++]) | kSubdirectoryBit);
        }
    }
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            appendHeader(tables, 0, languages.size());
            for (const auto& [language, resource] : languages) {
                appendDword(tables, language);
                appendDword(tables, static_cast<std::uint32_t>(dataEntriesOffset + entries.size()));
                appendDword(entries, static_cast<std::uint32_t>(sectionAddress + dataOffset + data.size()));
                appendDword(entries, static_cast<std::uint32_t>(resource.bytes.size()));
                appendDword(entries, resource.codePage);
                appendDword(entries, 0);
                data.insert(data.end(), resource.bytes.begin(), resource.bytes.end());
                padTo(data, 8);
            }
        }
    }
    Bytes section = std::move(tables);
    section.insert(section.end(), strings.begin(), strings.end());
    section.insert(section.end(), entries.begin(), entries.end());
    section.insert(section.end(), data.begin(), data.end());
    return section;
}
