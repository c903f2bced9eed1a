// Pictures of what is on the screen, read back from the screen itself (a
// window of another process drawn into a bitmap comes out black under Wine),
// saved as PNG files for a person to look at, and read pixel by pixel for
// colour checks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "support/image.h"

namespace harness {

// The screen's pixels inside the rectangle (screen coordinates).
std::optional<Image> captureScreenRect(const RECT& rect);
std::optional<Image> captureScreen();
// The window's rectangle as the screen shows it, frame included: whatever
// covers the window is in the picture too.
std::optional<Image> captureWindow(HWND window);
// One pixel of the screen.
std::optional<Colour> screenPixel(POINT point);

// The icon drawn at the given size over a plain background, as a static
// control draws it.
std::optional<Image> renderIcon(HICON icon, int width, int height, Colour background);

// A picture file (PNG, BMP, JPEG, ...) decoded with GDI+, loaded at run time
// as the launcher's splash picture is; nothing when it cannot be read.
std::optional<Image> loadPicture(const std::wstring& path);

[[nodiscard]] bool savePng(const Image& image, const std::wstring& path);

// Saves the window (or the whole screen for nullptr) as "<name>.png" in the
// screenshot folder; gives the file's path.
std::optional<std::wstring> saveScreenshot(std::wstring_view name, HWND window = nullptr);

}  // namespace harness
