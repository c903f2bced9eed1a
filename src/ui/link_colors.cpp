#include "ui/link_colors.h"

namespace {

// The largest registry value a colour text may take, NUL included.
constexpr std::size_t kColorValueBytes = 24;

// The decimal number at the start of the text, as the C library's wcstol reads
// it (blanks and a sign allowed, reading stops at the first other character),
// reduced to its low 8 bits. Digits beyond any integer's range are cut to
// their low bits as well instead of overflowing.
std::uint32_t lowEightBitsOfNumber(std::wstring_view text)
{
    std::size_t position = 0;
    while (position < text.size() &&
           (text[position] == L' ' || (text[position] >= L'\t' && text[position] <= L'\r'))) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == L'+' || text[position] == L'-')) {
        negative = text[position] == L'-';
        ++position;
    }
    std::uint32_t value = 0;
    while (position < text.size() && text[position] >= L'0' && text[position] <= L'9') {
        value = (value * 10 + static_cast<std::uint32_t>(text[position] - L'0')) & 0xFFu;
        ++position;
    }
    return (negative ? 0u - value : value) & 0xFFu;
}

}  // namespace

std::optional<std::uint32_t> parseColorText(std::wstring_view text)
{
    std::size_t firstComma = text.find(L',');
    if (firstComma == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring_view rest = text.substr(firstComma + 1);
    std::size_t secondComma = rest.find(L',');
    if (secondComma == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring_view blue = rest.substr(secondComma + 1);
    if (blue.empty()) {
        return std::nullopt;
    }
    return lowEightBitsOfNumber(text.substr(0, firstComma)) +
           lowEightBitsOfNumber(rest.substr(0, secondComma)) * 0x100u +
           lowEightBitsOfNumber(blue) * 0x10000u;
}

std::optional<std::wstring> colorTextFromValueBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty()) {
        return std::wstring();
    }
    if (bytes.size() > kColorValueBytes || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::wstring text;
    for (std::size_t index = 0; index < bytes.size(); index += 2) {
        text += static_cast<wchar_t>(bytes[index] | (bytes[index + 1] << 8));
    }
    if (text.back() != L'\0') {
        return std::nullopt;
    }
    // The text ends at its first NUL, as the profile and registry readers see it.
    text.resize(text.find(L'\0'));
    return text;
}

int linkTextShift(LinkAlignment alignment, int clientWidth, int measuredWidth)
{
    int room = clientWidth > measuredWidth ? clientWidth - measuredWidth : 0;
    switch (alignment) {
        case LinkAlignment::centre:
            return room / 2;
        case LinkAlignment::right:
            return room;
        case LinkAlignment::left:
            break;
    }
    return 0;
}
