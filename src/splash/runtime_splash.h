// The Java runtime's own splash library, bin\splashscreen.dll, which can show
// the picture instead of the launcher's window.
#pragma once

#include <string>

// The library's four exports the launcher calls; their results are not used.
using SplashInitFunction = void(__cdecl*)();
using SplashLoadFileFunction = void(__cdecl*)(const char* picturePath);
using SplashSetFileJarNameFunction = void(__cdecl*)(const char* picturePath, const char* jarName);
using SplashCloseFunction = void(__cdecl*)();

// <bin>\splashscreen.dll of the runtime whose JVM library is given
// (C:\rt\bin\server\jvm.dll gives C:\rt\bin\splashscreen.dll); empty when
// there is no such file.
std::wstring runtimeSplashLibraryPath(const std::wstring& jvmLibraryPath);

// Loads the library (never freed) and asks it to show the picture, whose path
// it gets in the thread's ANSI code page. The library's "SplashClose" replaces
// runtimeSplashClose, which is called first when it was another one. True
// when the library shows the picture; false when it cannot be loaded or lacks
// one of the other three exports (a "SplashClose" found stays stored).
[[nodiscard]] bool startRuntimeSplash(const std::wstring& libraryPath,
                                      const std::wstring& picturePath,
                                      const std::wstring& jvmLibraryPath,
                                      SplashCloseFunction& runtimeSplashClose);
