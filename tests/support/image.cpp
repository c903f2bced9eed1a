#include "support/image.h"

#include <algorithm>
#include <cstdlib>

namespace harness {

Image::Image(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0))
{
    if (width_ == 0 || height_ == 0) {
        width_ = 0;
        height_ = 0;
        return;
    }
    samples_.reserve(static_cast<size_t>(width_) * height_ * 3);
    for (int i = 0; i < width_ * height_; ++i) {
        samples_.push_back(fill.red);
        samples_.push_back(fill.green);
        samples_.push_back(fill.blue);
    }
}

Colour Image::pixel(int x, int y) const
{
    size_t at = (static_cast<size_t>(y) * width_ + x) * 3;
    return {samples_.at(at), samples_.at(at + 1), samples_.at(at + 2)};
}

void Image::setPixel(int x, int y, Colour colour)
{
    size_t at = (static_cast<size_t>(y) * width_ + x) * 3;
    samples_.at(at) = colour.red;
    samples_.at(at + 1) = colour.green;
    samples_.at(at + 2) = colour.blue;
}

Image Image::crop(int left, int top, int width, int height) const
{
    int right = std::min(left + width, width_);
    int bottom = std::min(top + height, height_);
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (right <= left || bottom <= top) {
        return {};
    }
    Image part(right - left, bottom - top);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            part.setPixel(x - left, y - top, pixel(x, y));
        }
    }
    return part;
}

int colourDistance(Colour first, Colour second)
{
    return std::max({std::abs(first.red - second.red), std::abs(first.green - second.green),
                     std::abs(first.blue - second.blue)});
}

int countPixelsNear(const Image& image, Colour colour, int tolerance)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (colourDistance(image.pixel(x, y), colour) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

std::optional<int> countDifferentPixels(const Image& first, const Image& second, int tolerance)
{
    if (first.width() != second.width() || first.height() != second.height()) {
        return std::nullopt;
    }
    int count = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (colourDistance(first.pixel(x, y), second.pixel(x, y)) > tolerance) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace harness
