// Where a runtime keeps its JVM library, relative to its home folder, and in
// which order the JVM types look for it.
#pragma once

#include <string_view>
#include <vector>

inline constexpr std::wstring_view kServerJvmLibrary = L"bin\\server\\jvm.dll";
inline constexpr std::wstring_view kClientJvmLibrary = L"bin\\client\\jvm.dll";
inline constexpr std::wstring_view kJavaDll = L"bin\\java.dll";

// The library paths to try, first match wins: the server library alone for a
// server-only policy (1), the server library first when it is favoured (2),
// otherwise client, classic, hotspot, server and jrockit.
std::vector<std::wstring_view> jvmLibraryProbeOrder(int jvmType);
