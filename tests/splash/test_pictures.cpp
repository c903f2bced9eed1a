#include "splash/test_pictures.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "support/png_writer.h"

namespace splash_test {

namespace {

void putLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int index = 0; index < size; ++index) {
        bytes.push_back(static_cast<char>((value >> (8 * index)) & 0xFF));
    }
}

}  // namespace

harness::Colour quadrantColourAt(int width, int height, int x, int y)
{
    bool right = x >= width / 2;
    bool bottom = y >= height / 2;
    if (bottom) {
        return right ? kYellow : kBlue;
    }
    return right ? kGreen : kRed;
}

harness::Image quadrantPicture(int width, int height)
{
    harness::Image picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, quadrantColourAt(width, height, x, y));
        }
    }
    return picture;
}

std::string bmpFileBytes(const harness::Image& picture)
{
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(picture.width()) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowSize * static_cast<std::uint32_t>(picture.height());
    const std::uint32_t headersSize = 14 + 40;
    std::string bytes = "BM";
    putLittleEndian(bytes, headersSize + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);            // reserved
    putLittleEndian(bytes, headersSize, 4);  // where the pixels start
    putLittleEndian(bytes, 40, 4);           // BITMAPINFOHEADER
    putLittleEndian(bytes, static_cast<std::uint32_t>(picture.width()), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(picture.height()), 4);  // bottom-up
    putLittleEndian(bytes, 1, 2);                                             // planes
    putLittleEndian(bytes, 24, 2);                                            // bits per pixel
    putLittleEndian(bytes, 0, 4);                                             // BI_RGB
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, 2835, 4);  // 72 dots per inch
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 0, 4);
    for (int y = picture.height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < picture.width(); ++x) {
            harness::Colour colour = picture.pixel(x, y);
            row.push_back(static_cast<char>(colour.blue));
            row.push_back(static_cast<char>(colour.green));
            row.push_back(static_cast<char>(colour.red));
        }
        row.resize(rowSize, '\0');
        bytes += row;
    }
    return bytes;
}

std::string pngFileBytes(const harness::Image& picture)
{
    std::optional<std::vector<std::uint8_t>> bytes = harness::encodePng(picture);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace splash_test
