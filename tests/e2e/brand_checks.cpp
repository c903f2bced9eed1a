#include "brand_checks.h"

#include <gtest/gtest.h>

#include "support/process_runner.h"
#include "support/test_paths.h"

std::string fileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

std::wstring wideOf(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

VersionLibrary::VersionLibrary()
    : module_(LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    if (module_) {
        sizeOf_ = reinterpret_cast<decltype(sizeOf_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "GetFileVersionInfoSizeW")));
        infoOf_ = reinterpret_cast<decltype(infoOf_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "GetFileVersionInfoW")));
        query_ = reinterpret_cast<decltype(query_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "VerQueryValueW")));
    }
}

VersionLibrary::~VersionLibrary()
{
    if (module_) {
        FreeLibrary(module_);
    }
}

std::vector<std::uint8_t> VersionLibrary::block(const std::wstring& path) const
{
    DWORD ignored = 0;
    DWORD size = sizeOf_(path.c_str(), &ignored);
    std::vector<std::uint8_t> bytes(size);
    if (size == 0 || !infoOf_(path.c_str(), 0, size, bytes.data())) {
        bytes.clear();
    }
    return bytes;
}

std::optional<std::pair<const void*, UINT>> VersionLibrary::value(
    const std::vector<std::uint8_t>& block, const std::wstring& name) const
{
    void* found = nullptr;
    UINT length = 0;
    if (!query_(block.data(), name.c_str(), &found, &length)) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<const void*>(found), length);
}

namespace {

// The bitmap's pixels at 32 bits, rows from the top; empty when GDI refuses.
std::vector<std::uint8_t> bitmapPixels(HBITMAP bitmap, int& width, int& height)
{
    BITMAP description{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof description, &description) == 0) {
        return {};
    }
    width = description.bmWidth;
    height = description.bmHeight;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &header,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows <= 0) {
        pixels.clear();
    }
    return pixels;
}

}  // namespace

std::optional<IconPixels> iconPixels(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return std::nullopt;
    }
    IconPixels pixels;
    int maskWidth = 0;
    int maskHeight = 0;
    pixels.colour = bitmapPixels(info.hbmColor, pixels.width, pixels.height);
    pixels.mask = bitmapPixels(info.hbmMask, maskWidth, maskHeight);
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }
    if (pixels.colour.empty()) {
        return std::nullopt;
    }
    return pixels;
}

std::optional<std::pair<int, harness::Colour>> iconCentre(HICON icon)
{
    std::optional<IconPixels> pixels = iconPixels(icon);
    if (!pixels) {
        return std::nullopt;
    }
    std::size_t centre =
        (static_cast<std::size_t>(pixels->height / 2) * pixels->width + pixels->width / 2) * 4;
    const std::vector<std::uint8_t>& colour = pixels->colour;
    return std::make_pair(pixels->width,
                          harness::Colour{colour[centre + 2], colour[centre + 1], colour[centre]});
}

void brandWithTool(const harness::ProductSandbox& sandbox,
                   const std::vector<std::wstring>& arguments)
{
    std::wstring tool = harness::probePath(L"tarvo-brand.exe");
    harness::ProcessStart start(tool, harness::commandLineOf(tool, arguments));
    start.errorFile = sandbox.pathOf(L"brand-errors.txt");
    std::optional<harness::ProcessOutcome> outcome = harness::runProcess(start, 60000);
    ASSERT_TRUE(outcome && outcome->finished);
    ASSERT_EQ(outcome->exitCode, 0) << sandbox.readFile(L"brand-errors.txt").value_or("");
    EXPECT_EQ(sandbox.readFile(L"brand-errors.txt").value_or("?"), "");
}

std::vector<std::wstring> sampleEditorVersionArguments()
{
    return {L"--product-name", L"Sample Editor", L"--company", L"Acme GmbH", L"--file-version", L"2.1.0.7",
            L"--product-version", L"2.1", L"--description", L"Sample Editor f\u00fcr Texte", L"--copyright",
            L"(c) 2026 Acme GmbH"};
}
