// Loading where the LOAD_LIBRARY_SEARCH_* flags are missing (a Windows 7
// without the update that brought AddDllDirectory), tried on any Windows by
// pretending they are: system libraries still come from the system folder, by
// their full path.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "support/dll_search_folder.h"
#include "support/loaded_library.h"

namespace {

std::wstring lowerCase(std::wstring text)
{
    for (wchar_t& character : text) {
        character = static_cast<wchar_t>(std::towlower(character));
    }
    return text;
}

std::wstring pathOfModule(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring systemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

}  // namespace

// One test: the pretence lasts for the rest of the process.
TEST(LibrarySearch, SystemLibrariesComeFromTheSystemFolderWithAndWithoutTheFlags)
{
    ASSERT_TRUE(librarySearchFlagsAvailable()) << "this Windows lacks AddDllDirectory";
    LoadedLibrary withFlags(loadSystemLibrary(L"version.dll"));
    ASSERT_TRUE(withFlags);
    EXPECT_EQ(lowerCase(pathOfModule(withFlags.get())),
              lowerCase(systemFolder() + L"\\version.dll"));

    pretendLibrarySearchFlagsMissing();
    EXPECT_FALSE(librarySearchFlagsAvailable());
    LoadedLibrary withoutFlags(loadSystemLibrary(L"dbghelp.dll"));
    ASSERT_TRUE(withoutFlags) << "error " << GetLastError();
    EXPECT_EQ(lowerCase(pathOfModule(withoutFlags.get())),
              lowerCase(systemFolder() + L"\\dbghelp.dll"));
    // A name that is no system library is not found anywhere else either.
    EXPECT_EQ(loadSystemLibrary(L"tarvo_no_such_library.dll"), nullptr);
}
