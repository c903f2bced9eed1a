// tarvo-brand on a small launcher-shaped image: every resource it writes is
// read back with its own reader and compared, and each bad input is refused
// with one line, exit code 2 and no output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "brand/brand_command.h"
#include "brand/icon_images.h"
#include "brand/pe_file.h"
#include "brand/version_info.h"
#include "brand_test_image.h"

namespace {

namespace fs = std::filesystem;

const char kMessagesFile[] = TARVO_SOURCE_DIR "/tools/brand/messages-en.txt";

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const fs::path& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fileText(const char* path)
{
    Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

const ResourceData& resource(const ResourceTree& tree, std::uint16_t type, const ResourceName& name)
{
    return tree.at(ResourceName::number(type)).at(name).begin()->second;
}

class BrandTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("tarvo-brand-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        launcher_ = folder_ / "tarvo.exe";
        writeFile(launcher_, testLauncherImage());
        writeFile(folder_ / "editor.ico", testIconFile());
        writeFile(folder_ / "editor.ini", std::string("\xEF\xBB\xBF[Java Runtime Environment]\r\n"
                                                      "Main Class=sample.Editor\r\n"));
        output_ = folder_ / "Sample Editor.exe";
    }

    void TearDown() override { fs::remove_all(folder_); }

    int brand(std::vector<std::string> extra)
    {
        std::vector<std::string> arguments = {"--launcher", launcher_.string(), "--output", output_.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::ostringstream out;
        std::ostringstream errors;
        int exitCode = runBrand(arguments, out, errors);
        errors_ = errors.str();
        return exitCode;
    }

    // Exit code 2, one line naming the reason, and no output file.
    void expectRefused(std::vector<std::string> extra, const std::string& reason)
    {
        EXPECT_EQ(brand(std::move(extra)), 2);
        EXPECT_NE(errors_.find(reason), std::string::npos) << errors_;
        EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 1) << errors_;
        EXPECT_FALSE(fs::exists(output_));
        EXPECT_FALSE(fs::exists(fs::path(output_.string() + ".brand-partial")));
    }

    std::vector<std::string> everything() const
    {
        return {"--icon", (folder_ / "editor.ico").string(), "--product-name", "Sample Editor",
                "--company", "Acme GmbH", "--file-version", "2.1.0.7", "--product-version", "2.1",
                "--description", "Sample Editor", "--copyright", "(c) 2026 Acme GmbH",
                "--settings", (folder_ / "editor.ini").string(), "--messages", kMessagesFile,
                "--manifest-execution-level", "requireAdministrator"};
    }

    fs::path folder_;
    fs::path launcher_;
    fs::path output_;
    std::string errors_;
};

void expectBranded(const Bytes& branded, const fs::path& folder)
{
    PeLayout layout = readPeLayout(branded);
    ResourceTree tree = readResourceTree(branded, layout);

    std::vector<IconImage> expectedIcons = readIconFile(readFile(folder / "editor.ico"));
    std::vector<IconImage> icons = readIconGroup(tree, ResourceName::number(1), 0);
    ASSERT_EQ(icons.size(), 2u);
    for (std::size_t index = 0; index < icons.size(); ++index) {
        EXPECT_EQ(icons[index].bytes, expectedIcons[index].bytes);
        EXPECT_EQ(icons[index].width, expectedIcons[index].width);
        EXPECT_EQ(icons[index].bitCount, 32);
        EXPECT_EQ(icons[index].planes, 1);
    }
    EXPECT_TRUE(isPngPicture(icons[1].bytes));
    EXPECT_EQ(tree.at(ResourceName::number(resource_type::icon)).size(), 2u);

    const auto& versions = tree.at(ResourceName::number(resource_type::version));
    ASSERT_EQ(versions.size(), 1u);
    ASSERT_TRUE(versions.begin()->second.contains(0x0409));
    VersionInfo version = readVersionResource(versions.begin()->second.at(0x0409).bytes);
    EXPECT_EQ(version.fileVersion, (VersionNumber{2, 1, 0, 7}));
    EXPECT_EQ(version.productVersion, (VersionNumber{2, 1, 0, 0}));
    EXPECT_EQ(version.language, 0x0409);
    EXPECT_EQ(version.codePage, 1200);
    std::map<std::u16string, std::u16string> strings = {
        {u"CompanyName", u"Acme GmbH"},       {u"FileDescription", u"Sample Editor"},
        {u"FileVersion", u"2.1.0.7"},         {u"InternalName", u"Sample Editor"},
        {u"LegalCopyright", u"(c) 2026 Acme GmbH"}, {u"OriginalFilename", u"Sample Editor.exe"},
        {u"ProductName", u"Sample Editor"},   {u"ProductVersion", u"2.1"}};
    EXPECT_EQ(version.strings, strings);

    Messages expected = parseMessagesFile(fileText(kMessagesFile));
    EXPECT_EQ(readStringTable(tree), expected);
    for (const auto& [block, languages] : tree.at(ResourceName::number(resource_type::string))) {
        EXPECT_EQ(languages.size(), 1u);
        EXPECT_TRUE(languages.contains(0x0409)) << describe(block);
    }
    EXPECT_EQ(expected.at(203), u"JNI error: %s\nReason: %s.\n");

    EXPECT_EQ(resource(tree, resource_type::rcdata, ResourceName::named(u"SETTINGS")).bytes,
              readFile(folder / "editor.ini"));

    std::string manifest = kTestManifest;
    std::string administrator = manifest;
    administrator.replace(administrator.find("asInvoker"), 9, "requireAdministrator");
    EXPECT_EQ(resource(tree, resource_type::manifest, ResourceName::number(1)).bytes,
              Bytes(administrator.begin(), administrator.end()));

    // What branding does not touch comes through unchanged.
    EXPECT_EQ(tree.at(ResourceName::number(5)), testLauncherResources().at(ResourceName::number(5)));

    // The headers agree with the new section.
    std::uint64_t checksumField = layout.optionalHeaderOffset + 64;
    EXPECT_EQ(readDword(branded, checksumField, "checksum"), peChecksum(branded, checksumField));
    const PeSection& last = layout.sections.back();
    EXPECT_EQ(last.virtualAddress, layout.resources.address);
    EXPECT_EQ(last.rawOffset + last.rawSize, branded.size());
    EXPECT_EQ(readDword(branded, layout.optionalHeaderOffset + 56, "size of image"),
              alignUp(last.virtualAddress + last.virtualSize, layout.sectionAlignment));
}

TEST_F(BrandTest, WritesEveryResourceItWasGivenAndReadsThemBack)
{
    Bytes input = readFile(launcher_);
    ASSERT_EQ(brand(everything()), 0) << errors_;
    EXPECT_EQ(errors_, "");
    expectBranded(readFile(output_), folder_);
    EXPECT_EQ(readFile(launcher_), input);
    // The resource section was last, so it was written over: no new section.
    EXPECT_EQ(readPeLayout(readFile(output_)).sections.size(), 2u);
}

TEST_F(BrandTest, AppendsASectionWhenTheResourcesAreNotLastAndBrandsA32BitImage)
{
    for (bool isPe32Plus : {true, false}) {
        writeFile(launcher_, testLauncherImage(isPe32Plus, false));
        fs::remove(output_);
        ASSERT_EQ(brand(everything()), 0) << errors_;
        Bytes branded = readFile(output_);
        expectBranded(branded, folder_);
        EXPECT_EQ(readPeLayout(branded).sections.size(), 4u);
        EXPECT_EQ(readPeLayout(branded).isPe32Plus, isPe32Plus);
    }
}

TEST_F(BrandTest, BrandsItsOwnOutputAgainAndReplacesAnExistingOutputWhole)
{
    ASSERT_EQ(brand(everything()), 0) << errors_;
    fs::rename(output_, launcher_);
    ASSERT_EQ(brand(everything()), 0) << errors_;
    expectBranded(readFile(output_), folder_);
    Bytes before = readFile(output_);
    // A failed run leaves the existing output as it was.
    writeFile(folder_ / "bad.ico", Bytes{0, 0, 1, 0, 9, 0});
    EXPECT_EQ(brand({"--icon", (folder_ / "bad.ico").string()}), 2);
    EXPECT_EQ(readFile(output_), before);
}

TEST_F(BrandTest, MakesAOneImageIconFromAPng)
{
    writeFile(folder_ / "editor.png", testPngPicture(48, 48));
    ASSERT_EQ(brand({"--icon", (folder_ / "editor.png").string()}), 0) << errors_;
    Bytes branded = readFile(output_);
    ResourceTree tree = readResourceTree(branded, readPeLayout(branded));
    std::vector<IconImage> icons = readIconGroup(tree, ResourceName::number(1), 0);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].width, 48);
    EXPECT_EQ(icons[0].bytes, testPngPicture(48, 48));
    // Nothing else asked for, nothing else changed: the German messages stay.
    EXPECT_EQ(readStringTable(tree), testLauncherMessages());
}

