// The import reader on small images built here byte by byte: both header
// kinds, delay-loaded DLLs, and damaged files that must be refused.
#include "support/pe_imports.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace harness;

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionFileOffset = 0x200;
constexpr std::uint32_t kSectionSize = 0x200;

class ImageBuilder {
public:
    explicit ImageBuilder(bool plus) : plus_(plus), bytes_(kSectionFileOffset + kSectionSize) {}

    void putImport(std::uint32_t descriptorRva, std::uint32_t nameRva)
    {
        put32(offsetOf(descriptorRva) + 12, nameRva);
        put32(offsetOf(descriptorRva), 0x1234);  // a lookup table RVA: not zero
    }
    void putDelayImport(std::uint32_t descriptorRva, std::uint32_t nameRva)
    {
        put32(offsetOf(descriptorRva), 1);  // RVA-based
        put32(offsetOf(descriptorRva) + 4, nameRva);
    }
    void putName(std::uint32_t rva, const char* name)
    {
        std::memcpy(bytes_.data() + offsetOf(rva), name, std::strlen(name) + 1);
    }
    void setDirectory(int index, std::uint32_t rva)
    {
        put32(directoryTable() + 4 + index * 8, rva);
    }

    std::vector<std::uint8_t> build()
    {
        bytes_[0] = 'M';
        bytes_[1] = 'Z';
        put32(0x3C, 0x40);
        std::memcpy(bytes_.data() + 0x40, "PE\0\0", 4);
        size_t coff = 0x44;
        put16(coff, plus_ ? 0x8664 : 0x14C);
        put16(coff + 2, 1);
        put16(coff + 16, static_cast<std::uint16_t>(optionalSize()));
        size_t optional = coff + 20;
        put16(optional, plus_ ? 0x20B : 0x10B);
        put32(directoryTable(), 16);
        size_t section = optional + optionalSize();
        std::memcpy(bytes_.data() + section, ".idata\0\0", 8);
        put32(section + 8, kSectionSize);
        put32(section + 12, kSectionRva);
        put32(section + 16, kSectionSize);
        put32(section + 20, kSectionFileOffset);
        return bytes_;
    }

private:
    size_t optionalSize() const { return (plus_ ? 112 : 96) + 16 * 8; }
    size_t directoryTable() const { return 0x44 + 20 + (plus_ ? 108 : 92); }
    static size_t offsetOf(std::uint32_t rva) { return kSectionFileOffset + (rva - kSectionRva); }
    void put16(size_t at, std::uint16_t value)
    {
        bytes_[at] = static_cast<std::uint8_t>(value);
        bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void put32(size_t at, std::uint32_t value)
    {
        put16(at, static_cast<std::uint16_t>(value));
        put16(at + 2, static_cast<std::uint16_t>(value >> 16));
    }

    bool plus_;
    std::vector<std::uint8_t> bytes_;
};

// Two imports at the start of the section, their names further on.
ImageBuilder twoImports(bool plus)
{
    ImageBuilder builder(plus);
    builder.setDirectory(1, kSectionRva);
    builder.putImport(kSectionRva, kSectionRva + 0x100);
    builder.putImport(kSectionRva + 20, kSectionRva + 0x110);
    builder.putName(kSectionRva + 0x100, "KERNEL32.dll");
    builder.putName(kSectionRva + 0x110, "USER32.dll");
    return builder;
}

TEST(PeImports, ReadsBothHeaderKinds)
{
    for (bool plus : {false, true}) {
        std::optional<std::vector<std::string>> names = importedDllNames(twoImports(plus).build());
        ASSERT_TRUE(names) << (plus ? "PE32+" : "PE32");
        EXPECT_EQ(*names, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));
    }
}

TEST(PeImports, DelayLoadedDllsFollowTheImports)
{
    ImageBuilder builder = twoImports(true);
    builder.setDirectory(13, kSectionRva + 0x80);
    builder.putDelayImport(kSectionRva + 0x80, kSectionRva + 0x120);
    builder.putName(kSectionRva + 0x120, "gdiplus.dll");
    std::optional<std::vector<std::string>> names = importedDllNames(builder.build());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll", "gdiplus.dll"}));
}

TEST(PeImports, ImageWithoutImportsGivesEmptyList)
{
    std::optional<std::vector<std::string>> names = importedDllNames(ImageBuilder(true).build());
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->empty());
}

TEST(PeImports, DamagedImagesAreRefused)
{
    std::vector<std::uint8_t> good = twoImports(true).build();

    std::vector<std::uint8_t> notMz = good;
    notMz[0] = 'X';
    EXPECT_FALSE(importedDllNames(notMz));

    std::vector<std::uint8_t> notPe = good;
    notPe[0x41] = 'X';
    EXPECT_FALSE(importedDllNames(notPe));

    ImageBuilder nameOutside = twoImports(false);
    nameOutside.putImport(kSectionRva + 20, 0x9000);
    EXPECT_FALSE(importedDllNames(nameOutside.build()));

    // The descriptors run off the end of the section without a terminator.
    ImageBuilder endless = twoImports(true);
    endless.setDirectory(1, kSectionRva + kSectionSize - 20);
    endless.putImport(kSectionRva + kSectionSize - 20, kSectionRva + 0x100);
    EXPECT_FALSE(importedDllNames(endless.build()));

    // A name that runs to the end of the file without its NUL.
    ImageBuilder unterminated = twoImports(true);
    std::vector<std::uint8_t> bytes = unterminated.build();
    std::memset(bytes.data() + kSectionFileOffset + 0x110, 'A', kSectionSize - 0x110);
    EXPECT_FALSE(importedDllNames(bytes));
}

TEST(PeImports, EveryTruncationIsHandled)
{
    std::vector<std::uint8_t> good = twoImports(false).build();
    // The last byte the reader needs is the second name's NUL; the zero padding
    // after it may be cut off.
    size_t needed = kSectionFileOffset + 0x110 + std::strlen("USER32.dll") + 1;
    for (size_t length = 0; length < good.size(); ++length) {
        std::optional<std::vector<std::string>> names =
            importedDllNames(std::span(good.data(), length));
        EXPECT_EQ(names.has_value(), length >= needed) << "cut at " << length;
    }
}

}  // namespace
