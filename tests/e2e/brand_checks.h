// What Windows reads from a branded launcher, for the branding tests: the
// version functions, an icon's pixels and the files the tests brand with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/image.h"
#include "support/sandbox.h"

// The whole file, or nothing when it cannot be read.
std::string fileBytes(const std::wstring& path);

std::wstring wideOf(const std::u16string& text);

// The version functions, looked up at run time as a product's tools would.
class VersionLibrary {
public:
    VersionLibrary();
    ~VersionLibrary();
    VersionLibrary(const VersionLibrary&) = delete;
    VersionLibrary& operator=(const VersionLibrary&) = delete;

    bool isLoaded() const { return sizeOf_ && infoOf_ && query_; }

    // GetFileVersionInfoW's block for the file; empty when it has none.
    std::vector<std::uint8_t> block(const std::wstring& path) const;

    // VerQueryValueW: where the value lies in the block, and its length.
    std::optional<std::pair<const void*, UINT>> value(const std::vector<std::uint8_t>& block,
                                                      const std::wstring& name) const;

private:
    HMODULE module_;
    DWORD(WINAPI* sizeOf_)(LPCWSTR, LPDWORD) = nullptr;
    BOOL(WINAPI* infoOf_)(LPCWSTR, DWORD, DWORD, LPVOID) = nullptr;
    BOOL(WINAPI* query_)(LPCVOID, LPCWSTR, LPVOID*, PUINT) = nullptr;
};

// An icon's bitmaps as GetDIBits gives them: the colour bitmap as 32-bit
// pixels, rows from the top, and the mask the same way.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> colour;
    std::vector<std::uint8_t> mask;

    bool operator==(const IconPixels&) const = default;
};

std::optional<IconPixels> iconPixels(HICON icon);

// The colour in the middle of an icon's colour bitmap, and its width.
std::optional<std::pair<int, harness::Colour>> iconCentre(HICON icon);

// Runs tarvo-brand.exe with the arguments and expects it to succeed without a
// word; what it wrote to standard error goes to brand-errors.txt in the sandbox.
void brandWithTool(const harness::ProductSandbox& sandbox,
                   const std::vector<std::wstring>& arguments);

// The version arguments both branding tests hand tarvo-brand; brand_reference.rc
// writes the same strings.
std::vector<std::wstring> sampleEditorVersionArguments();
