#include "support/saved_registry_value.h"

#include <utility>

#include "support/handle_owners.h"

namespace harness {

namespace {

// The key opened with the access given, or for setting values created when missing.
RegistryKey keyOf(HKEY root, const std::wstring& path, REGSAM access, bool create = false)
{
    HKEY key = nullptr;
    LSTATUS status =
        create ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
               : RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

SavedRegistryValue::SavedRegistryValue(HKEY root, std::wstring path, std::wstring name)
    : root_(root), path_(std::move(path)), name_(std::move(name))
{
    RegistryKey key = keyOf(root_, path_, KEY_QUERY_VALUE);
    DWORD size = 0;
    if (key && RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type_, nullptr, &size) ==
                   ERROR_SUCCESS) {
        data_.resize(size);
        existed_ = RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type_, data_.data(),
                                    &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
}

SavedRegistryValue::~SavedRegistryValue()
{
    RegistryKey key = keyOf(root_, path_, KEY_SET_VALUE, true);
    if (key && existed_) {
        RegSetValueExW(key.get(), name_.c_str(), 0, type_, data_.data(),
                       static_cast<DWORD>(data_.size()));
    } else if (key) {
        RegDeleteValueW(key.get(), name_.c_str());
    }
}

bool SavedRegistryValue::setText(const std::wstring& text) const
{
    RegistryKey key = keyOf(root_, path_, KEY_SET_VALUE, true);
    return key &&
           RegSetValueExW(key.get(), name_.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SavedRegistryValue::remove() const
{
    RegistryKey key = keyOf(root_, path_, KEY_SET_VALUE);
    LSTATUS status = key ? RegDeleteValueW(key.get(), name_.c_str()) : ERROR_FILE_NOT_FOUND;
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace harness
