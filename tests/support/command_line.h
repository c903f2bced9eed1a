// A command line split the way the system splits it, for the test programs
// and probes that read their own or check the runner's quoting.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "support/owner.h"

namespace harness {

// The parts CommandLineToArgvW finds, the program first; nothing when the
// line cannot be split.
inline std::optional<std::vector<std::wstring>> splitCommandLine(const wchar_t* commandLine)
{
    int count = 0;
    Owner<LPWSTR*, &LocalFree> parts(CommandLineToArgvW(commandLine, &count));
    if (!parts) {
        return std::nullopt;
    }
    return std::vector<std::wstring>(parts.get(), parts.get() + count);
}

}  // namespace harness
