#include "splash/splash_screen.h"

// No splash picture is shown yet: nothing is started, so there is nothing to
// close.

SplashScreen::~SplashScreen()
{
    closeSplashWindow();
}

void SplashScreen::startSplash(const std::wstring&) {}

void SplashScreen::closeSplashWindow() {}

void SplashScreen::callRuntimeSplashClose()
{
    if (auto close = runtimeSplashClose_) {
        runtimeSplashClose_ = nullptr;
        close();
    }
}
