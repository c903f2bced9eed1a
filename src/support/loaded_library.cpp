#include "support/loaded_library.h"

#include <string>
#include <vector>

#include "support/dll_search_folder.h"

namespace {

// C:\Windows\System32, however long; empty when it cannot be read.
std::wstring systemFolder()
{
    UINT length = GetSystemDirectoryW(nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::vector<wchar_t> buffer(length);
    UINT written = GetSystemDirectoryW(buffer.data(), length);
    if (written == 0 || written >= length) {
        return {};
    }
    return std::wstring(buffer.data(), written);
}

}  // namespace

HMODULE loadSystemLibrary(const wchar_t* name) noexcept
{
    if (librarySearchFlagsAvailable()) {
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    std::wstring folder = systemFolder();
    if (folder.empty()) {
        return nullptr;
    }
    std::wstring path = folder + L"\\" + name;
    // Its own dependencies come from the system folder too.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
