#include "splash/runtime_splash.h"

#include <windows.h>

#include "config/environment_text.h"
#include "splash/loaded_library.h"
#include "splash/splash_rules.h"
#include "support/handle_owners.h"
#include "vm/runtime_bin_folder.h"

namespace {

// Adds the folder of the path to the folders the loader searches with
// LOAD_LIBRARY_SEARCH_DEFAULT_DIRS, for the libraries the splash library
// imports from the runtime. Looked up at run time: a Windows 7 without the
// update that brought AddDllDirectory must still start. The folder stays
// added for the life of the process; failures do not matter.
void addFolderOfPathToDllSearch(const std::wstring& path)
{
    std::optional<std::wstring> folder = folderBeforeLastBackslash(path);
    if (!folder) {
        return;
    }
    using AddDllDirectoryFunction = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);
    auto addDllDirectory = exportedFunction<AddDllDirectoryFunction>(
        GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory");
    if (addDllDirectory != nullptr) {
        (void)addDllDirectory(folder->c_str());
    }
}

}  // namespace

std::wstring runtimeSplashLibraryPath(const std::wstring& jvmLibraryPath)
{
    std::wstring path = splashLibraryPathIn(runtimeBinFolder(jvmLibraryPath));
    if (path.empty()) {
        return {};
    }
    WIN32_FIND_DATAW found{};
    FindHandleOwner search(FindFirstFileW(path.c_str(), &found));
    return search ? path : std::wstring();
}

bool startRuntimeSplash(const std::wstring& libraryPath, const std::wstring& picturePath,
                        const std::wstring& jvmLibraryPath, SplashCloseFunction& runtimeSplashClose)
{
    addFolderOfPathToDllSearch(libraryPath);
    addFolderOfPathToDllSearch(jvmLibraryPath);
    // Never freed: the library draws on threads of its own, and the runtime
    // may close the picture at any time.
    HMODULE library =
        LoadLibraryExW(libraryPath.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr) {
        return false;
    }
    auto init = exportedFunction<SplashInitFunction>(library, "SplashInit");
    auto loadFile = exportedFunction<SplashLoadFileFunction>(library, "SplashLoadFile");
    auto setFileJarName =
        exportedFunction<SplashSetFileJarNameFunction>(library, "SplashSetFileJarName");
    auto close = exportedFunction<SplashCloseFunction>(library, "SplashClose");

    if (close != runtimeSplashClose) {
        if (runtimeSplashClose != nullptr) {
            runtimeSplashClose();
        }
        runtimeSplashClose = close;
    }
    if (init == nullptr || loadFile == nullptr || setFileJarName == nullptr) {
        return false;
    }
    std::string picture = wideToAnsi(picturePath);
    init();
    loadFile(picture.c_str());
    setFileJarName(picture.c_str(), "");
    return true;
}
