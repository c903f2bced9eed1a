#include "config/command_line_split.h"

#include <cwctype>

namespace {

constexpr wchar_t kBlank = L' ';
constexpr wchar_t kQuote = L'"';

size_t skipBlanks(std::wstring_view text, size_t position)
{
    while (position < text.size() && text[position] == kBlank) {
        ++position;
    }
    return position;
}

}  // namespace

std::vector<std::wstring> splitCommandLine(std::wstring_view text)
{
    std::vector<std::wstring> pieces;
    size_t position = 0;
    while (position < text.size()) {
        size_t pieceEnd;
        if (text[position] == kQuote) {
            ++position;
            size_t closing = text.find(kQuote, position);
            if (closing == std::wstring_view::npos) {
                pieces.emplace_back(text.substr(position));
                break;
            }
            pieces.emplace_back(text.substr(position, closing - position));
            pieceEnd = closing + 1;
        } else {
            size_t blank = text.find(kBlank, position);
            if (blank == std::wstring_view::npos) {
                pieces.emplace_back(text.substr(position));
                break;
            }
            pieces.emplace_back(text.substr(position, blank - position));
            pieceEnd = blank;
        }
        position = skipBlanks(text, pieceEnd);
    }
    return pieces;
}

std::vector<std::wstring> argumentsFromCommandLine(std::wstring_view commandLine)
{
    size_t first = 0;
    size_t last = commandLine.size();
    while (first < last && std::iswspace(commandLine[first])) {
        ++first;
    }
    while (last > first && std::iswspace(commandLine[last - 1])) {
        --last;
    }
    std::vector<std::wstring> pieces = splitCommandLine(commandLine.substr(first, last - first));
    if (!pieces.empty()) {
        pieces.erase(pieces.begin());
    }
    return pieces;
}
