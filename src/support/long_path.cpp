#include "support/long_path.h"

#include <windows.h>

#include <utility>

#include "support/path_rules.h"

std::optional<std::wstring> fullPathName(const std::wstring& path)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    // A relative path depends on the current folder, which another thread may
    // change between the two calls: ask again, a few times, while it does not fit.
    for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
        std::wstring buffer(size, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), size, buffer.data(), nullptr);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        size = length;
    }
    return std::nullopt;
}

std::optional<std::wstring> toSystemPath(std::wstring_view path)
{
    std::wstring text(path);
    if (text.size() >= maxPathLength && text.size() < longPathLimit &&
        !text.starts_with(localLongPathPrefix)) {
        // Should the system not form the full path, the path goes on as given.
        if (std::optional<std::wstring> full = fullPathName(text)) {
            text = std::move(*full);
        }
    }
    std::optional<std::wstring> longPath = toLongPath(text);
    if (!longPath) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    }
    return longPath;
}
