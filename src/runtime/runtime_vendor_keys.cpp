#include "runtime/runtime_vendor_keys.h"

namespace {

bool isKindWanted(RuntimeKind kind, const LauncherSettings& settings)
{
    return kind == RuntimeKind::jdk ? settings.jdkWanted : settings.jreWanted;
}

bool isVendorAllowed(RuntimeVendor vendor, const LauncherSettings& settings)
{
    switch (vendor) {
        case RuntimeVendor::sun:
            return settings.sunAllowed;
        case RuntimeVendor::jrockit:
            return settings.jrockitAllowed;
        case RuntimeVendor::ibm:
            return settings.ibmAllowed;
    }
    return false;
}

bool isVendorFavored(RuntimeVendor vendor, const LauncherSettings& settings)
{
    switch (vendor) {
        case RuntimeVendor::sun:
            return settings.sunFavored;
        case RuntimeVendor::jrockit:
            return settings.jrockitFavored;
        case RuntimeVendor::ibm:
            return settings.ibmFavored;
    }
    return false;
}

}  // namespace

bool isVendorKeyScanned(const RuntimeVendorKey& key, const LauncherSettings& settings)
{
    return (settings.favorMode || isKindWanted(key.kind, settings)) &&
           (isVendorAllowed(key.vendor, settings) || isVendorFavored(key.vendor, settings));
}

bool isVendorKeyPreferred(const RuntimeVendorKey& key, const LauncherSettings& settings)
{
    return isKindWanted(key.kind, settings) && isVendorFavored(key.vendor, settings);
}

std::optional<std::wstring> runtimeHomeFromJavaHome(const RuntimeVendorKey& key,
                                                    std::wstring_view javaHome)
{
    if (javaHome.empty()) {
        return std::nullopt;
    }
    std::wstring home(javaHome);
    if (home.back() != L'\\') {
        home += L'\\';
    }
    if (key.homeBelowJre) {
        home += L"jre\\";
    }
    return home;
}

int probeJvmTypeForKey(const RuntimeVendorKey& key, int jvmType)
{
    if (key.serverNotFavored && jvmType == kServerJvmFavored) {
        return kAnyJvm;
    }
    return jvmType;
}
