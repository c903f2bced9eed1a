// The splash screen's rules that need no window: where the picture goes on
// the screen, which setting texts switch what on, and where the runtime's
// splash library lies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The splash window's rectangle on the primary screen, in pixels.
struct SplashPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The picture centred on the screen: each offset is half the room left,
// divided toward zero, so a picture wider than the screen overhangs both
// edges evenly (1001 pixels on 800 give x = -100, not -101). A picture too
// large for a window's int sizes is cut to the largest size that fits.
SplashPlacement centredPlacement(int screenWidth, int screenHeight, std::uint32_t pictureWidth,
                                 std::uint32_t pictureHeight);

// "Splash Screen Shadow": only the exact text "true" asks for the drop shadow.
bool shadowWanted(std::wstring_view settingText);

// "Preffer Native Splash Screen": "Yes" in any letter case chooses the
// runtime's own splash library.
bool nativeSplashPreferred(std::wstring_view settingText);

// The runtime's splash library in its bin folder: "splashscreen.dll" after a
// backslash unless the folder already ends in a backslash or a slash. Empty
// for an empty folder.
std::wstring splashLibraryPathIn(std::wstring_view binFolder);

// The text before the path's last backslash, the folder the loader is told
// to search; none for a path without a backslash.
std::optional<std::wstring> folderBeforeLastBackslash(std::wstring_view path);
