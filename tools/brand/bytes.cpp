#include "brand/bytes.h"

namespace {

[[noreturn]] void refuseBeyondEnd(const char* what)
{
    throw RefusedInput(std::string(what) + " lies beyond the end of the file");
}

}  // namespace

std::uint8_t readByte(ByteView bytes, std::uint64_t offset, const char* what)
{
    if (!fitsWithin(offset, 1, bytes.size())) {
        refuseBeyondEnd(what);
    }
    return bytes[offset];
}

std::uint16_t readWord(ByteView bytes, std::uint64_t offset, const char* what)
{
    if (!fitsWithin(offset, 2, bytes.size())) {
        refuseBeyondEnd(what);
    }
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t readDword(ByteView bytes, std::uint64_t offset, const char* what)
{
    if (!fitsWithin(offset, 4, bytes.size())) {
        refuseBeyondEnd(what);
    }
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

ByteView readSpan(ByteView bytes, std::uint64_t offset, std::uint64_t length, const char* what)
{
    if (!fitsWithin(offset, length, bytes.size())) {
        refuseBeyondEnd(what);
    }
    return bytes.subspan(offset, length);
}

void writeWordAt(Bytes& bytes, std::size_t offset, std::uint16_t value)
{
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void writeDwordAt(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    writeWordAt(bytes, offset, static_cast<std::uint16_t>(value));
    writeWordAt(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void appendWord(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendDword(Bytes& bytes, std::uint32_t value)
{
    appendWord(bytes, static_cast<std::uint16_t>(value));
    appendWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

void appendUtf16(Bytes& bytes, std::u16string_view text)
{
    for (char16_t unit : text) {
        appendWord(bytes, static_cast<std::uint16_t>(unit));
    }
}

void padTo(Bytes& bytes, std::size_t alignment)
{
    bytes.resize(alignUp(bytes.size(), alignment), 0);
}

std::u16string utf16FromUtf8(std::string_view text, const char* what)
{
    std::u16string result;
    std::size_t index = 0;
    auto refuse = [what] { throw RefusedInput(std::string(what) + " is not valid UTF-8"); };
    while (index < text.size()) {
        auto lead = static_cast<unsigned char>(text[index]);
        std::uint32_t point = 0;
        std::size_t extra = 0;
        if (lead < 0x80) {
            point = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            point = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            point = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            point = lead & 0x07;
            extra = 3;
        } else {
            refuse();
        }
        if (extra > text.size() - index - 1) {
            refuse();
        }
        for (std::size_t next = 1; next <= extra; ++next) {
            auto unit = static_cast<unsigned char>(text[index + next]);
            if ((unit & 0xC0) != 0x80) {
                refuse();
            }
            point = (point << 6) | (unit & 0x3F);
        }
        constexpr std::uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (point < smallest[extra] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000)) {
            refuse();
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (point >> 10));
            result += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            result += static_cast<char16_t>(point);
        }
        index += extra + 1;
    }
    return result;
}

std::string utf8FromUtf16(std::u16string_view text)
{
    std::string result;
    for (std::size_t index = 0; index < text.size(); ++index) {
        std::uint32_t point = text[index];
        bool pairs = point >= 0xD800 && point < 0xDC00 && index + 1 < text.size() &&
                     text[index + 1] >= 0xDC00 && text[index + 1] < 0xE000;
        if (pairs) {
            point = 0x10000 + ((point - 0xD800) << 10) + (text[++index] - 0xDC00);
        } else if (point >= 0xD800 && point < 0xE000) {
            point = 0xFFFD;  // a lone surrogate
        }
        if (point < 0x80) {
            result += static_cast<char>(point);
        } else if (point < 0x800) {
            result += static_cast<char>(0xC0 | (point >> 6));
            result += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            result += static_cast<char>(0xE0 | (point >> 12));
            result += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (point >> 18));
            result += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return result;
}
