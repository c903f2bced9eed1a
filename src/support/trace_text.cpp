#include "support/trace_text.h"

#include "support/decimal_text.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendEscape(std::string& out, char marker, std::uint32_t value, int digits)
{
    out += '\\';
    out += marker;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHexDigits[(value >> shift) & 0xF];
    }
}

void appendUtf8(std::string& out, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool isControl(std::uint32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

bool isHighSurrogate(std::uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(std::uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string escapeTraceText(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        // wchar_t is 16 bits on Windows and 32 natively: a unit above the
        // 16-bit range is taken as the code point it already is.
        std::uint32_t unit = static_cast<std::uint32_t>(text[index]);
        if (isHighSurrogate(unit) && index + 1 < text.size() &&
            isLowSurrogate(static_cast<std::uint32_t>(text[index + 1]))) {
            std::uint32_t low = static_cast<std::uint32_t>(text[index + 1]);
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            ++index;
        } else if (isControl(unit)) {
            appendEscape(out, 'x', unit, 2);
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit) || unit == 0x2028 ||
                   unit == 0x2029 || unit > 0x10FFFF) {
            appendEscape(out, 'u', unit > 0xFFFF ? 0xFFFD : unit, 4);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::string formatTraceLine(std::uint64_t milliseconds, std::uint32_t threadId,
                            std::wstring_view text)
{
    // "%8llu ms  thread %-5lu  ": the time right-aligned in 8 columns, the
    // thread's id left-aligned in 5. The digits are ASCII.
    const std::wstring time = decimalText(milliseconds);
    const std::wstring thread = decimalText(threadId);
    std::string line;
    line.append(time.size() < 8 ? 8 - time.size() : 0, ' ');
    line.append(time.begin(), time.end());
    line += " ms  thread ";
    line.append(thread.begin(), thread.end());
    line.append(thread.size() < 5 ? 5 - thread.size() : 0, ' ');
    line += "  ";
    line += escapeTraceText(text);
    line += "\r\n";
    return line;
}
