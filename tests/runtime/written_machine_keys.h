// Keys a test writes under HKEY_LOCAL_MACHINE (or, where asked, under
// HKEY_CURRENT_USER), removed again when the test ends however it ends. Only the keys this object created are removed; a key
// that was there before is never deleted, and a version subkey that was there
// before is never written to.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "runtime/runtime_registry.h"

class WrittenMachineKeys {
public:
    // The keys go below the root given: HKEY_LOCAL_MACHINE unless a test
    // writes a per-user install under HKEY_CURRENT_USER.
    explicit WrittenMachineKeys(HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {}
    ~WrittenMachineKeys();
    WrittenMachineKeys(const WrittenMachineKeys&) = delete;
    WrittenMachineKeys& operator=(const WrittenMachineKeys&) = delete;

    // Creates the new key root\path (and any missing key above it) in the view.
    // False when the key already exists or cannot be created.
    [[nodiscard]] bool createNewKey(std::wstring_view path, RegistryView view);

    // Sets a value of a key this object created.
    [[nodiscard]] bool setValue(std::wstring_view path, RegistryView view, const wchar_t* name,
                                DWORD type, const void* data, DWORD size);

    // A new version subkey below the vendor key with its "JavaHome" string.
    [[nodiscard]] bool registerRuntime(std::wstring_view vendorKeyPath, std::wstring_view subkey,
                                       std::wstring_view javaHome,
                                       RegistryView view = RegistryView::defaultView);

    // Whether HKLM\path exists in the view.
    static bool keyExists(std::wstring_view path, RegistryView view);

private:
    struct CreatedKey {
        std::wstring path;
        RegistryView view;
    };
    HKEY root_;
    std::vector<CreatedKey> created_;
};
