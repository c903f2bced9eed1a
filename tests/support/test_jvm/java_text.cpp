#include "support/test_jvm/java_text.h"

namespace test_jvm {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Appends one code point (or lone surrogate) below U+10000 in 1 to 3 bytes;
// modified UTF-8 wants U+0000 in two.
void appendUpTo3Bytes(std::string& bytes, char32_t unit, bool zeroInTwoBytes)
{
    if (unit < 0x80 && !(unit == 0 && zeroInTwoBytes)) {
        bytes += static_cast<char>(unit);
    } else if (unit < 0x800) {
        bytes += static_cast<char>(0xC0 | (unit >> 6));
        bytes += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        bytes += static_cast<char>(0xE0 | (unit >> 12));
        bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Reads the continuation bytes of a form at position i whose lead byte has
// already given `value`; false when the bytes end early or a byte is no
// continuation.
bool readContinuations(std::string_view bytes, size_t i, size_t count, char32_t& value)
{
    if (i + count >= bytes.size()) {
        return false;
    }
    for (size_t k = 1; k <= count; ++k) {
        auto byte = static_cast<unsigned char>(bytes[i + k]);
        if (!isContinuation(byte)) {
            return false;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    return true;
}

}  // namespace

std::string modifiedUtf8FromUtf16(std::u16string_view text)
{
    std::string bytes;
    for (char16_t unit : text) {
        appendUpTo3Bytes(bytes, unit, true);
    }
    return bytes;
}

std::u16string utf16FromModifiedUtf8(std::string_view bytes)
{
    std::u16string text;
    size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t value = 0;
        size_t length = 0;
        if (lead < 0x80) {
            value = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            value = lead & 0x1F;
            length = readContinuations(bytes, i, 1, value) ? 2 : 0;
        } else if ((lead & 0xF0) == 0xE0) {
            value = lead & 0x0F;
            length = readContinuations(bytes, i, 2, value) ? 3 : 0;
        }
        if (length == 0) {
            text += kReplacement;
            ++i;
            continue;
        }
        text += static_cast<char16_t>(value);
        i += length;
    }
    return text;
}

std::string utf8FromUtf16(std::u16string_view text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            char32_t point = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            bytes += static_cast<char>(0xF0 | (point >> 18));
            bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            bytes += '?';
        } else {
            appendUpTo3Bytes(bytes, unit, false);
        }
    }
    return bytes;
}

std::u16string utf16FromUtf8(std::string_view bytes)
{
    std::u16string text;
    size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t value = 0;
        size_t continuations = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            text += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            value = lead & 0x1F;
            continuations = 1;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            value = lead & 0x0F;
            continuations = 2;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            value = lead & 0x07;
            continuations = 3;
            smallest = 0x10000;
        }
        // Overlong forms, encoded surrogates and values beyond U+10FFFF are
        // malformed in standard UTF-8.
        if (continuations == 0 || !readContinuations(bytes, i, continuations, value) ||
            value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            text += kReplacement;
            ++i;
            continue;
        }
        if (value >= 0x10000) {
            value -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (value >> 10));
            text += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        } else {
            text += static_cast<char16_t>(value);
        }
        i += continuations + 1;
    }
    return text;
}

std::string dottedClassName(std::string_view slashName)
{
    std::string name(slashName);
    for (char& c : name) {
        if (c == '/') {
            c = '.';
        }
    }
    return name;
}

}  // namespace test_jvm
