// A read-only look at a PE file's headers, for the JVM library's bitness.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

struct PeImageInfo {
    bool validImage = false;  // "PE\0\0" signature found
    bool isPe32Plus = false;  // optional header magic 0x20B
    WORD machine = 0;         // file header machine field
};

constexpr WORD kMachineX86 = 0x014C;

// Maps the file and reads its NT headers through ImageNtHeader of Dbghelp.dll,
// loaded for the call. Nothing when the file cannot be opened or mapped, is not
// an "MZ" image, or Dbghelp.dll is missing.
[[nodiscard]] std::optional<PeImageInfo> readPeImageInfo(const std::wstring& path);
