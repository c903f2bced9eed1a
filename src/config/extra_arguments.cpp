#include "config/extra_arguments.h"

#include "config/command_line_split.h"

void appendExtraArguments(std::wstring_view text, std::vector<std::wstring>& arguments)
{
    for (std::wstring& piece : splitCommandLine(text)) {
        // Unlike the user's own empty "" arguments, an empty piece of the
        // setting is only a leftover of its quoting and is not passed on.
        if (!piece.empty()) {
            arguments.push_back(std::move(piece));
        }
    }
}
