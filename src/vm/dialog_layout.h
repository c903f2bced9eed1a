// The arithmetic of the exception dialog's resizing, kept apart from the
// window calls so that it can be checked on its own.
#pragma once

#include <cstdint>

// A rectangle in pixels; right and bottom are exclusive, as in a Windows RECT.
struct PixelBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool operator==(const PixelBox&) const = default;
};

// How a control follows the dialog when its client area grows or shrinks.
// The flags combine: a button in the bottom-right corner moves right and down.
enum ResizeRule : std::uint8_t {
    keepsPlace = 0,
    growsInWidth = 1,
    growsInHeight = 2,
    movesRight = 4,
    movesDown = 8,
};

// The control's rectangle for a client area that is widthChange and
// heightChange pixels larger than when the rectangle was recorded (negative
// when smaller).
PixelBox laidOutBox(const PixelBox& recorded, std::uint8_t rules, std::int32_t widthChange,
                    std::int32_t heightChange);
