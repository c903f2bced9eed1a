#include "support/runtime_bin_folder.h"

namespace {

std::wstring_view withoutLastComponent(std::wstring_view path)
{
    size_t lastBackslash = path.rfind(L'\\');
    return lastBackslash == std::wstring_view::npos ? path : path.substr(0, lastBackslash);
}

}  // namespace

std::wstring runtimeBinFolder(std::wstring_view jvmLibraryPath)
{
    // The library lies in bin\<jvm type>\, so the bin folder is two levels up.
    return std::wstring(withoutLastComponent(withoutLastComponent(jvmLibraryPath)));
}
