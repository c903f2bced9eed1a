// libFuzzer harness for cutting the "Virtual Machine Parameters" text into
// option tokens: the tokens are the text in order with only blanks between
// them, a token ends at a blank outside quotes, and removing quotes removes
// quotes only, in pairs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "vm/vm_parameter_text.h"

namespace {

constexpr wchar_t kPieceSeparator = 0x1F;

void checkTokens(std::wstring_view text)
{
    std::vector<std::wstring> tokens = splitVmParameters(text);
    FUZZ_CHECK(tokens.size() <= text.size());
    std::size_t position = 0;
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        const std::wstring& token = tokens[index];
        // Only a text that starts with a blank gives an empty token, its first.
        FUZZ_CHECK(!token.empty() || (index == 0 && text.front() == L' '));
        FUZZ_CHECK(token.empty() || token.front() != L' ');
        std::size_t start = text.find(token, position);
        FUZZ_CHECK(start != std::wstring_view::npos);
        FUZZ_CHECK(text.substr(position, start - position).find_first_not_of(L' ') ==
                   std::wstring_view::npos);
        std::size_t end = findParameterEnd(text, start);
        FUZZ_CHECK(end == start + token.size());
        FUZZ_CHECK(end == text.size() || text[end] == L' ');
        position = end;
    }
    FUZZ_CHECK(text.substr(position).find_first_not_of(L' ') == std::wstring_view::npos);
}

void checkStripQuotes(const std::wstring& token)
{
    std::wstring stripped = token;
    stripQuotes(stripped);
    // Only quotes go, two at a time, and what is left keeps its order.
    FUZZ_CHECK(stripped.size() <= token.size());
    FUZZ_CHECK((token.size() - stripped.size()) % 2 == 0);
    std::size_t position = 0;
    for (wchar_t unit : stripped) {
        while (position < token.size() && token[position] != unit) {
            FUZZ_CHECK(token[position] == L'"');
            ++position;
        }
        FUZZ_CHECK(position < token.size());
        ++position;
    }
    for (; position < token.size(); ++position) {
        FUZZ_CHECK(token[position] == L'"');
    }
    if (token.find(L'"') == std::wstring::npos) {
        FUZZ_CHECK(stripped == token);
    }
}

// Tokens without blanks or quotes, some of them quoted with blanks inside,
// come back one by one.
void checkWrittenTokens(std::wstring_view text)
{
    std::vector<std::wstring> pieces = piecesBetween(text, kPieceSeparator);
    std::vector<std::wstring> expected;
    std::wstring written;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        std::wstring piece;
        for (wchar_t unit : pieces[index]) {
            if (unit != L'"' && unit != L' ') {
                piece += unit;
            }
        }
        if (piece.empty()) {
            continue;
        }
        std::wstring token = index % 2 == 0 ? piece : L"-D\"" + piece + L" " + piece + L"\"";
        written += (written.empty() ? L"" : std::wstring(1 + index % 3, L' ')) + token;
        expected.push_back(token);
    }
    std::vector<std::wstring> tokens = splitVmParameters(written);
    FUZZ_CHECK(tokens == expected);
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        std::wstring stripped = tokens[index];
        stripQuotes(stripped);
        std::wstring unquoted;
        for (wchar_t unit : tokens[index]) {
            if (unit != L'"') {
                unquoted += unit;
            }
        }
        FUZZ_CHECK(stripped == unquoted);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    std::wstring text = input.rest();
    checkTokens(text);
    checkStripQuotes(text);
    for (const std::wstring& token : splitVmParameters(text)) {
        checkStripQuotes(token);
    }
    checkWrittenTokens(text);
    return 0;
}
