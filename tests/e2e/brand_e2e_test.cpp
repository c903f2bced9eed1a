// A launcher branded by tarvo-brand, as Windows sees it: the product starts
// with the settings built in, LoadStringW gives the English messages and a
// failed start shows them, the version functions give every string, and the
// icon loads at 16, 32, 48 and 256 pixels with the pixels of the .ico, and
// through the shell at its large and small sizes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "brand/message_table.h"
#include "brand_checks.h"
#include "support/java_product.h"
#include "support/png_writer.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr wchar_t kProductName[] = L"Sample Editor";

struct IconColour {
    int size;
    Colour colour;
};
// A different colour at each size, so a picture shows which image was chosen.
const IconColour kIconColours[] = {
    {16, {200, 30, 30}}, {32, {30, 200, 30}}, {48, {30, 30, 200}}, {256, {230, 200, 20}}};

void appendWord(std::string& bytes, std::uint16_t value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

void appendDword(std::string& bytes, std::uint32_t value)
{
    appendWord(bytes, static_cast<std::uint16_t>(value));
    appendWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

// A 32-bit bitmap image of one colour: header, pixels bottom-up, AND mask.
std::string bitmapImage(int size, Colour colour)
{
    std::string image;
    appendDword(image, 40);
    appendDword(image, static_cast<std::uint32_t>(size));
    appendDword(image, static_cast<std::uint32_t>(size * 2));
    appendWord(image, 1);
    appendWord(image, 32);
    for (int field = 0; field < 6; ++field) {
        appendDword(image, 0);
    }
    for (int pixel = 0; pixel < size * size; ++pixel) {
        image += static_cast<char>(colour.blue);
        image += static_cast<char>(colour.green);
        image += static_cast<char>(colour.red);
        image += static_cast<char>(0xFF);
    }
    image.append(static_cast<std::size_t>(((size + 31) / 32) * 4 * size), '\0');
    return image;
}

void appendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data)
{
    appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    appendBigEndian(png, crc32Of(std::span<const std::uint8_t>(png).subspan(start)));
}

// A PNG with an alpha channel, as the 256-pixel entries of real icons are:
// 8-bit RGBA, no filtering, the rows in uncompressed deflate blocks.
std::string rgbaPng(int size, Colour colour)
{
    std::vector<std::uint8_t> raw;
    for (int row = 0; row < size; ++row) {
        raw.push_back(0);
        for (int column = 0; column < size; ++column) {
            raw.insert(raw.end(), {colour.red, colour.green, colour.blue, 0xFF});
        }
    }
    std::vector<std::uint8_t> stream = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size(); at += 0xFFFF) {
        std::size_t length = std::min<std::size_t>(0xFFFF, raw.size() - at);
        stream.push_back(at + length == raw.size() ? 1 : 0);
        stream.push_back(static_cast<std::uint8_t>(length));
        stream.push_back(static_cast<std::uint8_t>(length >> 8));
        stream.push_back(static_cast<std::uint8_t>(~length));
        stream.push_back(static_cast<std::uint8_t>(~length >> 8));
        stream.insert(stream.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                      raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    appendBigEndian(stream, adler32Of(raw));
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(size));
    appendBigEndian(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", stream);
    appendChunk(png, "IEND", {});
    return std::string(png.begin(), png.end());
}

// The .ico file: bitmaps at 16, 32 and 48 pixels, a PNG at 256.
std::string iconFile()
{
    std::vector<std::string> images;
    for (const IconColour& entry : kIconColours) {
        if (entry.size < 256) {
            images.push_back(bitmapImage(entry.size, entry.colour));
        } else {
            images.push_back(rgbaPng(entry.size, entry.colour));
        }
    }
    std::string file;
    appendWord(file, 0);
    appendWord(file, 1);
    appendWord(file, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t index = 0; index < images.size(); ++index) {
        int size = kIconColours[index].size;
        file += static_cast<char>(size & 0xFF);
        file += static_cast<char>(size & 0xFF);
        file += '\0';
        file += '\0';
        appendWord(file, 1);
        appendWord(file, 32);
        appendDword(file, static_cast<std::uint32_t>(images[index].size()));
        appendDword(file, offset);
        offset += static_cast<std::uint32_t>(images[index].size());
    }
    for (const std::string& image : images) {
        file += image;
    }
    return file;
}

class BrandedLauncher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product.create(TestJvm::complete, kProductName));
        ASSERT_TRUE(product.sandbox().writeFile(L"editor.ico", iconFile()));
        // The class path and the arguments come from the settings built in.
        ASSERT_TRUE(product.sandbox().writeFile(
            L"editor.ini", "\xEF\xBB\xBF[Java Runtime Environment]\r\nMain Class=tarvo.test.Main\r\n"
                           "[Class Path]\r\nClass Path=app.jar\r\n"
                           "[Application]\r\nCmd=--from-embedded \"zwei W\xC3\xB6rter\"\r\n"));
        ASSERT_TRUE(product.sandbox().writeIni("[Product Information]\r\nProduct Name=Sample Editor\r\n"));
        std::wstring sandbox = product.sandbox().folder();
        std::vector<std::wstring> arguments = {
            L"--launcher", launcherPath(), L"--output", product.sandbox().executablePath(),
            L"--icon", sandbox + L"\\editor.ico", L"--settings", sandbox + L"\\editor.ini", L"--messages",
            testProgramFolder() + L"\\messages-en.txt"};
        std::vector<std::wstring> version = sampleEditorVersionArguments();
        arguments.insert(arguments.end(), version.begin(), version.end());
        brand(arguments);
    }

    void brand(const std::vector<std::wstring>& arguments) { brandWithTool(product.sandbox(), arguments); }

    JavaProduct product;
};

