#include "config/embedded_settings_text.h"

namespace {

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";

}  // namespace

EmbeddedTextBytes classifyEmbeddedText(std::string_view bytes)
{
    if (bytes.starts_with(utf8Mark)) {
        return {EmbeddedTextEncoding::utf8, bytes.substr(utf8Mark.size())};
    }
    if (bytes.starts_with(utf16LittleEndianMark)) {
        return {EmbeddedTextEncoding::utf16LittleEndian,
                bytes.substr(utf16LittleEndianMark.size())};
    }
    if (bytes.starts_with(utf16BigEndianMark)) {
        return {EmbeddedTextEncoding::unsupported, bytes.substr(utf16BigEndianMark.size())};
    }
    return {EmbeddedTextEncoding::utf8, bytes};
}

std::wstring textFromUtf16LittleEndian(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (std::size_t index = 0; index + 1 < bytes.size(); index += 2) {
        auto low = static_cast<unsigned char>(bytes[index]);
        auto high = static_cast<unsigned char>(bytes[index + 1]);
        text += static_cast<wchar_t>(low | (high << 8));
    }
    return text;
}

std::wstring_view textBeforeFirstZero(std::wstring_view text)
{
    return text.substr(0, text.find(L'\0'));
}
