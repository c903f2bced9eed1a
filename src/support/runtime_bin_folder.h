// The runtime's bin folder, told from the path of its JVM library.
#pragma once

#include <string>
#include <string_view>

// The path with its last two components removed: C:\Java\jre\bin\server\jvm.dll
// gives C:\Java\jre\bin. Each removal cuts the text before its last backslash;
// a text without a backslash stays as it is, so a bare file name comes back
// unchanged.
std::wstring runtimeBinFolder(std::wstring_view jvmLibraryPath);
