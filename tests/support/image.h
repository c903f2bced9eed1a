// A picture as rows of 8-bit red, green and blue samples, and the pixel
// questions tests ask of screenshots. No Windows header: built natively too.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace harness {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Colour&) const = default;
};

class Image {
public:
    Image() = default;
    // A picture of the given size filled with one colour.
    Image(int width, int height, Colour fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    // Three bytes per pixel, red first, rows from the top, no padding.
    const std::vector<std::uint8_t>& samples() const { return samples_; }

    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour colour);

    // The part inside the rectangle, clipped to the picture; empty when nothing is left.
    Image crop(int left, int top, int width, int height) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> samples_;
};

// The largest difference of one channel between the two colours.
int colourDistance(Colour first, Colour second);

// How many pixels lie within the tolerance of the colour.
int countPixelsNear(const Image& image, Colour colour, int tolerance);

// How many pixels of two pictures of the same size differ by more than the
// tolerance; nothing when the sizes differ.
std::optional<int> countDifferentPixels(const Image& first, const Image& second, int tolerance);

}  // namespace harness
