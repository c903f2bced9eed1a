// libFuzzer harness for the modified UTF-8 the VM hands back: any bytes give
// 16-bit units, never more units than bytes; every UTF-16 text written as the
// VM writes it comes back unit for unit; standard UTF-8 comes back as its
// UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "support/test_jvm/java_text.h"
#include "vm/modified_utf8.h"

namespace {

// The stand-in runtime's encoders write what a VM hands out and what a print
// stream writes: the launcher must read back every unit of either.
std::u16string utf16Of(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::string modifiedUtf8Of(std::wstring_view text)
{
    return test_jvm::modifiedUtf8FromUtf16(utf16Of(text));
}

// Standard UTF-8 comes back as its UTF-16 text. The code points are taken
// from the input below U+110000, skipping surrogates, which standard UTF-8
// cannot hold.
void checkStandardUtf8(FuzzInput& input)
{
    std::wstring units;
    while (!input.empty()) {
        std::uint32_t codePoint = static_cast<std::uint32_t>(input.number(3)) % 0x110000;
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;
        }
        if (codePoint < 0x10000) {
            units += static_cast<wchar_t>(codePoint);
        } else {
            units += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        }
    }
    FUZZ_CHECK(wideFromModifiedUtf8(test_jvm::utf8FromUtf16(utf16Of(units))) == units);
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
