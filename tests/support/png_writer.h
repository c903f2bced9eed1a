// Packs a picture into a PNG file's bytes: 8-bit RGB, no filtering, the image
// data in uncompressed deflate blocks. Big files, but no compressor to trust.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "support/image.h"

namespace harness {

// The whole file; nothing for an empty picture, which PNG cannot hold.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodePng(const Image& image);

// The checksums the format asks for: CRC-32 of each chunk, Adler-32 of the zlib stream.
std::uint32_t crc32Of(std::span<const std::uint8_t> bytes);
std::uint32_t adler32Of(std::span<const std::uint8_t> bytes);

}  // namespace harness
