// libFuzzer harness for the modified UTF-8 the VM hands back: any bytes give
// 16-bit units, never more units than bytes; every UTF-16 text written as the
// VM writes it comes back unit for unit; standard UTF-8 comes back as its
// UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "vm/modified_utf8.h"

namespace {

// Each unit on its own, U+0000 as two bytes, as GetStringUTFChars writes it.
std::string modifiedUtf8Of(std::wstring_view text)
{
    std::string bytes;
    for (wchar_t unit : text) {
        auto value = static_cast<std::uint32_t>(unit);
        if (value != 0 && value < 0x80) {
            bytes += static_cast<char>(value);
        } else if (value < 0x800) {
            bytes += static_cast<char>(0xC0 | (value >> 6));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (value >> 12));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        }
    }
    return bytes;
}

// Standard UTF-8 of the code points, and their UTF-16 units. The code points
// are taken from the input below U+110000, skipping surrogates.
void checkStandardUtf8(FuzzInput& input)
{
    std::string bytes;
    std::wstring units;
    while (!input.empty()) {
        std::uint32_t codePoint = static_cast<std::uint32_t>(input.number(3)) % 0x110000;
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;
        }
        if (codePoint < 0x80) {
            bytes += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            bytes += static_cast<char>(0xC0 | (codePoint >> 6));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            bytes += static_cast<char>(0xE0 | (codePoint >> 12));
            bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (codePoint >> 18));
            bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
        if (codePoint < 0x10000) {
            units += static_cast<wchar_t>(codePoint);
        } else {
            units += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        }
    }
    FUZZ_CHECK(wideFromModifiedUtf8(bytes) == units);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::wstring text = wideFromModifiedUtf8(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    FUZZ_CHECK(holdsUtf16Units(text));
    // ASCII other than zero passes as it is.
    if (bytes.find_first_of(std::string_view("\0", 1)) == std::string_view::npos) {
        bool ascii = true;
        for (unsigned char byte : bytes) {
            ascii = ascii && byte < 0x80;
        }
        if (ascii) {
            FUZZ_CHECK(text == std::wstring(bytes.begin(), bytes.end()));
        }
    }
    // What the launcher decodes, written back the VM's way, decodes the same.
    FUZZ_CHECK(wideFromModifiedUtf8(modifiedUtf8Of(text)) == text);

    FuzzInput units(data, size);
    std::wstring original = units.rest();
    FUZZ_CHECK(wideFromModifiedUtf8(modifiedUtf8Of(original)) == original);
    FuzzInput codePoints(data, size);
    checkStandardUtf8(codePoints);
    return 0;
}
