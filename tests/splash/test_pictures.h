// Test pictures for the splash screen with known colours in known places,
// and the files GDI+ reads them from.
#pragma once

#include <string>

#include "support/image.h"

namespace splash_test {

inline constexpr harness::Colour kRed{220, 30, 40};
inline constexpr harness::Colour kGreen{20, 200, 60};
inline constexpr harness::Colour kBlue{30, 50, 210};
inline constexpr harness::Colour kYellow{240, 220, 20};

// Four quadrants: red top left, green top right, blue bottom left, yellow
// bottom right; odd sizes put the extra row and column in the lower and
// right quadrants.
harness::Image quadrantPicture(int width, int height);

// The colour quadrantPicture has at the point.
harness::Colour quadrantColourAt(int width, int height, int x, int y);

// A 24-bit BMP file, bottom-up rows padded to four bytes, written byte by byte.
std::string bmpFileBytes(const harness::Image& picture);

// A PNG file through the harness's writer.
std::string pngFileBytes(const harness::Image& picture);

}  // namespace splash_test
