// The splash picture shown while the VM starts: the runtime's splash library
// or the launcher's own window.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

class SplashScreen {
public:
    SplashScreen() = default;
    ~SplashScreen();
    SplashScreen(const SplashScreen&) = delete;
    SplashScreen& operator=(const SplashScreen&) = delete;

    // Reads the "Display" settings and shows the picture.
    void startSplash(const std::wstring& jvmLibraryPath);

    // Ends the own splash window's thread and destroys the window.
    void closeSplashWindow();

    // Calls the runtime splash library's close function once, if it was kept.
    void callRuntimeSplashClose();

    // The owner of error boxes: the splash window once it exists. Written by
    // the splash thread, read by any thread that shows a box.
    HWND ownerWindow() const { return ownerWindow_.load(); }

private:
    std::atomic<HWND> ownerWindow_{nullptr};
    void(__cdecl* runtimeSplashClose_)() = nullptr;
};
