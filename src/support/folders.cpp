#include "support/folders.h"

#include <windows.h>

#include <optional>
#include <string>

#include "support/handle_owners.h"
#include "support/long_path.h"
#include "support/path_rules.h"

static_assert(alreadyExistsError == ERROR_ALREADY_EXISTS);

namespace {

// A path with a drive or a network root can be looked up as it stands.
bool hasDriveOrNetworkRoot(std::wstring_view path)
{
    return path.size() >= 2 && (path.starts_with(L"\\\\") || path[1] == L':');
}

// An existing file needs no folders. A search that fails without an error
// found nothing to object to either.
bool fileNeedsNoFolders(std::wstring_view filePath)
{
    const std::optional<std::wstring> searched = toSystemPath(filePath);
    if (!searched) {
        return false;
    }
    WIN32_FIND_DATAW findData;
    const HANDLE handle = FindFirstFileW(searched->c_str(), &findData);
    const DWORD searchError = GetLastError();
    const FindHandle search(handle);
    return static_cast<bool>(search) || searchError == ERROR_SUCCESS;
}

std::uint32_t createOneFolder(const std::wstring& folder)
{
    const std::optional<std::wstring> systemPath = toSystemPath(folder);
    if (!systemPath) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (CreateDirectoryW(systemPath->c_str(), nullptr)) {
        return 0;
    }
    const DWORD error = GetLastError();
    return error;
}

}  // namespace

std::uint32_t createParentFolders(std::wstring_view filePath)
{
    if (hasDriveOrNetworkRoot(filePath) && fileNeedsNoFolders(filePath)) {
        return 0;
    }
    return createFolderChain(filePath, createOneFolder, [](const std::wstring& folder) {
        // The walk goes on the same whether the folder went or stayed.
        static_cast<void>(removeFolder(folder));
    });
}

bool removeFolder(std::wstring_view folderPath)
{
    const std::optional<std::wstring> systemPath = toSystemPath(folderPath);
    return systemPath && RemoveDirectoryW(systemPath->c_str()) != FALSE;
}
