// The text rules of the diagnostic trace: how a line is laid out and how text
// from the environment, the registry and files is written into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text as UTF-8 with everything that could break or forge a line written
// as an escape: control characters (C0, DEL and C1) as \xNN, the Unicode line
// and paragraph separators and a lone surrogate as \uNNNN. Everything else,
// backslashes included, is written as it is, so that paths stay readable.
std::string escapeTraceText(std::wstring_view text);

// One trace line: the milliseconds since the process started, the thread id
// and the escaped text, ended by CR LF.
std::string formatTraceLine(std::uint64_t milliseconds, std::uint32_t threadId,
                            std::wstring_view text);
