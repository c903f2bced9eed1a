// The registry keys under HKEY_LOCAL_MACHINE where Java installers register
// their runtimes, and what the launcher's runtime policy makes of each.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "config/launcher_settings.h"

enum class RuntimeKind { jdk, jre };
enum class RuntimeVendor { sun, jrockit, ibm };

struct RuntimeVendorKey {
    std::wstring_view path;  // below HKEY_LOCAL_MACHINE, ending with "\"
    RuntimeKind kind;
    RuntimeVendor vendor;
    // The registered folder is the JDK; the runtime lies in its "jre\" folder.
    bool homeBelowJre;
    // "favor_server" does not hold for this key: its runtimes are probed in
    // the general order, client JVM first.
    bool serverNotFavored;
};

// The seven keys in the order they are scanned.
inline constexpr std::array<RuntimeVendorKey, 7> kRuntimeVendorKeys{{
    {L"Software\\JavaSoft\\JDK\\", RuntimeKind::jdk, RuntimeVendor::sun, false, false},
    {L"Software\\JavaSoft\\JRE\\", RuntimeKind::jre, RuntimeVendor::sun, false, false},
    {L"Software\\JavaSoft\\Java Development Kit\\", RuntimeKind::jdk, RuntimeVendor::sun, true,
     false},
    {L"Software\\JavaSoft\\Java Runtime Environment\\", RuntimeKind::jre, RuntimeVendor::sun, false,
     true},
    {L"Software\\JRockit\\Java Runtime Environment\\", RuntimeKind::jre, RuntimeVendor::jrockit,
     false, false},
    {L"Software\\JRockit\\Java Development Kit\\", RuntimeKind::jdk, RuntimeVendor::jrockit, true,
     false},
    {L"Software\\IBM\\Java2 Runtime Environment\\", RuntimeKind::jre, RuntimeVendor::ibm, false,
     false},
}};

// Whether the key is read at all: its kind is wanted (or favorMode takes both
// kinds) and its vendor is allowed or favoured.
bool isVendorKeyScanned(const RuntimeVendorKey& key, const LauncherSettings& settings);

// Whether the runtimes of the key are preferred: their kind is wanted and
// their vendor favoured.
bool isVendorKeyPreferred(const RuntimeVendorKey& key, const LauncherSettings& settings);

// The runtime's home folder from its registered "JavaHome": with a trailing
// backslash, and with "jre\" below a registered JDK folder. Nothing for an
// empty "JavaHome", which names no folder.
[[nodiscard]] std::optional<std::wstring> runtimeHomeFromJavaHome(const RuntimeVendorKey& key,
                                                                  std::wstring_view javaHome);

// The JVM type the runtimes of the key are probed with.
int probeJvmTypeForKey(const RuntimeVendorKey& key, int jvmType);
