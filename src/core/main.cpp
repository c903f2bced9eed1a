// The process entry: one Launcher, its two steps, and the exit code.
#include <windows.h>

#include "core/launcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int exitCode = -1;
    {
        Launcher launcher;
        // Every 8-bit conversion uses the thread's code page: make it the system's.
        SetThreadLocale(GetSystemDefaultLCID());
        // Gives the main thread its message queue before anyone can post to it: a
        // later start receives the first instance's answer as a thread message.
        DefWindowProcW(nullptr, 0, 0, 0);
        exitCode = launcher.initialize() ? launcher.run() : -1;
    }
    return exitCode;
}
