// libFuzzer harness for the command-line split and the product's extra
// arguments ("Cmd" once its variables are expanded): every piece is text of
// the line, a quoted piece holds no quote, and the pieces written back, quoted
// where they hold no quote, split into the same pieces.
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string>
#include <string_view>
#include <vector>

#include "config/command_line_split.h"
#include "config/extra_arguments.h"
#include "fuzz/fuzz_input.h"

namespace {

using Pieces = std::vector<std::wstring>;

// A piece that holds no quote is written in quotes; one that does came from
// unquoted text, so it holds no blank and does not start with a quote.
std::wstring writtenBack(const Pieces& pieces)
{
    std::wstring line;
    for (const std::wstring& piece : pieces) {
        if (!line.empty()) {
            line += L' ';
        }
        if (piece.find(L'"') == std::wstring::npos) {
            line += L'"' + piece + L'"';
        } else {
            line += piece;
        }
    }
    return line;
}

void checkSplit(std::wstring_view text)
{
    Pieces pieces = splitCommandLine(text);
    std::size_t units = 0;
    std::size_t position = 0;
    for (const std::wstring& piece : pieces) {
        // In order, each piece is a part of the text.
        FUZZ_CHECK(findFrom(text, piece, position));
        units += piece.size();
        if (piece.find(L'"') != std::wstring::npos) {
            FUZZ_CHECK(piece.front() != L'"');
            FUZZ_CHECK(piece.find(L' ') == std::wstring::npos);
        }
    }
    FUZZ_CHECK(units + pieces.size() <= text.size() + 1);
    FUZZ_CHECK(splitCommandLine(writtenBack(pieces)) == pieces);

    // Pieces with neither blank nor quote, joined by blanks, come back unquoted.
    Pieces plain;
    for (const std::wstring& piece : pieces) {
        if (!piece.empty() && piece.find_first_of(L" \"") == std::wstring::npos) {
            plain.push_back(piece);
        }
    }
    std::wstring joined;
    for (const std::wstring& piece : plain) {
        joined += (joined.empty() ? L"" : L"   ") + piece;
    }
    FUZZ_CHECK(splitCommandLine(joined) == plain);

    // The product's extra arguments are the non-empty pieces, after those already there.
    Pieces arguments = {L"user"};
    appendExtraArguments(text, arguments);
    FUZZ_CHECK(!arguments.empty() && arguments.front() == L"user");
    Pieces expected = {L"user"};
    for (const std::wstring& piece : pieces) {
        if (!piece.empty()) {
            expected.push_back(piece);
        }
    }
    FUZZ_CHECK(arguments == expected);
}

void checkProcessCommandLine(std::wstring_view text)
{
    Pieces arguments = argumentsFromCommandLine(text);
    // White space around the whole line is not part of it; the program name is dropped.
    bool trimmed = text.empty() || (!std::iswspace(text.front()) && !std::iswspace(text.back()));
    if (trimmed) {
        Pieces pieces = splitCommandLine(text);
        FUZZ_CHECK(arguments.size() == (pieces.empty() ? 0 : pieces.size() - 1));
        for (std::size_t index = 0; index < arguments.size(); ++index) {
            FUZZ_CHECK(arguments[index] == pieces[index + 1]);
        }
    }
    FUZZ_CHECK(argumentsFromCommandLine(L"program " + writtenBack(arguments)) == arguments);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    std::wstring text = input.rest();
    checkSplit(text);
    checkProcessCommandLine(text);
    return 0;
}
