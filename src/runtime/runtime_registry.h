// What the registry scan reads from HKEY_LOCAL_MACHINE: the subkey names of a
// vendor key and the "JavaHome" of one of them, in either registry view; and
// the same two reads under either root for the installers' own keys.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class RegistryView {
    defaultView,      // the 64-bit registry of this 64-bit process
    thirtyTwoBitView  // what 32-bit installers write (KEY_WOW64_32KEY)
};

enum class RegistryRoot {
    localMachine,  // per-machine installs
    currentUser    // per-user installs
};

// The names of the subkeys of root\key in the registry's enumeration order;
// empty when the key cannot be opened. The key path may end with "\".
std::vector<std::wstring> listRegistrySubkeys(RegistryRoot root, std::wstring_view key,
                                              RegistryView view);

// No limit on the length of a value read.
inline constexpr std::size_t kAnyTextLength = static_cast<std::size_t>(-1);

// The text of a string value of root\key up to its first NUL. Nothing when the
// key cannot be opened or the value is missing, empty, not text, longer than
// maximumCharacters, or cannot be read.
[[nodiscard]] std::optional<std::wstring> readRegistryText(RegistryRoot root,
                                                           std::wstring_view key,
                                                           const wchar_t* valueName,
                                                           RegistryView view,
                                                           std::size_t maximumCharacters);

class RuntimeRegistry {
public:
    virtual ~RuntimeRegistry() = default;

    // The names of the subkeys of HKLM\key, in the registry's enumeration
    // order. The key path may end with "\". Empty when the key cannot be
    // opened.
    virtual std::vector<std::wstring> listSubkeyNames(std::wstring_view key, RegistryView view) = 0;

    // The text of the value "JavaHome" of HKLM\key\subkey (key ending with
    // "\") up to its first NUL. Nothing when the subkey cannot be opened or the
    // value is missing, empty, not text, or cannot be read.
    virtual std::optional<std::wstring> readJavaHome(std::wstring_view key,
                                                     std::wstring_view subkey,
                                                     RegistryView view) = 0;

protected:
    RuntimeRegistry() = default;
    RuntimeRegistry(const RuntimeRegistry&) = default;
    RuntimeRegistry& operator=(const RuntimeRegistry&) = default;
};

// The machine's registry, read only.
class SystemRuntimeRegistry final : public RuntimeRegistry {
public:
    std::vector<std::wstring> listSubkeyNames(std::wstring_view key, RegistryView view) override;
    std::optional<std::wstring> readJavaHome(std::wstring_view key, std::wstring_view subkey,
                                             RegistryView view) override;
};
