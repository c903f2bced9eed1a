// A DLL the launcher loads at run time instead of importing it, and typed
// look-ups of its functions.
#pragma once

#include <windows.h>

#include <utility>

// Frees a library from LoadLibraryExW exactly once. Empty is nullptr.
class LoadedLibraryOwner {
public:
    explicit LoadedLibraryOwner(HMODULE module = nullptr) noexcept : module_(module) {}
    ~LoadedLibraryOwner()
    {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    LoadedLibraryOwner(LoadedLibraryOwner&& other) noexcept
        : module_(std::exchange(other.module_, nullptr))
    {
    }
    LoadedLibraryOwner& operator=(LoadedLibraryOwner&&) = delete;
    LoadedLibraryOwner(const LoadedLibraryOwner&) = delete;
    LoadedLibraryOwner& operator=(const LoadedLibraryOwner&) = delete;

    HMODULE get() const noexcept { return module_; }

private:
    HMODULE module_;
};

// The export as the typed function pointer the caller declared; nullptr when
// the module or the export is missing.
template <typename Function>
Function exportedFunction(HMODULE module, const char* name) noexcept
{
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
