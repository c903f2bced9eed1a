#include "support/split_text.h"

std::vector<std::wstring> splitText(std::wstring_view text, std::wstring_view delimiter)
{
    std::vector<std::wstring> pieces;
    if (delimiter.empty()) {
        if (!text.empty()) {
            pieces.emplace_back(text);
        }
        return pieces;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::wstring_view::npos) {
            pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + delimiter.size();
    }
    return pieces;
}
