// The test runtime's stand-in for a Java runtime's splash library
// (bin\splashscreen.dll): its four exports record their calls in the test
// runtime's trace and show nothing. Built without "SplashSetFileJarName" too
// (TEST_SPLASH_WITHOUT_JAR_NAME), as a library the launcher cannot use.
#include <windows.h>

#include <string>

#include "support/test_jvm/trace.h"

using namespace test_jvm;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        traceLine("splashscreen loaded " + utf8FromWide(modulePath(instance)));
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void __cdecl SplashInit()
{
    traceLine("SplashInit");
}

// Paths come in the thread's ANSI code page and are traced in UTF-8.
extern "C" __declspec(dllexport) int __cdecl SplashLoadFile(const char* picturePath)
{
    traceLine("SplashLoadFile file=" + utf8FromAnsi(picturePath));
    return 1;
}

#ifndef TEST_SPLASH_WITHOUT_JAR_NAME
extern "C" __declspec(dllexport) void __cdecl SplashSetFileJarName(const char* picturePath,
                                                                   const char* jarName)
{
    traceLine("SplashSetFileJarName file=" + utf8FromAnsi(picturePath) +
              " jar=" + utf8FromAnsi(jarName));
}
#endif

extern "C" __declspec(dllexport) void __cdecl SplashClose()
{
    traceLine("SplashClose");
}