TEST_F(BrandTest, WarnsOfSettingsTheLauncherDoesNotRead)
{
    writeFile(folder_ / "editor.ini",
              std::string("[Java Runtime Environment]\n; a comment for people\nMain Class=a.B\nMian Class=typo\n"
                          "[Display]\nSplash Screen=s.png\n[Runtime]\nx=1\n"));
    ASSERT_EQ(brand({"--settings", (folder_ / "editor.ini").string()}), 0);
    EXPECT_NE(errors_.find("warning: " + (folder_ / "editor.ini").string() +
                           ": unknown key \"Mian Class\" in section [Java Runtime Environment]\n"),
              std::string::npos)
        << errors_;
    EXPECT_NE(errors_.find("unknown section [Runtime]"), std::string::npos) << errors_;
    EXPECT_NE(errors_.find("\"Splash Screen\" in section [Display] is read from the settings file only"),
              std::string::npos)
        << errors_;
    EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 3);
    EXPECT_TRUE(fs::exists(output_));
}

TEST_F(BrandTest, RefusesAFileThatIsNotAPeImageOrIsTruncated)
{
    writeFile(launcher_, std::string("just text, not a program"));
    expectRefused({}, "tarvo-brand: not a PE image");
    Bytes image = testLauncherImage();
    image.resize(image.size() - 0x300);
    writeFile(launcher_, image);
    expectRefused({}, "lies beyond the end of the file");
    image.resize(0x100);
    writeFile(launcher_, image);
    expectRefused({}, "lies beyond the end of the file");
}

