// The folders the loader searches for the libraries the launcher's process
// loads at run time and for their dependencies.
#pragma once

#include <windows.h>

#include <string>

// Takes the current folder out of the search for every later load by bare
// name, the JVM's, AWT's and the product's native code's included
// (SetDllDirectoryW with an empty text). The current folder is whatever the
// caller chose: a document's folder, a download folder, a share. False when
// the call failed; its error is then the last error.
[[nodiscard]] bool leaveCurrentFolderOutOfDllSearch() noexcept;

// Whether LoadLibraryExW takes the LOAD_LIBRARY_SEARCH_* flags. A Windows 7
// without the update that brought AddDllDirectory rejects them with
// ERROR_INVALID_PARAMETER; there the functions below fall back to full-path
// loads.
bool librarySearchFlagsAvailable() noexcept;

// For tests: from now on this process loads as a Windows 7 without that
// update does, so that the fallback can be tried on any Windows.
void pretendLibrarySearchFlagsMissing() noexcept;

// Adds the folder to the search for the life of the process (AddDllDirectory,
// looked up at run time). Where that is missing the folder becomes the one
// DLL directory instead (SetDllDirectoryW): the folder added last is then
// the one searched. A folder that cannot be added is left out; the load that
// follows says what is missing.
void addDllSearchFolder(const std::wstring& folder);

// Loads the library at the full path given, its dependencies searched in the
// folders added above and the system folder (LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
// where the flags are missing, in the library's own folder, the folder added
// last and the system folders (LOAD_WITH_ALTERED_SEARCH_PATH). nullptr when it
// cannot be loaded, with the loader's error as the last error.
HMODULE loadLibraryWithDependencies(const std::wstring& path) noexcept;
