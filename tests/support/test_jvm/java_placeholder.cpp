// Stands for <home>\bin\java.dll of the test Java runtime. The launcher only
// tests that the file exists when it accepts a folder as a runtime; a DLL that
// loads keeps the layout honest should anything load it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
