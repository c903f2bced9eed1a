#include "support/dll_search_folder.h"

#include <atomic>

#include "support/loaded_library.h"

namespace {

std::atomic<bool> searchFlagsPretendedMissing{false};

using AddDllDirectoryFunction = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);

AddDllDirectoryFunction addDllDirectoryFunction() noexcept
{
    AddDllDirectoryFunction addDllDirectory = nullptr;
    if (searchFlagsPretendedMissing.load()) {
        return nullptr;
    }
    // kernel32 is always loaded: no load by name happens here.
    (void)lookUp(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory", addDllDirectory);
    return addDllDirectory;
}

}  // namespace

bool leaveCurrentFolderOutOfDllSearch() noexcept
{
    return SetDllDirectoryW(L"") != FALSE;
}

bool librarySearchFlagsAvailable() noexcept
{
    // The update that brought the flags brought AddDllDirectory with them.
    return addDllDirectoryFunction() != nullptr;
}

void pretendLibrarySearchFlagsMissing() noexcept
{
    searchFlagsPretendedMissing.store(true);
}

void addDllSearchFolder(const std::wstring& folder)
{
    if (AddDllDirectoryFunction addDllDirectory = addDllDirectoryFunction()) {
        // The folder stays added, so the cookie is not kept.
        (void)addDllDirectory(folder.c_str());
        return;
    }
    // A DLL directory, like the empty one set at start, keeps the current
    // folder out of the search.
    (void)SetDllDirectoryW(folder.c_str());
}

HMODULE loadLibraryWithDependencies(const std::wstring& path) noexcept
{
    if (librarySearchFlagsAvailable()) {
        return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
