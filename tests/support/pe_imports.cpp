#include "support/pe_imports.h"

namespace harness {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kDelayImportDirectory = 13;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kDelayDescriptorSize = 32;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawOffset;
    std::uint32_t rawSize;
};

class PeReader {
public:
    explicit PeReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> read(size_t at, size_t width) const
    {
        if (at > bytes_.size() || width > bytes_.size() - at) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (size_t i = width; i-- > 0;) {
            value = (value << 8) | bytes_[at + i];
        }
        return value;
    }
    std::optional<std::uint32_t> read16(size_t at) const { return read(at, 2); }
    std::optional<std::uint32_t> read32(size_t at) const { return read(at, 4); }

    // The file offset that holds the byte at the relative virtual address.
    std::optional<size_t> fileOffset(std::uint32_t rva) const
    {
        for (const Section& section : sections_) {
            // Only bytes present in the file can be read; the rest of a
            // section is zero-filled at load time.
            if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize) {
                return size_t{section.rawOffset} + (rva - section.virtualAddress);
            }
        }
        return std::nullopt;
    }

    // A NUL-terminated name inside the file.
    std::optional<std::string> nameAt(std::uint32_t rva) const
    {
        std::optional<size_t> at = fileOffset(rva);
        if (!at) {
            return std::nullopt;
        }
        std::string name;
        for (size_t i = *at; i < bytes_.size(); ++i) {
            if (bytes_[i] == 0) {
                return name;
            }
            name += static_cast<char>(bytes_[i]);
        }
        return std::nullopt;
    }

    void addSection(const Section& section) { sections_.push_back(section); }

private:
    std::span<const std::uint8_t> bytes_;
    std::vector<Section> sections_;
};

struct Directory {
    std::uint32_t rva = 0;
};

// Walks descriptors of the given size until an all-zero one; the name's RVA
// sits at nameField inside each.
std::optional<std::vector<std::string>> descriptorNames(const PeReader& reader, Directory directory,
                                                        size_t descriptorSize, size_t nameField)
{
    std::vector<std::string> names;
    if (directory.rva == 0) {
        return names;
    }
    std::optional<size_t> at = reader.fileOffset(directory.rva);
    if (!at) {
        return std::nullopt;
    }
    // The table ends with an all-zero descriptor; reading past the file's end fails.
    for (;; *at += descriptorSize) {
        bool allZero = true;
        for (size_t i = 0; i < descriptorSize; i += 4) {
            std::optional<std::uint32_t> word = reader.read32(*at + i);
            if (!word) {
                return std::nullopt;
            }
            allZero = allZero && *word == 0;
        }
        if (allZero) {
            return names;
        }
        std::optional<std::string> name = reader.nameAt(*reader.read32(*at + nameField));
        if (!name) {
            return std::nullopt;
        }
        names.push_back(*name);
    }
}

}  // namespace

std::optional<std::vector<std::string>> importedDllNames(std::span<const std::uint8_t> image)
{
    PeReader reader(image);
    if (reader.read16(0) != 0x5A4D) {  // "MZ"
        return std::nullopt;
    }
    std::optional<std::uint32_t> peHeader = reader.read32(0x3C);
    if (!peHeader || reader.read32(*peHeader) != 0x00004550) {  // "PE\0\0"
        return std::nullopt;
    }
    size_t coff = *peHeader + 4;
    std::optional<std::uint32_t> sectionCount = reader.read16(coff + 2);
    std::optional<std::uint32_t> optionalSize = reader.read16(coff + 16);
    size_t optional = coff + 20;
    std::optional<std::uint32_t> magic = reader.read16(optional);
    if (!sectionCount || !optionalSize || !magic) {
        return std::nullopt;
    }
    size_t directories = 0;
    if (*magic == kPe32Magic) {
        directories = optional + 92;
    } else if (*magic == kPe32PlusMagic) {
        directories = optional + 108;
    } else {
        return std::nullopt;
    }
    std::optional<std::uint32_t> directoryCount = reader.read32(directories);
    if (!directoryCount ||
        directories + 4 + size_t{*directoryCount} * 8 > optional + *optionalSize) {
        return std::nullopt;
    }

    size_t sectionTable = optional + *optionalSize;
    for (std::uint32_t i = 0; i < *sectionCount; ++i) {
        size_t at = sectionTable + i * kSectionHeaderSize;
        std::optional<std::uint32_t> virtualAddress = reader.read32(at + 12);
        std::optional<std::uint32_t> rawSize = reader.read32(at + 16);
        std::optional<std::uint32_t> rawOffset = reader.read32(at + 20);
        if (!virtualAddress || !rawSize || !rawOffset) {
            return std::nullopt;
        }
        reader.addSection({*virtualAddress, *rawOffset, *rawSize});
    }

    auto directory = [&](std::uint32_t index) {
        Directory entry;
        if (index < *directoryCount) {
            entry.rva = *reader.read32(directories + 4 + index * 8);
        }
        return entry;
    };
    std::optional<std::vector<std::string>> names =
        descriptorNames(reader, directory(kImportDirectory), kImportDescriptorSize, 12);
    std::optional<std::vector<std::string>> delayed =
        descriptorNames(reader, directory(kDelayImportDirectory), kDelayDescriptorSize, 4);
    if (!names || !delayed) {
        return std::nullopt;
    }
    names->insert(names->end(), delayed->begin(), delayed->end());
    return names;
}

}  // namespace harness
