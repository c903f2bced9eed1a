#include "vm/modified_utf8.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence the lead byte opens, 0 for a byte that opens none.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

void appendCodePoint(std::wstring& text, std::uint32_t codePoint)
{
    if (codePoint < 0x10000) {
        text += static_cast<wchar_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    text += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
    text += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
}

}  // namespace

std::wstring wideFromModifiedUtf8(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    std::size_t index = 0;
    while (index < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[index]);
        std::size_t length = sequenceLength(lead);
        bool complete = length != 0 && index + length <= bytes.size();
        for (std::size_t next = 1; complete && next < length; ++next) {
            complete = isContinuation(static_cast<unsigned char>(bytes[index + next]));
        }
        if (!complete) {
            text += kReplacementCharacter;
            ++index;
            continue;
        }
        static constexpr unsigned char leadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        std::uint32_t codePoint = lead & leadMasks[length];
        for (std::size_t next = 1; next < length; ++next) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[index + next]) & 0x3F);
        }
        if (codePoint > 0x10FFFF) {
            text += kReplacementCharacter;
        } else {
            // Surrogates encoded one by one, as the VM writes them, land here
            // as single units and pair up again in the text.
            appendCodePoint(text, codePoint);
        }
        index += length;
    }
    return text;
}
