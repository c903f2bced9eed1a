// Looks up a file or the first match of a pattern, at any path length, and
// tells the folder of what it found.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "support/handle_owners.h"

class FileFinder {
public:
    FileFinder() = default;
    ~FileFinder() { closeFinder(); }
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // Searches "*.*" in the current folder.
    [[nodiscard]] bool findFile();
    // On failure the last error tells why: the search's own error,
    // ERROR_FILENAME_EXCED_RANGE for a path too long to search at all, or
    // ERROR_INVALID_NAME when the full path of the search cannot be formed.
    [[nodiscard]] bool findFile(std::wstring_view pathOrPattern);
    void closeFinder() noexcept;

    bool found() const noexcept { return found_; }
    // The full path of the folder that holds what was found.
    const std::wstring& rootFolder() const noexcept { return rootFolder_; }
    const WIN32_FIND_DATAW& findData() const noexcept { return findData_; }

private:
    FindHandle findHandle_;
    WIN32_FIND_DATAW findData_{};
    bool found_ = false;
    std::wstring rootFolder_;
};