TEST_F(BrandTest, RefusesAResourceDirectoryWithALoopOrAnOffsetOutside)
{
    Bytes image = testLauncherImage();
    PeLayout layout = readPeLayout(image);
    std::size_t root = layout.sections.back().rawOffset;
    // The first type's entry points back at the root table.
    Bytes loop = image;
    writeDwordAt(loop, root + 16 + 4, 0x80000000);
    writeFile(launcher_, loop);
    expectRefused({}, "the resource directory has a loop");
    Bytes outside = image;
    writeDwordAt(outside, root + 16 + 4, 0x8FFFFFF0);
    writeFile(launcher_, outside);
    expectRefused({}, "the resource directory has a table outside the resource section");
    // A data entry (an RVA within the section, then a small size) pointed far away.
    Bytes badData = image;
    for (std::size_t at = 0; at + 8 <= layout.resources.size; at += 4) {
        std::uint32_t address = readDword(image, root + at, "test");
        std::uint32_t size = readDword(image, root + at + 4, "test");
        if (address >= layout.resources.address && address < layout.resources.address + layout.resources.size &&
            size > 0 && size < 0x10000) {
            writeDwordAt(badData, root + at, 0x7FFF0000);
            break;
        }
    }
    writeFile(launcher_, badData);
    expectRefused({}, "the resource directory has data outside the file");
}

