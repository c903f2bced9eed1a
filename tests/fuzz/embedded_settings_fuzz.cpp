// libFuzzer harness for reading the embedded settings block: its encoding is
// told by the byte-order mark alone, little-endian UTF-16 bytes come back as
// the same code units, and the text stops at its first zero.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/embedded_settings_text.h"
#include "config/ini_text.h"
#include "fuzz/fuzz_input.h"

namespace {

void checkUtf16Text(std::string_view bytes)
{
    std::wstring text = textFromUtf16LittleEndian(bytes);
    FUZZ_CHECK(text.size() == bytes.size() / 2);
    FUZZ_CHECK(holdsUtf16Units(text));
    // Written back two bytes to a unit, the text gives the bytes without an odd last one.
    std::string written;
    for (wchar_t unit : text) {
        written += static_cast<char>(unit & 0xFF);
        written += static_cast<char>((unit >> 8) & 0xFF);
    }
    FUZZ_CHECK(written == bytes.substr(0, bytes.size() & ~std::size_t{1}));

    std::wstring_view beforeZero = textBeforeFirstZero(text);
    FUZZ_CHECK(beforeZero.find(L'\0') == std::wstring_view::npos);
    FUZZ_CHECK(std::wstring_view(text).starts_with(beforeZero));
    FUZZ_CHECK(beforeZero.size() == text.size() || text[beforeZero.size()] == L'\0');

    // The block's text as the launcher reads it.
    MemorySettingsStore store = parseIniText(beforeZero);
    for (const std::wstring& name : store.sectionNames()) {
        FUZZ_CHECK(name.find(L'\0') == std::wstring::npos);
        FUZZ_CHECK(name.size() < beforeZero.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    EmbeddedTextBytes classified = classifyEmbeddedText(bytes);
    // The text is what follows the mark, and the mark decides the encoding.
    FUZZ_CHECK(bytes.ends_with(classified.text));
    std::string_view mark = bytes.substr(0, bytes.size() - classified.text.size());
    switch (classified.encoding) {
        case EmbeddedTextEncoding::utf8:
            FUZZ_CHECK(mark.empty() || mark == "\xEF\xBB\xBF");
            FUZZ_CHECK(!mark.empty() ||
                       (!bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") &&
                        !bytes.starts_with("\xEF\xBB\xBF")));
            break;
        case EmbeddedTextEncoding::utf16LittleEndian:
            FUZZ_CHECK(mark == "\xFF\xFE");
            break;
        case EmbeddedTextEncoding::unsupported:
            FUZZ_CHECK(mark == "\xFE\xFF");
            break;
    }
    checkUtf16Text(classified.text);
    return 0;
}
