#include "support/path_rules.h"

#include <algorithm>
#include <utility>

#include "support/split_text.h"

namespace {

// Outside the extended-length form the system reads a forward slash as a
// backslash; the walk only splits at backslashes, so it sees them as such.
std::wstring withBackslashes(std::wstring_view path)
{
    std::wstring result(path);
    if (!path.starts_with(localLongPathPrefix)) {
        std::replace(result.begin(), result.end(), L'/', L'\\');
    }
    return result;
}

// "\logs\out.txt" names a folder at the root of the current drive: it has no
// root part of its own, but its first part is not relative to the current folder.
bool startsAtDriveRoot(std::wstring_view path)
{
    return path.starts_with(L'\\') && !path.starts_with(L"\\\\");
}

}  // namespace

bool isUncPath(std::wstring_view path)
{
    if (path.starts_with(localLongPathPrefix)) {
        return path.starts_with(networkLongPathPrefix);
    }
    return path.starts_with(L"\\\\");
}

std::optional<std::wstring> toLongPath(std::wstring_view path)
{
    if (path.size() >= longPathLimit) {
        return std::nullopt;
    }
    if (path.size() < maxPathLength) {
        return std::wstring(path);
    }
    if (isUncPath(path)) {
        if (path.starts_with(networkLongPathPrefix)) {
            return std::wstring(path);
        }
        return std::wstring(networkLongPathPrefix).append(path.substr(2));
    }
    if (path.starts_with(localLongPathPrefix)) {
        return std::wstring(path);
    }
    return std::wstring(localLongPathPrefix).append(path);
}

std::wstring folderPartOf(std::wstring_view fullPath)
{
    const std::size_t cut = fullPath.find_last_of(L"\\/");
    return std::wstring(cut == std::wstring_view::npos ? fullPath : fullPath.substr(0, cut));
}

std::vector<std::wstring> splitPathComponents(std::wstring_view path)
{
    std::wstring_view prefix;
    std::wstring_view rest = path;
    if (path.starts_with(localLongPathPrefix)) {
        prefix =
            path.starts_with(networkLongPathPrefix) ? networkLongPathPrefix : localLongPathPrefix;
        rest = path.substr(prefix.size());
    }

    // The two leading backslashes of a network path belong to its root.
    const std::size_t rootEnd = rest.find(L'\\', isUncPath(rest) ? 2 : 0);
    const std::wstring_view root = rest.substr(0, rootEnd);
    const std::wstring_view remaining =
        rootEnd == std::wstring_view::npos ? std::wstring_view() : rest.substr(rootEnd + 1);

    std::vector<std::wstring> components;
    std::wstring first = std::wstring(prefix).append(root);
    if (!first.empty()) {
        components.push_back(std::move(first));
    }
    for (std::wstring& part : splitText(remaining, L"\\")) {
        components.push_back(std::move(part));
    }
    return components;
}

std::uint32_t createFolderChain(std::wstring_view filePath, const FolderCreator& createFolder,
                                const FolderRemover& removeFolder)
{
    const std::wstring path = withBackslashes(filePath);
    // The levels of a network share (server, share) can never be created, so
    // errors there must not stop the folders below from being attempted.
    const bool network = isUncPath(path);
    const std::vector<std::wstring> components = splitPathComponents(path);
    if (components.empty()) {
        return 0;
    }

    std::wstring pathSoFar = startsAtDriveRoot(path) ? L"\\" + components[0] : components[0];
    bool createdPathSoFar = false;
    std::uint32_t lastError = 0;
    // The first part is the root and the last one the file name: neither is created.
    for (std::size_t i = 1; i + 1 < components.size(); ++i) {
        std::wstring candidate = pathSoFar + L'\\' + components[i];
        const std::uint32_t error = createFolder(candidate);
        if (error == 0) {
            lastError = 0;
            createdPathSoFar = true;
        } else {
            lastError = error;
            if (error != alreadyExistsError && !network) {
                // Take back the empty folder one level up, but only when this
                // walk made it: an empty folder the user had stays.
                if (createdPathSoFar) {
                    removeFolder(pathSoFar);
                }
                break;
            }
            createdPathSoFar = false;
        }
        pathSoFar = std::move(candidate);
    }
    return lastError == alreadyExistsError ? 0 : lastError;
}