TEST_F(BrandTest, RefusesABadIconFile)
{
    Bytes icon = testIconFile();
    Bytes wrongCount = icon;
    writeWordAt(wrongCount, 4, 200);
    writeFile(folder_ / "editor.ico", wrongCount);
    expectRefused({"--icon", (folder_ / "editor.ico").string()}, "the icon file's count (200) does not fit");
    Bytes beyondEnd = icon;
    writeDwordAt(beyondEnd, 6 + 16 + 8, 0x10000);
    writeFile(folder_ / "editor.ico", beyondEnd);
    expectRefused({"--icon", (folder_ / "editor.ico").string()},
                  "icon image 2 lies beyond the end of the icon file");
    // A bitmap without a depth, left to the reader by its directory entry too,
    // would reach the icon group with a bit count of 0.
    Bytes noDepth = icon;
    writeWordAt(noDepth, 6 + 6, 0);
    writeWordAt(noDepth, 6 + 2 * 16 + 14, 0);
    writeFile(folder_ / "editor.ico", noDepth);
    expectRefused({"--icon", (folder_ / "editor.ico").string()},
                  "icon image 1 is a bitmap of 0 bits a pixel");
    writeFile(folder_ / "big.png", testPngPicture(512, 512));
    expectRefused({"--icon", (folder_ / "big.png").string()}, "an icon holds at most 256x256");
}

TEST_F(BrandTest, RefusesMessagesWithAMissingIdOrAChangedPlaceholder)
{
    std::string messages = fileText(kMessagesFile);
    std::string missing = messages;
    missing.erase(missing.find("217="), missing.find('\n', missing.find("217=")) + 1 - missing.find("217="));
    writeFile(folder_ / "messages.txt", missing);
    expectRefused({"--messages", (folder_ / "messages.txt").string()},
                  "tarvo-brand: message 217 is missing from the messages file");
    std::string changed = messages;
    changed.replace(changed.find("(error code = %d)"), 17, "(error code = %s)");
    writeFile(folder_ / "messages.txt", changed);
    expectRefused({"--messages", (folder_ / "messages.txt").string()},
                  "tarvo-brand: message 202 has the placeholders %s %s where the launcher's text has %s %d");
    std::string reordered = messages;
    reordered.replace(reordered.find("222=Could not load the Java VM library: %s (error code = %d)"),
                      59, "222=Error %d while loading the Java VM library %s");
    writeFile(folder_ / "messages.txt", reordered);
    expectRefused({"--messages", (folder_ / "messages.txt").string()}, "message 222 has the placeholders");
    writeFile(folder_ / "messages.txt", messages + "240=extra\n");
    expectRefused({"--messages", (folder_ / "messages.txt").string()},
                  "message 240 is not one of the launcher's (202-232)");
}

TEST_F(BrandTest, RefusesASignedLauncherAndBadArguments)
{
    Bytes image = testLauncherImage();
    PeLayout layout = readPeLayout(image);
    std::size_t security = layout.optionalHeaderOffset + 112 + 8 * 4;
    writeDwordAt(image, security, static_cast<std::uint32_t>(image.size()));
    writeDwordAt(image, security + 4, 8);
    writeFile(launcher_, image);
    expectRefused({}, "tarvo-brand: the launcher carries an Authenticode signature");

    writeFile(launcher_, testLauncherImage());
    expectRefused({"--file-version", "2.x"}, "--file-version takes up to four numbers");
    expectRefused({"--manifest-execution-level", "admin"}, "--manifest-execution-level is asInvoker");
    expectRefused({"--colour", "red"}, "unknown argument \"--colour\"");
    expectRefused({"--icon"}, "--icon needs a value");
    expectRefused({"--icon", "missing.ico"}, "cannot read the icon \"missing.ico\"");
    writeFile(folder_ / "editor.ini", std::string("\xFE\xFF\0[\0x", 6));
    expectRefused({"--settings", (folder_ / "editor.ini").string()}, "big-endian UTF-16");
    fs::copy_file(launcher_, output_);
    EXPECT_EQ(runBrand({"--launcher", launcher_.string(), "--output", launcher_.string()}, std::cout,
                       std::cerr),
              2);
    EXPECT_EQ(readFile(launcher_), testLauncherImage());
}

}  // namespace
