// libFuzzer harness for the trace's text rules: whatever the text, a trace
// line is one line, ends in CR LF and holds no other control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/trace_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two bytes a character, as a UTF-16 text would arrive.
    std::wstring text;
    for (std::size_t index = 0; index + 1 < size; index += 2) {
        text += static_cast<wchar_t>(data[index] | (data[index + 1] << 8));
    }
    std::string line = formatTraceLine(size, 7, text);
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) {
        std::abort();
    }
    for (std::size_t index = 0; index + 2 < line.size(); ++index) {
        unsigned char byte = static_cast<unsigned char>(line[index]);
        if (byte < 0x20 || byte == 0x7F) {
            std::abort();
        }
        // U+0085 and U+2028/U+2029 in UTF-8.
        if (byte == 0xC2 && static_cast<unsigned char>(line[index + 1]) >= 0x80 &&
            static_cast<unsigned char>(line[index + 1]) <= 0x9F) {
            std::abort();
        }
        if (byte == 0xE2 && line[index + 1] == '\x80' &&
            (line[index + 2] == '\xA8' || line[index + 2] == '\xA9')) {
            std::abort();
        }
    }
    return 0;
}
