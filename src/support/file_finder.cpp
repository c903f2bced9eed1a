#include "support/file_finder.h"

#include <optional>

#include "support/long_path.h"
#include "support/path_rules.h"

bool FileFinder::findFile()
{
    return findFile(L"*.*");
}

bool FileFinder::findFile(std::wstring_view pathOrPattern)
{
    closeFinder();
    rootFolder_.clear();

    const std::optional<std::wstring> searched = toSystemPath(pathOrPattern);
    if (!searched) {
        return false;
    }
    // On failure the search's own last error is what the caller gets to see.
    const HANDLE handle = FindFirstFileW(searched->c_str(), &findData_);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    findHandle_.reset(handle);

    const std::optional<std::wstring> fullPath = fullPathName(*searched);
    if (!fullPath) {
        closeFinder();
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    rootFolder_ = folderPartOf(*fullPath);
    found_ = true;
    return true;
}

void FileFinder::closeFinder() noexcept
{
    found_ = false;
    findHandle_.reset();
}
