#include "splash/splash_checks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/polling.h"
#include "support/screenshot.h"
#include "support/ui_driver.h"

namespace splash_test {

namespace {

// Wine draws the picture exactly; a little room for a screen of fewer colours.
constexpr int kColourTolerance = 8;
constexpr DWORD kPollMilliseconds = 100;

}  // namespace

std::vector<HWND> splashWindowsOf(DWORD processId)
{
    std::vector<HWND> found;
    for (HWND window : harness::topLevelWindowsOf(processId, false)) {
        if (harness::windowClassName(window) == kSplashClass) {
            found.push_back(window);
        }
    }
    return found;
}

std::optional<HWND> waitForSplashWindow(DWORD processId, DWORD limitMilliseconds)
{
    std::vector<HWND> windows;
    auto found = [&] {
        windows = splashWindowsOf(processId);
        return !windows.empty();
    };
    static_cast<void>(harness::pollUntil(found, limitMilliseconds, kPollMilliseconds));
    return windows.empty() ? std::nullopt : std::optional<HWND>(windows.front());
}

std::optional<int> pixelsDifferingFromPicture(const harness::Image& picture, int pictureLeft,
                                              int pictureTop, const RECT& screenPart,
                                              DWORD limitMilliseconds)
{
    harness::Image expected =
        picture.crop(screenPart.left - pictureLeft, screenPart.top - pictureTop,
                     screenPart.right - screenPart.left, screenPart.bottom - screenPart.top);
    std::optional<int> differing;
    auto matching = [&] {
        std::optional<harness::Image> shown = harness::captureScreenRect(screenPart);
        differing = shown ? harness::countDifferentPixels(*shown, expected, kColourTolerance)
                          : std::nullopt;
        return differing == 0;
    };
    static_cast<void>(harness::pollUntil(matching, limitMilliseconds, kPollMilliseconds));
    return differing;
}

DWORD classStyleOf(HWND window)
{
    return static_cast<DWORD>(GetClassLongPtrW(window, GCL_STYLE));
}

void saveSplashScreenshot(std::wstring_view name, HWND window)
{
    EXPECT_TRUE(harness::saveScreenshot(name, window).has_value())
        << "the screenshot could not be saved";
}

}  // namespace splash_test
