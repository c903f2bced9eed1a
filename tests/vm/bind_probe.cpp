// Binds the JVM library named on its command line through the launcher's own
// bindJvmLibrary, with the launcher's string table, and ends with 0 when the
// bind succeeded and 1 when it failed (after the box it showed was closed).
//   bind_probe <path>
//   bind_probe --without-search-flags <path>
//                 binds as a Windows 7 without the LOAD_LIBRARY_SEARCH_*
//                 flags does, through the launcher's full-path fallback
//   bind_probe --load-only <path>
//                 loads the library as the bind does but without adding the
//                 runtime's bin folder to the search path; ends with 0 when
//                 it loaded, else with the system's error number
#include <windows.h>
// After windows.h, which it needs.
#include <string>
#include <vector>

#include "support/command_line.h"
#include "support/dll_search_folder.h"
#include "vm/jvm_entry_points.h"
#include "vm/jvm_library.h"

namespace {

constexpr int kUsageError = 2;

std::vector<std::wstring> commandLineArguments()
{
    std::vector<std::wstring> arguments =
        harness::splitCommandLine(GetCommandLineW()).value_or(std::vector<std::wstring>());
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());  // the program
    }
    return arguments;
}

int loadOnly(const std::wstring& path)
{
    if (LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS) != nullptr) {
        return 0;
    }
    return static_cast<int>(GetLastError());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::vector<std::wstring> arguments = commandLineArguments();
    if (arguments.size() == 2 && arguments[0] == L"--load-only") {
        return loadOnly(arguments[1]);
    }
    if (arguments.size() == 2 && arguments[0] == L"--without-search-flags") {
        pretendLibrarySearchFlagsMissing();
        arguments.erase(arguments.begin());
    }
    if (arguments.size() != 1) {
        return kUsageError;
    }
    JvmEntryPoints entries;
    return bindJvmLibrary(nullptr, arguments[0], entries) ? 0 : 1;
}
