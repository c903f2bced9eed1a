// A registry value as it was before a test, put back (or removed again) when
// the test ends however it ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, std::wstring path, std::wstring name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    // Writes the value as a string, creating the key when it is missing.
    [[nodiscard]] bool setText(const std::wstring& text) const;
    // Removes the value; true also when there was none.
    [[nodiscard]] bool remove() const;

private:
    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

}  // namespace harness
