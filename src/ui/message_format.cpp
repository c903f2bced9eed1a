#include "ui/message_format.h"

#include "support/decimal_text.h"

namespace {

std::wstring argumentText(const MessageArgument& argument)
{
    if (const auto* text = std::get_if<std::wstring_view>(&argument)) {
        return std::wstring(*text);
    }
    return decimalText(std::get<std::int32_t>(argument));
}

}  // namespace

std::wstring formatMessage(std::wstring_view format,
                           std::initializer_list<MessageArgument> arguments)
{
    return formatMessage(format,
                         std::span<const MessageArgument>(arguments.begin(), arguments.size()));
}

std::wstring formatMessage(std::wstring_view format, std::span<const MessageArgument> arguments)
{
    std::wstring result;
    result.reserve(format.size());
    auto next = arguments.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        wchar_t c = format[i];
        if (c != L'%' || i + 1 == format.size()) {
            result += c;
            continue;
        }
        wchar_t kind = format[i + 1];
        if (kind == L'%') {
            result += L'%';
            ++i;
        } else if (kind == L's' || kind == L'd') {
            if (next != arguments.end()) {
                result += argumentText(*next++);
            }
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
