// libFuzzer harness for tarvo-brand's .ico and PNG readers: any bytes are
// read or refused with RefusedInput, and every image read lies within the
// file and is a bitmap or a PNG.
#include <cstddef>
#include <cstdint>

#include "brand/icon_images.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteView file(data, size);
    try {
        for (const IconImage& image : readIconFile(file)) {
            FUZZ_CHECK(!image.bytes.empty() && image.bytes.size() <= size);
            FUZZ_CHECK(image.planes != 0 && image.bitCount != 0);
        }
    } catch (const RefusedInput&) {
    }
    try {
        std::vector<IconImage> images = readPngIcon(file);
        FUZZ_CHECK(images.size() == 1 && isPngPicture(images[0].bytes));
    } catch (const RefusedInput&) {
    }
    return 0;
}
