// The PNG packer, read back by a small independent reader: signature, chunk
// order and CRCs, the header fields, and the stored deflate blocks inflated
// back to the exact samples.
#include "support/png_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace harness;

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Bit by bit, unlike the packer's table, so that one cannot hide the other's mistake.
std::uint32_t slowCrc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

std::uint32_t readBigEndian(const std::vector<std::uint8_t>& bytes, size_t at)
{
    return (std::uint32_t{bytes.at(at)} << 24) | (std::uint32_t{bytes.at(at + 1)} << 16) |
           (std::uint32_t{bytes.at(at + 2)} << 8) | std::uint32_t{bytes.at(at + 3)};
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

// Splits the file into chunks, checking the signature and every CRC.
std::vector<Chunk> readChunks(const std::vector<std::uint8_t>& png)
{
    const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    std::vector<Chunk> chunks;
    size_t at = signature.size();
    while (at < png.size()) {
        std::uint32_t length = readBigEndian(png, at);
        EXPECT_LE(at + 12 + length, png.size());
        if (at + 12 + length > png.size()) {
            break;
        }
        std::span<const std::uint8_t> typeAndData(png.data() + at + 4, length + 4);
        EXPECT_EQ(readBigEndian(png, at + 8 + length), slowCrc32(typeAndData));
        chunks.push_back(
            {std::string(png.begin() + at + 4, png.begin() + at + 8),
             std::vector<std::uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

struct StoredStream {
    std::vector<std::uint8_t> data;
    int blocks = 0;
};

// Inflates a zlib stream that holds only stored blocks, checking the header,
// each block's length complement, the final flag and the Adler-32.
StoredStream inflateStored(const std::vector<std::uint8_t>& stream)
{
    StoredStream result;
    EXPECT_GE(stream.size(), 6u);
    EXPECT_EQ(stream.at(0) & 0x0F, 8);  // deflate
    EXPECT_EQ((stream.at(0) * 256 + stream.at(1)) % 31, 0);
    EXPECT_EQ(stream.at(1) & 0x20, 0);  // no preset dictionary
    size_t at = 2;
    bool last = false;
    while (!last && at + 5 <= stream.size()) {
        std::uint8_t flags = stream[at];
        last = (flags & 1) != 0;
        EXPECT_EQ(flags >> 1, 0) << "only stored blocks are expected";
        size_t length = stream[at + 1] | (stream[at + 2] << 8);
        size_t complement = stream[at + 3] | (stream[at + 4] << 8);
        EXPECT_EQ(length ^ 0xFFFF, complement);
        at += 5;
        EXPECT_LE(at + length, stream.size());
        if (at + length > stream.size()) {
            return result;
        }
        result.data.insert(result.data.end(), stream.begin() + at, stream.begin() + at + length);
        at += length;
        ++result.blocks;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(at + 4, stream.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : result.data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(readBigEndian(stream, at), (b << 16) | a);
    return result;
}

// A picture whose every sample differs from its neighbours.
Image patterned(int width, int height)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 13),
                            static_cast<std::uint8_t>(x ^ (y * 3))});
        }
    }
    return image;
}

struct Decoded {
    Image image;
    int blocks = 0;
};

Decoded decode(const std::vector<std::uint8_t>& png)
{
    std::vector<Chunk> chunks = readChunks(png);
    EXPECT_EQ(chunks.size(), 3u);
    if (chunks.size() != 3) {
        return {};
    }
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    const std::vector<std::uint8_t>& header = chunks[0].data;
    EXPECT_EQ(header.size(), 13u);
    if (header.size() != 13) {
        return {};
    }
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin() + 8, header.end()),
              (std::vector<std::uint8_t>{8, 2, 0, 0, 0}));
    int width = static_cast<int>(readBigEndian(header, 0));
    int height = static_cast<int>(readBigEndian(header, 4));

    StoredStream stream = inflateStored(chunks[1].data);
    size_t rowBytes = static_cast<size_t>(width) * 3 + 1;
    EXPECT_EQ(stream.data.size(), rowBytes * height);
    if (stream.data.size() != rowBytes * height) {
        return {};
    }
    Decoded decoded{Image(width, height), stream.blocks};
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(stream.data[rowBytes * y], 0) << "row " << y << " filter";
        for (int x = 0; x < width; ++x) {
            size_t at = rowBytes * y + 1 + x * 3;
            decoded.image.setPixel(x, y,
                                   {stream.data[at], stream.data[at + 1], stream.data[at + 2]});
        }
    }
    return decoded;
}

