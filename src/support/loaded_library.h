// A DLL the launcher loads at run time instead of importing it, and the one
// typed look-up of its functions.
#pragma once

#include <windows.h>

#include "support/owner.h"

// A library from LoadLibraryExW, freed with FreeLibrary. Empty is nullptr.
using LoadedLibrary = Owner<HMODULE, &FreeLibrary>;

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