TEST_F(BrandedLauncher, StartsTheProductWithTheSettingsBuiltIn)
{
    LauncherRun run = product.run({L"letter.txt"});
    EXPECT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_EQ(run.boxes, std::vector<std::wstring>{});
    EXPECT_EQ(mainArgumentsFromTrace(run.trace),
              (std::vector<std::wstring>{L"letter.txt", L"--from-embedded", L"zwei W\u00f6rter"}));
}

TEST_F(BrandedLauncher, ShowsAndLoadsTheEnglishMessages)
{
    product.environment().set(test_jvm::kCreateResultVariable, L"-4");
    LauncherRun run = product.run();
    EXPECT_EQ(run.outcome.exitCode, -1);
    EXPECT_EQ(run.boxes, std::vector<std::wstring>{
                             L"JNI error: could not create the Java VM\nReason: not enough memory.\n"});

    std::string text = fileBytes(testProgramFolder() + L"\\messages-en.txt");
    Messages expected = parseMessagesFile(text);
    HMODULE module = LoadLibraryExW(product.sandbox().executablePath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    for (std::uint16_t id = kFirstMessageId; id <= kLastMessageId; ++id) {
        wchar_t buffer[512] = {};
        int length = LoadStringW(module, id, buffer, 512);
        EXPECT_EQ(std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0)),
                  wideOf(expected.at(id)))
            << id;
    }
    FreeLibrary(module);
}

// The console build and the 32-bit builds take the same branding.
TEST_F(BrandedLauncher, ConsoleAndThirtyTwoBitBuildsAreBrandedToo)
{
    std::wstring messages = testProgramFolder() + L"\\messages-en.txt";
    ASSERT_TRUE(product.useConsoleBuild(L"Sample Tool"));
    brand({L"--launcher", consoleLauncherPath(), L"--output", product.sandbox().executablePath(),
           L"--messages", messages, L"--product-name", L"Sample Tool"});
    // A missing "Main Class": text 210 on standard error, now in English.
    ASSERT_TRUE(product.sandbox().writeIni("[Java Runtime Environment]\r\n"));
    product.pipeStandardStreams(true);
    LauncherRun failed = product.run();
    EXPECT_EQ(failed.outcome.exitCode, -1);
    EXPECT_EQ(failed.error, "The main class is not given in the INI file.\r\n");

    for (const std::optional<std::wstring>& launcher : {pairLauncherPath(), pairConsoleLauncherPath()}) {
        if (!launcher || GetFileAttributesW(launcher->c_str()) == INVALID_FILE_ATTRIBUTES) {
            continue;  // this tree was built without the 32-bit pair
        }
        std::wstring output = product.sandbox().pathOf(L"branded32.exe");
        brand({L"--launcher", *launcher, L"--output", output, L"--messages", messages,
               L"--icon", product.sandbox().pathOf(L"editor.ico")});
        HMODULE module = LoadLibraryExW(output.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        wchar_t buffer[256] = {};
        int length = LoadStringW(module, 210, buffer, 256);
        EXPECT_EQ(std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0)),
                  L"The main class is not given in the INI file.");
        auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 48, 48, 0));
        EXPECT_NE(icon, nullptr);
        if (icon) {
            DestroyIcon(icon);
        }
        FreeLibrary(module);
    }
}

