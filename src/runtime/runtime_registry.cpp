#include "runtime/runtime_registry.h"

#include <windows.h>

#include <iterator>

#include "support/handle_owners.h"

namespace {

REGSAM accessFor(RegistryView view)
{
    return view == RegistryView::thirtyTwoBitView ? KEY_READ | KEY_WOW64_32KEY : KEY_READ;
}

HKEY rootKey(RegistryRoot root)
{
    return root == RegistryRoot::currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// An empty owner when the key does not exist or cannot be opened.
RegistryKey openKey(RegistryRoot root, std::wstring path, RegistryView view)
{
    // The vendor keys are written with a trailing backslash; the key's own
    // name is what the system is given.
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(rootKey(root), path.c_str(), 0, accessFor(view), &key);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

bool isTextValueType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

std::vector<std::wstring> listRegistrySubkeys(RegistryRoot root, std::wstring_view key,
                                              RegistryView view)
{
    std::vector<std::wstring> names;
    const RegistryKey parentKey = openKey(root, std::wstring(key), view);
    if (!parentKey) {
        return names;
    }
    // 255 characters is the registry's own limit for a key name.
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status = RegEnumKeyExW(parentKey.get(), index, name, &length, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<std::wstring> readRegistryText(RegistryRoot root, std::wstring_view key,
                                             const wchar_t* valueName, RegistryView view,
                                             std::size_t maximumCharacters)
{
    const RegistryKey valueKey = openKey(root, std::wstring(key), view);
    if (!valueKey) {
        return std::nullopt;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(valueKey.get(), valueName, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0 || !isTextValueType(type)) {
        return std::nullopt;
    }
    // A value too long to be of use is not even read; its NUL may take one
    // character of what is stored.
    const std::size_t storedCharacters = size / sizeof(wchar_t);
    if (storedCharacters > 0 && storedCharacters - 1 > maximumCharacters) {
        return std::nullopt;
    }
    // One character more than the value can fill, and zeroed, so the text
    // ends even when the stored value carries no NUL of its own.
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD readSize = size;
    if (RegQueryValueExW(valueKey.get(), valueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &readSize) != ERROR_SUCCESS ||
        !isTextValueType(type)) {
        return std::nullopt;
    }
    buffer.resize(buffer.find(L'\0'));
    if (buffer.empty() || buffer.size() > maximumCharacters) {
        return std::nullopt;
    }
    return buffer;
}

std::vector<std::wstring> SystemRuntimeRegistry::listSubkeyNames(std::wstring_view key,
                                                                 RegistryView view)
{
    return listRegistrySubkeys(RegistryRoot::localMachine, key, view);
}

std::optional<std::wstring> SystemRuntimeRegistry::readJavaHome(std::wstring_view key,
                                                                std::wstring_view subkey,
                                                                RegistryView view)
{
    return readRegistryText(RegistryRoot::localMachine, std::wstring(key) + std::wstring(subkey),
                            L"JavaHome", view, kAnyTextLength);
}
