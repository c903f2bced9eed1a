// The splash picture shown while the VM starts: the runtime's splash library
// or the launcher's own window on a thread of its own.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "config/launcher_settings.h"
#include "splash/runtime_splash.h"
#include "splash/splash_window.h"
#include "support/handle_owners.h"

class SplashScreen {
public:
    SplashScreen() = default;
    ~SplashScreen();
    SplashScreen(const SplashScreen&) = delete;
    SplashScreen& operator=(const SplashScreen&) = delete;

    // Shows the picture: through the runtime's splash library when it is
    // preferred and works, otherwise in the own window on the splash thread.
    // Nothing happens without a picture.
    void startSplash(const SplashSettings& settings, const std::wstring& jvmLibraryPath);

    // Ends the own splash window's thread and destroys the window; nothing
    // when there is no own window.
    void closeSplashWindow();

    // Calls the runtime splash library's close function once, if it was kept.
    void callRuntimeSplashClose();

    // The owner of error boxes: the splash window while it exists, else
    // nullptr. Written by the splash thread, read by any thread that shows a
    // box.
    HWND ownerWindow() const;

private:
    static DWORD WINAPI splashThreadMain(void* parameter);
    void startSplashThread();

    // Written before the splash thread starts; it only reads them.
    std::wstring splashPicture_;
    std::wstring splashShadow_;
    std::unique_ptr<SplashWindow> splashWindow_;
    KernelHandle splashThread_;
    DWORD splashThreadId_ = 0;

    std::atomic<HWND> ownerWindow_{nullptr};
    SplashCloseFunction runtimeSplashClose_ = nullptr;
};
