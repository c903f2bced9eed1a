// A DLL the launcher loads at run time instead of importing it, and the one
// typed look-up of its functions.
#pragma once

#include <windows.h>

#include "support/owner.h"

// A library from LoadLibraryExW, freed with FreeLibrary. Empty is nullptr.
using LoadedLibrary = Owner<HMODULE, &FreeLibrary>;

// A DLL of the system folder, loaded by its bare name: a file of that name in
// the executable's folder or the current folder is never picked up instead.
// Where LOAD_LIBRARY_SEARCH_SYSTEM32 is missing (an old Windows 7), loaded by
// its full path in the system folder. nullptr when it cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t* name) noexcept;

// Fills the field with the named export, as the function pointer type the
// field was declared with. False, and the field nullptr, when the module or
// the export is missing; GetProcAddress's last error is then left as it set it.
template <typename Function>
[[nodiscard]] bool lookUp(HMODULE module, const char* name, Function& field) noexcept
{
    if (module == nullptr) {
        field = nullptr;
        return false;
    }
    field = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return field != nullptr;
}
