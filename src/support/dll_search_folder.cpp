#include "support/dll_search_folder.h"

#include <windows.h>

void addDllSearchFolder(const std::wstring& folder)
{
    using AddDllDirectoryFunction = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return;
    }
    auto addDllDirectory = reinterpret_cast<AddDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
    if (addDllDirectory != nullptr) {
        // The folder stays added, so the cookie is not kept.
        (void)addDllDirectory(folder.c_str());
    }
}
