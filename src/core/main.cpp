// The process entry: one Launcher, its two steps, and the exit code.
#include <windows.h>

#include "core/launcher.h"
#include "support/diagnostic_trace.h"

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
        if (launcher.initialize()) {
            exitCode = launcher.run();
        } else {
            traceLine({L"exit code -1: the start stopped before the Java program"});
        }
    }
    return exitCode;
}
