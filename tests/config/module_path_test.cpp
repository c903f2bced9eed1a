#include "config/module_path.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/settings_paths.h"
#include "config_test_helpers.h"
#include "ui/message_format.h"

namespace {

struct ShownError {
    HWND owner;
    std::wstring text;
};

std::vector<ShownError> shownErrors;

int recordError(HWND owner, std::wstring_view format, std::wstring_view argument, std::int32_t code)
{
    shownErrors.push_back({owner, formatMessage(format, {argument, code})});
    return IDOK;
}

DWORD WINAPI failWithAccessDenied(HMODULE, LPWSTR, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

std::vector<DWORD> sizesAsked;
std::wstring longPath;

// Behaves like GetModuleFileNameW for an executable at longPath: a buffer that
// is too small receives the cut path and the result is the buffer size.
DWORD WINAPI readLongPath(HMODULE, LPWSTR buffer, DWORD size)
{
    sizesAsked.push_back(size);
    if (longPath.size() < size) {
        std::copy(longPath.begin(), longPath.end(), buffer);
        buffer[longPath.size()] = L'\0';
        return static_cast<DWORD>(longPath.size());
    }
    std::copy(longPath.begin(), longPath.begin() + (size - 1), buffer);
    buffer[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

std::wstring pathOfLength(size_t length)
{
    return L"C:\\Apps\\" + std::wstring(length - 12, L'x') + L".exe";
}

TEST(ModulePath, UnreadablePathShowsWindowsErrorWithModulePathTextAndNumberEveryTime)
{
    shownErrors.clear();
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    EXPECT_EQ(modulePathThrough(owner, failWithAccessDenied, recordError), std::nullopt);
    EXPECT_EQ(modulePathThrough(nullptr, failWithAccessDenied, recordError), std::nullopt);
    ASSERT_EQ(shownErrors.size(), 2u);
    EXPECT_EQ(shownErrors[0].owner, owner);
    EXPECT_EQ(shownErrors[0].text,
              L"Windows Fehler: konnte den Modulpfad nicht finden (Fehlernummer = 5).\n");
    EXPECT_EQ(shownErrors[1].owner, nullptr);
}

TEST(ModulePath, PathThatFitsIsReadOnceAndLongerPathIsReadWhole)
{
    shownErrors.clear();
    longPath = pathOfLength(259);
    sizesAsked.clear();
    EXPECT_EQ(modulePathThrough(nullptr, readLongPath, recordError), longPath);
    EXPECT_EQ(sizesAsked, std::vector<DWORD>{260});

    longPath = pathOfLength(260);
    sizesAsked.clear();
    EXPECT_EQ(modulePathThrough(nullptr, readLongPath, recordError), longPath);
    EXPECT_EQ(sizesAsked, (std::vector<DWORD>{260, 520}));

    longPath = pathOfLength(1200);
    sizesAsked.clear();
    EXPECT_EQ(modulePathThrough(nullptr, readLongPath, recordError), longPath);
    EXPECT_EQ(sizesAsked, (std::vector<DWORD>{260, 520, 1040, 2080}));
    EXPECT_TRUE(shownErrors.empty());
}

TEST(ProductPaths, FolderAndSettingsFileOfThisTestProgram)
{
    std::optional<ProductPaths> paths = findProductPaths(nullptr);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->executablePath, modulePath(nullptr));
    EXPECT_NE(paths->executableFolder.back(), L'\\');
    EXPECT_TRUE(folderExists(paths->executableFolder));
    EXPECT_EQ(
        CompareStringOrdinal(paths->executablePath.c_str(), -1,
                             (paths->executableFolder + L"\\config_tests.exe").c_str(), -1, TRUE),
        CSTR_EQUAL);
    EXPECT_TRUE(fileExists(paths->executablePath));
    EXPECT_EQ(
        CompareStringOrdinal(paths->settingsFile.c_str(), -1,
                             (paths->executableFolder + L"\\config_tests.ini").c_str(), -1, TRUE),
        CSTR_EQUAL);
}

}  // namespace
