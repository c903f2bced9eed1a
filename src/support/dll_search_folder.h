// The folders the loader searches for the dependencies of a library loaded
// with LOAD_LIBRARY_SEARCH_DEFAULT_DIRS.
#pragma once

#include <string>

// Adds the folder for the life of the process (AddDllDirectory). Looked up at
// run time: a Windows 7 without the update that brought it must still start
// the launcher. A folder that cannot be added is left out; the load that
// follows says what is missing.
void addDllSearchFolder(const std::wstring& folder);
