#include "written_machine_keys.h"

#include <gtest/gtest.h>

#include "support/handle_owners.h"
#include "support/test_text.h"

namespace {

REGSAM viewFlag(RegistryView view)
{
    return view == RegistryView::thirtyTwoBitView ? KEY_WOW64_32KEY : 0;
}

std::wstring withoutTrailingBackslash(std::wstring_view path)
{
    while (!path.empty() && path.back() == L'\\') {
        path.remove_suffix(1);
    }
    return std::wstring(path);
}

}  // namespace

WrittenMachineKeys::~WrittenMachineKeys()
{
    // Deepest first: a key is created after the keys above it.
    for (auto key = created_.rbegin(); key != created_.rend(); ++key) {
        const LSTATUS status =
            RegDeleteKeyExW(root_, key->path.c_str(), viewFlag(key->view), 0);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            ADD_FAILURE() << "cannot remove the test's key " << harness::toUtf8(key->path)
                          << ": error " << status;
        }
    }
}

bool WrittenMachineKeys::createNewKey(std::wstring_view path, RegistryView view)
{
    const std::wstring fullPath = withoutTrailingBackslash(path);
    std::size_t end = 0;
    bool lastWasNew = false;
    while (end != std::wstring::npos) {
        end = fullPath.find(L'\\', end + 1);
        const std::wstring level = fullPath.substr(0, end);
        HKEY opened = nullptr;
        DWORD disposition = 0;
        const LSTATUS status =
            RegCreateKeyExW(root_, level.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE | viewFlag(view), nullptr, &opened, &disposition);
        if (status != ERROR_SUCCESS) {
            return false;
        }
        const RegistryKey owner(opened);
        lastWasNew = disposition == REG_CREATED_NEW_KEY;
        if (lastWasNew) {
            created_.push_back({level, view});
        }
    }
    return lastWasNew;
}

bool WrittenMachineKeys::setValue(std::wstring_view path, RegistryView view, const wchar_t* name,
                                  DWORD type, const void* data, DWORD size)
{
    const std::wstring fullPath = withoutTrailingBackslash(path);
    bool ours = false;
    for (const CreatedKey& key : created_) {
        ours = ours || (key.path == fullPath && key.view == view);
    }
    if (!ours) {
        return false;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root_, fullPath.c_str(), 0, KEY_SET_VALUE | viewFlag(view),
                      &opened) != ERROR_SUCCESS) {
        return false;
    }
    const RegistryKey owner(opened);
    return RegSetValueExW(owner.get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool WrittenMachineKeys::registerRuntime(std::wstring_view vendorKeyPath, std::wstring_view subkey,
                                         std::wstring_view javaHome, RegistryView view)
{
    const std::wstring path = std::wstring(vendorKeyPath) + std::wstring(subkey);
    const std::wstring text(javaHome);
    return createNewKey(path, view) &&
           setValue(path, view, L"JavaHome", REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool WrittenMachineKeys::keyExists(std::wstring_view path, RegistryView view)
{
    HKEY opened = nullptr;
    const std::wstring fullPath = withoutTrailingBackslash(path);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, fullPath.c_str(), 0, KEY_READ | viewFlag(view),
                      &opened) != ERROR_SUCCESS) {
        return false;
    }
    const RegistryKey owner(opened);
    return true;
}
