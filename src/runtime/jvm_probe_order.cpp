#include "runtime/jvm_probe_order.h"

#include "config/launcher_settings.h"

std::vector<std::wstring_view> jvmLibraryProbeOrder(int jvmType)
{
    if (jvmType == kServerJvmOnly) {
        return {kServerJvmLibrary};
    }
    std::vector<std::wstring_view> order;
    if (jvmType == kServerJvmFavored) {
        order.push_back(kServerJvmLibrary);
    }
    // With the server library favoured and absent, trying it again in the
    // general order cannot find it, so it is left out there.
    for (std::wstring_view path : {kClientJvmLibrary, std::wstring_view(L"bin\\classic\\jvm.dll"),
                                   std::wstring_view(L"bin\\hotspot\\jvm.dll"), kServerJvmLibrary,
                                   std::wstring_view(L"bin\\jrockit\\jvm.dll")}) {
        if (jvmType == kServerJvmFavored && path == kServerJvmLibrary) {
            continue;
        }
        order.push_back(path);
    }
    return order;
}
