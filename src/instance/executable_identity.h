// What makes two starts "the same executable": one spelling of its path, and
// whether another process runs it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The path in one spelling whatever way the executable was started: every
// short (8.3) component in its long form, then upper case (the file system
// ignores letter case). The path as given, upper case, when the system cannot
// tell the long form (a file that is gone).
std::wstring normalizedExecutablePath(std::wstring_view path);

// True when the process runs the executable whose normalized path is given:
// the process can be opened and its image name, normalized, is the same.
[[nodiscard]] bool processRunsExecutable(DWORD processId, const std::wstring& normalizedPath);
