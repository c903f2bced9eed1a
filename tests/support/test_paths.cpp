#include "support/test_paths.h"

#include <windows.h>

#include <vector>

namespace harness {

namespace {

std::wstring moduleFileName()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring environmentValue(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

// "/tmp/x" as Wine's drive Z: shows it, "Z:\tmp\x".
std::wstring windowsPathFromUnixPath(std::wstring path)
{
    if (path.empty() || path.front() != L'/') {
        return path;
    }
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return L"Z:" + path;
}

}  // namespace

std::wstring testProgramFolder()
{
    return folderOf(moduleFileName());
}

std::wstring launcherPath()
{
    return testProgramFolder() + L"\\" TARVO_LAUNCHER_FILE_NAME;
}

namespace {

// A file the paired 32-bit tree built into its bin folder.
std::optional<std::wstring> pairBuildFile(std::wstring_view fileName)
{
#ifdef TARVO_PAIR_BIN_DIR
    return windowsPathFromBuildPath(TARVO_PAIR_BIN_DIR) + L"\\" + std::wstring(fileName);
#else
    static_cast<void>(fileName);
    return std::nullopt;
#endif
}

}  // namespace

std::optional<std::wstring> pairLauncherPath()
{
    return pairBuildFile(L"tarvo32.exe");
}

std::wstring consoleLauncherPath()
{
    return testProgramFolder() + L"\\" TARVO_CONSOLE_LAUNCHER_FILE_NAME;
}

std::optional<std::wstring> pairConsoleLauncherPath()
{
    return pairBuildFile(L"tarvoc32.exe");
}

std::wstring probePath(std::wstring_view fileName)
{
    return testProgramFolder() + L"\\" + std::wstring(fileName);
}

std::wstring screenshotFolder()
{
    std::wstring folder = environmentValue(L"TARVO_SCREENSHOT_DIR");
    folder = folder.empty() ? windowsPathFromBuildPath(TARVO_SCREENSHOT_DIR)
                            : windowsPathFromUnixPath(folder);
    (void)createFolderTree(folder);
    return folder;
}

std::wstring windowsPathFromBuildPath(std::string_view path)
{
    // CMake writes the path in UTF-8.
    int size =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), size);
    return windowsPathFromUnixPath(wide);
}

std::wstring folderOf(std::wstring_view path)
{
    size_t slash = path.find_last_of(L"\\/");
    return std::wstring(path.substr(0, slash == std::wstring_view::npos ? 0 : slash));
}

bool createFolderTree(const std::wstring& folder)
{
    std::wstring full = extendedLengthPath(folder);
    DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    std::wstring parent = folderOf(folder);
    if (parent.empty() || parent == folder || parent.back() == L':') {
        return CreateDirectoryW(full.c_str(), nullptr) != FALSE;
    }
    if (!createFolderTree(parent)) {
        return false;
    }
    return CreateDirectoryW(full.c_str(), nullptr) != FALSE ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring extendedLengthPath(const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\")) {
        return path;
    }
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        return L"\\\\?\\" + path;
    }
    if (path.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    return path;
}

}  // namespace harness
