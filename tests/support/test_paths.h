// Where the programs under test are and where tests leave what a person may
// want to look at afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace harness {

// The folder of the running test program, without a trailing backslash.
std::wstring testProgramFolder();

// The launcher built in the same tree as the tests (tarvo.exe, or tarvo32.exe
// in the 32-bit tree), which the build puts beside them.
std::wstring launcherPath();

// The 32-bit launcher of the paired build, when this tree was configured with one.
std::optional<std::wstring> pairLauncherPath();

// The console build beside the tests (tarvoc.exe, or tarvoc32.exe in the
// 32-bit tree), and the paired tree's tarvoc32.exe when there is one.
std::wstring consoleLauncherPath();
std::optional<std::wstring> pairConsoleLauncherPath();

// A probe program built beside the tests, e.g. L"error_box_probe.exe".
std::wstring probePath(std::wstring_view fileName);

// The folder for screenshots: TARVO_SCREENSHOT_DIR from the environment, else
// test-screenshots in the build tree. Created when missing.
std::wstring screenshotFolder();

// A path as the build wrote it: a Unix path becomes the same file seen through
// Wine's drive Z: ("/tmp/x" is "Z:\tmp\x"); a Windows path stays as it is.
std::wstring windowsPathFromBuildPath(std::string_view path);

// The part of a path before its last backslash or slash.
std::wstring folderOf(std::wstring_view path);

// Creates the folder and any missing parents; true when it exists afterwards.
[[nodiscard]] bool createFolderTree(const std::wstring& folder);

// The path with the \\?\ prefix that lifts the 260-character limit, for
// absolute drive and UNC paths; others stay as they are.
std::wstring extendedLengthPath(const std::wstring& path);

}  // namespace harness
