// What the splash tests look at on the screen: the launcher's splash windows
// and whether their pixels are the picture's.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "support/image.h"

namespace splash_test {

inline constexpr wchar_t kSplashClass[] = L"SplashScreenWindow";
// How long a test waits for a window to appear or to be painted.
inline constexpr DWORD kWindowLimitMilliseconds = 10000;

// Every SplashScreenWindow of the process, shown or not.
std::vector<HWND> splashWindowsOf(DWORD processId);

// The first SplashScreenWindow of the process, shown or not; none at the limit.
std::optional<HWND> waitForSplashWindow(DWORD processId,
                                        DWORD limitMilliseconds = kWindowLimitMilliseconds);

// How many pixels of the screen inside the rectangle differ from the part of
// the picture that lies there (picture placed with its top left corner at
// pictureLeft, pictureTop); polls until none do or the limit passes, since the
// window paints on its own thread. Screen parts outside the rectangle given are
// not compared.
std::optional<int> pixelsDifferingFromPicture(const harness::Image& picture, int pictureLeft,
                                              int pictureTop, const RECT& screenPart,
                                              DWORD limitMilliseconds = kWindowLimitMilliseconds);

// The window's class style, where CS_DROPSHADOW shows.
DWORD classStyleOf(HWND window);

// Saves the window as a screenshot for a person to look at; a failure to
// save is reported as a test failure.
void saveSplashScreenshot(std::wstring_view name, HWND window);

}  // namespace splash_test
