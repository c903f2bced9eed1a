#include "runtime/jvm_library_probe.h"

#include <windows.h>

#include <string_view>

#include "runtime/jvm_probe_order.h"
#include "support/diagnostic_trace.h"
#include "support/file_finder.h"

namespace {

// The path below the folder; a folder given without its trailing backslash
// gets one. Nothing for an empty folder, which would stand for the current
// folder or the root of the current drive.
std::optional<std::wstring> pathBelow(const std::wstring& folder, std::wstring_view relativePath)
{
    if (folder.empty()) {
        return std::nullopt;
    }
    std::wstring path = folder;
    if (path.back() != L'\\') {
        path += L'\\';
    }
    path += relativePath;
    return path;
}

// A file of that name exists. A folder that happens to carry the name is no
// library: loading it would fail where a later candidate could have served.
bool isFilePresent(const std::wstring& path)
{
    FileFinder finder;
    if (!finder.findFile(path)) {
        return false;
    }
    return (finder.findData().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::optional<JvmLibraryLocation> findJvmLibrary(const std::wstring& homeFolder, int jvmType)
{
    for (std::wstring_view relativePath : jvmLibraryProbeOrder(jvmType)) {
        std::optional<std::wstring> path = pathBelow(homeFolder, relativePath);
        if (!path) {
            return std::nullopt;
        }
        if (isFilePresent(*path)) {
            return JvmLibraryLocation{std::move(*path), relativePath == kServerJvmLibrary};
        }
    }
    if (traceEnabled()) {
        std::wstring lookedFor;
        for (std::wstring_view relativePath : jvmLibraryProbeOrder(jvmType)) {
            lookedFor += lookedFor.empty() ? L"" : L", ";
            lookedFor += relativePath;
        }
        traceLine({L"    no JVM library under ", homeFolder, L" (looked for ", lookedFor, L")"});
    }
    return std::nullopt;
}

bool hasJavaDll(const std::wstring& folder)
{
    return hasFileBelow(folder, kJavaDll);
}

bool hasFileBelow(const std::wstring& folder, std::wstring_view relativePath)
{
    std::optional<std::wstring> path = pathBelow(folder, relativePath);
    return path && isFilePresent(*path);
}
