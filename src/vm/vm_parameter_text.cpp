#include "vm/vm_parameter_text.h"

namespace {

constexpr auto notFound = std::wstring_view::npos;

// Moves a closing quote onto the second quote of a doubled pair, so that the
// first quote of the pair is kept as text.
size_t closingQuoteOfPair(std::wstring_view text, size_t closingQuote)
{
    bool doubled = closingQuote + 1 < text.size() && text[closingQuote + 1] == L'"';
    return doubled ? closingQuote + 1 : closingQuote;
}

}  // namespace

size_t findParameterEnd(std::wstring_view text, size_t start)
{
    size_t space = text.find(L' ', start);
    size_t quote = text.find(L'"', start);
    while (quote != notFound) {
        if (space == notFound) {
            return text.size();
        }
        if (space < quote) {
            return space;
        }
        size_t closingQuote = text.find(L'"', quote + 1);
        if (closingQuote == notFound) {
            return space;
        }
        closingQuote = closingQuoteOfPair(text, closingQuote);
        quote = text.find(L'"', closingQuote + 1);
        space = text.find(L' ', closingQuote + 1);
    }
    return space == notFound ? text.size() : space;
}

void stripQuotes(std::wstring& token)
{
    size_t quote = token.find(L'"');
    while (quote != std::wstring::npos && quote + 1 < token.size()) {
        size_t closingQuote = token.find(L'"', quote + 1);
        if (closingQuote == std::wstring::npos) {
            return;
        }
        closingQuote = closingQuoteOfPair(token, closingQuote);
        std::wstring inner = token.substr(quote + 1, closingQuote - (quote + 1));
        token = token.substr(0, quote) + inner + token.substr(closingQuote + 1);
        size_t resume = quote + inner.size();
        if (resume >= token.size()) {
            return;
        }
        quote = token.find(L'"', resume);
    }
}

std::vector<std::wstring> splitVmParameters(std::wstring_view text)
{
    std::vector<std::wstring> tokens;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = findParameterEnd(text, start);
        tokens.emplace_back(text.substr(start, end - start));
        start = text.find_first_not_of(L' ', end);
    }
    return tokens;
}
