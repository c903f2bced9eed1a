// A fresh product folder for one test: the launcher copied under the
// product's own name, its settings file beside it, and whatever else the test
// lays out. Everything goes when the sandbox ends, long paths included.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_paths.h"

namespace harness {

class ProductSandbox {
public:
    ProductSandbox() = default;
    ~ProductSandbox();
    ProductSandbox(const ProductSandbox&) = delete;
    ProductSandbox& operator=(const ProductSandbox&) = delete;

    // Makes a fresh folder under the temp folder and copies the launcher into
    // it as "<product>.exe", renamed as a product would rename it. The suffix
    // ends the folder's name, e.g. to put blanks or letters outside ASCII into the path.
    [[nodiscard]] bool create(std::wstring_view productName = L"Acme Editor",
                              std::wstring_view folderSuffix = L"");
    // A fresh folder with nothing in it.
    [[nodiscard]] bool createEmpty(std::wstring_view folderSuffix = L"");
    // Copies an executable into the folder as "<product>.exe" and makes it the
    // sandbox's executable: executablePath and iniPath follow its name.
    [[nodiscard]] bool installExecutable(const std::wstring& source, std::wstring_view productName);

    // The settings file beside the executable: "<product>.ini", written as the bytes given.
    [[nodiscard]] bool writeIni(std::string_view bytes) const;
    // A file under the folder; missing parent folders are created.
    [[nodiscard]] bool writeFile(std::wstring_view relativePath, std::string_view bytes) const;
    [[nodiscard]] bool createFolder(std::wstring_view relativePath) const;
    std::optional<std::string> readFile(std::wstring_view relativePath) const;
    bool exists(std::wstring_view relativePath) const;
    // The names of the files (not the folders) in a folder under this one, as listed.
    std::vector<std::wstring> filesIn(std::wstring_view relativeFolder) const;

    // Removes the folder and everything in it; true when nothing is left.
    [[nodiscard]] bool remove();

    const std::wstring& folder() const { return folder_; }
    std::wstring pathOf(std::wstring_view relativePath) const;
    std::wstring executablePath() const { return pathOf(productName_ + L".exe"); }
    std::wstring iniPath() const { return pathOf(productName_ + L".ini"); }

private:
    std::wstring folder_;
    std::wstring productName_;
};

// Whole-file helpers that take paths of any length.
[[nodiscard]] bool writeFileBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> readFileBytes(const std::wstring& path);
// Removes a folder tree without following links out of it; true when it is gone.
[[nodiscard]] bool removeFolderTree(const std::wstring& folder);

}  // namespace harness
