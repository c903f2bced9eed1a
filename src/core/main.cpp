// The process entry: one Launcher, its two steps, and the exit code.
#include <windows.h>

#include "core/launcher.h"
#include "support/diagnostic_trace.h"
#include "support/dll_search_folder.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // First of all: no library loaded from here on, by this process, the JVM or
    // the product's native code, is picked up from the current folder. The
    // process-wide LOAD_LIBRARY_SEARCH_* default is not set: it would drop PATH,
    // and with it "System Path", from the search for the dependencies of the
    // product's native libraries.
    if (leaveCurrentFolderOutOfDllSearch()) {
        traceLine({L"DLL search: the current folder is left out"});
    } else {
        const DWORD error = GetLastError();
        traceLine(
            {L"DLL search: the current folder could not be left out, error ", traceNumber(error)});
    }
    int exitCode = -1;
    {
        Launcher launcher;
        // Every 8-bit conversion uses the thread's code page: make it the system's.
        SetThreadLocale(GetSystemDefaultLCID());
        // Gives the main thread its message queue before anyone can post to it: a
        // later start receives the first instance's answer as a thread message.
        DefWindowProcW(nullptr, 0, 0, 0);
        if (launcher.initialize()) {
            exitCode = launcher.run();
        } else {
            traceLine({L"exit code -1: the start stopped before the Java program"});
        }
    }
    return exitCode;
}
