#include "support/png_writer.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace harness {

namespace {

// The largest payload of one uncompressed deflate block.
constexpr size_t kStoredBlockLimit = 65535;

std::array<std::uint32_t, 256> makeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void appendChunk(std::vector<std::uint8_t>& out, std::string_view type,
                 std::span<const std::uint8_t> data)
{
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    appendBigEndian(out, crc32Of(std::span(out).subspan(typeStart)));
}

// Every row starts with its filter type; 0 leaves the samples as they are.
std::vector<std::uint8_t> filteredRows(const Image& image)
{
    std::vector<std::uint8_t> rows;
    size_t rowBytes = static_cast<size_t>(image.width()) * 3;
    rows.reserve((rowBytes + 1) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows.push_back(0);
        auto row = image.samples().begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
        rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    return rows;
}

// A zlib stream of stored blocks: header, blocks with LEN and its complement
// (little-endian), the last one flagged final, then Adler-32 (big-endian).
std::vector<std::uint8_t> zlibStored(std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> out{0x78, 0x01};
    size_t offset = 0;
    do {
        size_t length = std::min(kStoredBlockLimit, data.size() - offset);
        bool last = offset + length == data.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                   data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < data.size());
    appendBigEndian(out, adler32Of(data));
    return out;
}

}  // namespace

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes)
{
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t byte : bytes) {
        c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32Of(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : bytes) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

std::optional<std::vector<std::uint8_t>> encodePng(const Image& image)
{
    if (image.isEmpty()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(image.width()));
    appendBigEndian(header, static_cast<std::uint32_t>(image.height()));
    // Bit depth 8, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    appendChunk(png, "IHDR", header);

    appendChunk(png, "IDAT", zlibStored(filteredRows(image)));
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace harness