TEST_F(BrandedLauncher, VersionFunctionsGiveEveryString)
{
    VersionLibrary version;
    ASSERT_TRUE(version.isLoaded());
    std::vector<std::uint8_t> block = version.block(product.sandbox().executablePath());
    ASSERT_FALSE(block.empty());
    auto fixed = version.value(block, L"\\");
    ASSERT_TRUE(fixed && fixed->second == sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed->first);
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(info->dwFileVersionLS, 0x00000007u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00020001u);
    EXPECT_EQ(info->dwProductVersionLS, 0u);
    EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));

    auto translation = version.value(block, L"\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation && translation->second == 4);
    const auto* pair = static_cast<const WORD*>(translation->first);
    EXPECT_EQ(pair[0], 0x0409);
    EXPECT_EQ(pair[1], 1200);

    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"CompanyName", L"Acme GmbH"},
        {L"FileDescription", L"Sample Editor f\u00fcr Texte"},
        {L"FileVersion", L"2.1.0.7"},
        {L"InternalName", L"Sample Editor"},
        {L"LegalCopyright", L"(c) 2026 Acme GmbH"},
        {L"OriginalFilename", L"Sample Editor.exe"},
        {L"ProductName", L"Sample Editor"},
        {L"ProductVersion", L"2.1"}};
    for (const auto& [name, text] : strings) {
        auto value = version.value(block, std::wstring(L"\\StringFileInfo\\040904B0\\") + name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value->first)), text) << name;
    }
}

TEST_F(BrandedLauncher, IconLoadsAtEverySizeWithThePixelsOfTheIconFile)
{
    HMODULE module = LoadLibraryExW(product.sandbox().executablePath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (const IconColour& entry : kIconColours) {
        auto icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, entry.size, entry.size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << entry.size;
        std::optional<std::pair<int, Colour>> centre = iconCentre(icon);
        DestroyIcon(icon);
        ASSERT_TRUE(centre) << entry.size;
        EXPECT_EQ(centre->first, entry.size);
        EXPECT_EQ(centre->second, entry.colour) << entry.size;
    }
    FreeLibrary(module);

    // What Explorer shows: the shell's large and small icon of the file.
    HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ASSERT_NE(shell, nullptr);
    auto extract = reinterpret_cast<UINT(WINAPI*)(LPCWSTR, int, HICON*, HICON*, UINT)>(
        reinterpret_cast<void*>(GetProcAddress(shell, "ExtractIconExW")));
    ASSERT_NE(extract, nullptr);
    HICON large = nullptr;
    HICON small = nullptr;
    EXPECT_EQ(extract(product.sandbox().executablePath().c_str(), 0, &large, &small, 1), 2u);
    for (auto [icon, size] : {std::pair{large, GetSystemMetrics(SM_CXICON)},
                              std::pair{small, GetSystemMetrics(SM_CXSMICON)}}) {
        ASSERT_NE(icon, nullptr) << size;
        std::optional<std::pair<int, Colour>> centre = iconCentre(icon);
        DestroyIcon(icon);
        ASSERT_TRUE(centre) << size;
        EXPECT_EQ(centre->first, size);
        // The large icon is the image of its size. For the small one Wine's
        // shell scales the 32-pixel image down where Windows takes the
        // 16-pixel one, so any of the file's own images counts.
        bool isLarge = size == GetSystemMetrics(SM_CXICON);
        bool matches = false;
        for (const IconColour& entry : kIconColours) {
            matches = matches || (centre->second == entry.colour && (!isLarge || entry.size == size));
        }
        EXPECT_TRUE(matches) << size;
    }
    FreeLibrary(shell);
}

}  // namespace