TEST(PngChecksums, MatchPublishedValues)
{
    EXPECT_EQ(crc32Of(bytesOf("IEND")), 0xAE426082u);
    EXPECT_EQ(crc32Of(bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32Of({}), 0u);
    EXPECT_EQ(adler32Of(bytesOf("Wikipedia")), 0x11E60398u);
    EXPECT_EQ(adler32Of({}), 1u);
}

TEST(PngChecksums, AdlerWrapsAtItsModulus)
{
    // 5553 bytes of 0xFF push both sums past 65521 many times.
    std::vector<std::uint8_t> bytes(5553, 0xFF);
    std::uint64_t a = 1, b = 0;
    for (std::uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(adler32Of(bytes), static_cast<std::uint32_t>((b << 16) | a));
}

TEST(PngWriter, SmallPictureReadsBackExactly)
{
    Image image = patterned(3, 2);
    std::optional<std::vector<std::uint8_t>> png = encodePng(image);
    ASSERT_TRUE(png);
    Decoded decoded = decode(*png);
    EXPECT_EQ(decoded.image.width(), 3);
    EXPECT_EQ(decoded.image.height(), 2);
    EXPECT_EQ(decoded.image.samples(), image.samples());
    EXPECT_EQ(decoded.blocks, 1);
}

TEST(PngWriter, OnePixel)
{
    Image image(1, 1, {255, 0, 128});
    std::optional<std::vector<std::uint8_t>> png = encodePng(image);
    ASSERT_TRUE(png);
    EXPECT_EQ(decode(*png).image.samples(), image.samples());
}

TEST(PngWriter, LargePictureSpansSeveralStoredBlocks)
{
    // 200 rows of 601 bytes: 120200 bytes, more than one block can hold.
    Image image = patterned(200, 200);
    std::optional<std::vector<std::uint8_t>> png = encodePng(image);
    ASSERT_TRUE(png);
    Decoded decoded = decode(*png);
    EXPECT_EQ(decoded.image.samples(), image.samples());
    EXPECT_EQ(decoded.blocks, 2);
}

TEST(PngWriter, DataFillingBlocksExactlyNeedsNoEmptyBlock)
{
    // Rows of 85 bytes (28 pixels): 771 rows fill one block to the byte, 1542 rows two.
    for (int rows : {771, 1542}) {
        Image image = patterned(28, rows);
        std::optional<std::vector<std::uint8_t>> png = encodePng(image);
        ASSERT_TRUE(png);
        Decoded decoded = decode(*png);
        EXPECT_EQ(decoded.image.samples(), image.samples()) << rows << " rows";
        EXPECT_EQ(decoded.blocks, rows / 771) << rows << " rows";
    }
}

TEST(PngWriter, EmptyPictureIsRefused)
{
    EXPECT_FALSE(encodePng(Image()));
    EXPECT_FALSE(encodePng(Image(0, 5)));
    EXPECT_FALSE(encodePng(Image(5, -1)));
}

TEST(ImagePixels, CropClipsToThePicture)
{
    Image image = patterned(10, 8);
    Image part = image.crop(7, 6, 10, 10);
    ASSERT_EQ(part.width(), 3);
    ASSERT_EQ(part.height(), 2);
    EXPECT_EQ(part.pixel(0, 0), image.pixel(7, 6));
    EXPECT_EQ(part.pixel(2, 1), image.pixel(9, 7));
    Image negative = image.crop(-2, -3, 4, 5);
    ASSERT_EQ(negative.width(), 2);
    ASSERT_EQ(negative.height(), 2);
    EXPECT_EQ(negative.pixel(1, 1), image.pixel(1, 1));
    EXPECT_TRUE(image.crop(10, 0, 5, 5).isEmpty());
    EXPECT_TRUE(image.crop(0, 0, 0, 5).isEmpty());
}

TEST(ImagePixels, CountsDifferencesAndNearColours)
{
    Image first(4, 4, {100, 100, 100});
    Image second = first;
    second.setPixel(0, 0, {110, 100, 100});
    second.setPixel(3, 3, {100, 100, 160});
    EXPECT_EQ(countDifferentPixels(first, second, 0), 2);
    EXPECT_EQ(countDifferentPixels(first, second, 10), 1);
    EXPECT_EQ(countDifferentPixels(first, second, 60), 0);
    EXPECT_FALSE(countDifferentPixels(first, Image(4, 3, {100, 100, 100}), 0));
    EXPECT_EQ(countPixelsNear(second, {100, 100, 100}, 0), 14);
    EXPECT_EQ(countPixelsNear(second, {105, 100, 100}, 5), 15);
    EXPECT_EQ(colourDistance({0, 255, 10}, {5, 0, 20}), 255);
}

}  // namespace
