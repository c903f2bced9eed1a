#include "splash/runtime_splash.h"

#include <windows.h>

#include "config/environment_text.h"
#include "splash/splash_rules.h"
#include "support/dll_search_folder.h"
#include "support/handle_owners.h"
#include "support/loaded_library.h"
#include "support/runtime_bin_folder.h"

namespace {

// The libraries the splash library imports from the runtime are found beside it.
void addFolderOfPathToDllSearch(const std::wstring& path)
{
    if (std::optional<std::wstring> folder = folderBeforeLastBackslash(path)) {
        addDllSearchFolder(*folder);
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
    FindHandle search(FindFirstFileW(path.c_str(), &found));
    return search ? path : std::wstring();
}

bool startRuntimeSplash(const std::wstring& libraryPath, const std::wstring& picturePath,
                        const std::wstring& jvmLibraryPath, SplashCloseFunction& runtimeSplashClose)
{
    addFolderOfPathToDllSearch(libraryPath);
    addFolderOfPathToDllSearch(jvmLibraryPath);
    // Never freed: the library draws on threads of its own, and the runtime
    // may close the picture at any time.
    HMODULE library = loadLibraryWithDependencies(libraryPath);
    if (library == nullptr) {
        return false;
    }
    SplashInitFunction init = nullptr;
    SplashLoadFileFunction loadFile = nullptr;
    SplashSetFileJarNameFunction setFileJarName = nullptr;
    SplashCloseFunction close = nullptr;
    const bool complete = lookUp(library, "SplashInit", init) &&
                          lookUp(library, "SplashLoadFile", loadFile) &&
                          lookUp(library, "SplashSetFileJarName", setFileJarName);
    // Taken even from a library that lacks the others.
    (void)lookUp(library, "SplashClose", close);

    if (close != runtimeSplashClose) {
        if (runtimeSplashClose != nullptr) {
            runtimeSplashClose();
        }
        runtimeSplashClose = close;
    }
    if (!complete) {
        return false;
    }
    std::string picture = wideToAnsi(picturePath);
    init();
    loadFile(picture.c_str());
    setFileJarName(picture.c_str(), "");
    return true;
}
