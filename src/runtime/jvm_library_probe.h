// Looking inside a runtime's home folder: its JVM library and its java.dll.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct JvmLibraryLocation {
    std::wstring path;  // the home folder followed by e.g. "bin\server\jvm.dll"
    bool isServerJvm = false;
};

// The JVM library under the home folder (normally ending with "\") that the
// JVM type accepts, tried in the order of jvmLibraryProbeOrder. Nothing when
// none is there.
[[nodiscard]] std::optional<JvmLibraryLocation> findJvmLibrary(const std::wstring& homeFolder,
                                                               int jvmType);

// Whether "bin\java.dll" exists under the folder (normally ending with "\").
[[nodiscard]] bool hasJavaDll(const std::wstring& folder);

// Whether a file (not a folder) of that relative path exists under the folder.
[[nodiscard]] bool hasFileBelow(const std::wstring& folder, std::wstring_view relativePath);
