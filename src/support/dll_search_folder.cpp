#include "support/dll_search_folder.h"

#include <windows.h>

#include "support/loaded_library.h"

void addDllSearchFolder(const std::wstring& folder)
{
    using AddDllDirectoryFunction = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);
    AddDllDirectoryFunction addDllDirectory = nullptr;
    if (lookUp(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory", addDllDirectory)) {
        // The folder stays added, so the cookie is not kept.
        (void)addDllDirectory(folder.c_str());
    }
}
