#include "ui/console_text.h"

std::wstring consoleLines(std::wstring_view text)
{
    std::wstring lines;
    lines.reserve(text.size() + 2);
    for (size_t index = 0; index < text.size(); ++index) {
        wchar_t character = text[index];
        if (character == L'\r') {
            // CR LF stays one line end.
            if (index + 1 < text.size() && text[index + 1] == L'\n') {
                ++index;
            }
            lines += L"\r\n";
        } else if (character == L'\n') {
            lines += L"\r\n";
        } else {
            lines += character;
        }
    }
    if (!lines.empty() && !lines.ends_with(L"\r\n")) {
        lines += L"\r\n";
    }
    return lines;
}
