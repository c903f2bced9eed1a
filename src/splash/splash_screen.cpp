#include "splash/splash_screen.h"

#include "splash/splash_rules.h"
#include "support/diagnostic_trace.h"

namespace {

// How long closeSplashWindow waits for the splash thread before it posts
// WM_QUIT again, in case the thread had no message queue yet.
constexpr DWORD kQuitRepostMilliseconds = 10;

}  // namespace

SplashScreen::~SplashScreen()
{
    closeSplashWindow();
}

void SplashScreen::startSplash(const SplashSettings& settings, const std::wstring& jvmLibraryPath)
{
    // The picture's path is used as written: no variable expansion.
    splashPicture_ = settings.picture;
    splashShadow_ = settings.shadow;
    if (splashPicture_.empty()) {
        traceLine({L"splash: none, no Splash Screen set"});
        return;
    }
    std::wstring libraryPath = runtimeSplashLibraryPath(jvmLibraryPath);
    if (nativeSplashPreferred(settings.preferNative) && !libraryPath.empty() &&
        startRuntimeSplash(libraryPath, splashPicture_, jvmLibraryPath, runtimeSplashClose_)) {
        traceLine({L"splash: the runtime's own, ", libraryPath, L", picture ", splashPicture_});
        return;
    }
    traceLine({L"splash: the launcher's window, picture ", splashPicture_});
    startSplashThread();
}

void SplashScreen::startSplashThread()
{
    splashWindow_ = std::make_unique<SplashWindow>();
    // A thread that cannot start means no splash; the run goes on.
    splashThread_.reset(CreateThread(nullptr, 0, splashThreadMain, this, 0, &splashThreadId_));
}

DWORD WINAPI SplashScreen::splashThreadMain(void* parameter)
{
    auto* splash = static_cast<SplashScreen*>(parameter);
    HWND window = splash->splashWindow_->createSplashWindow(splash->splashPicture_,
                                                            shadowWanted(splash->splashShadow_));
    splash->ownerWindow_.store(window);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Boxes shown from now on must not name a window that is going away.
    splash->ownerWindow_.store(nullptr);
    if (window != nullptr) {
        DestroyWindow(window);
    }
    return 0;
}

void SplashScreen::closeSplashWindow()
{
    if (!splashWindow_) {
        return;
    }
    if (splashThread_) {
        // The thread may not have its message queue yet, so the quit message
        // is posted again until the thread has ended.
        do {
            PostThreadMessageW(splashThreadId_, WM_QUIT, 0, 0);
        } while (WaitForSingleObject(splashThread_.get(), kQuitRepostMilliseconds) == WAIT_TIMEOUT);
        splashThread_.reset();
    }
    splashWindow_.reset();
}

void SplashScreen::callRuntimeSplashClose()
{
    if (SplashCloseFunction close = runtimeSplashClose_) {
        runtimeSplashClose_ = nullptr;
        close();
    }
}

HWND SplashScreen::ownerWindow() const
{
    // Some other code may have closed the window through its class.
    HWND window = ownerWindow_.load();
    return window != nullptr && IsWindow(window) ? window : nullptr;
}
