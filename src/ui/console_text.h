// How a message meant for a message box is written to a console or a file.
#pragma once

#include <string>
#include <string_view>

// The text with every line ending in CR LF, as Windows programs end lines on
// the standard streams: a lone LF or CR becomes CR LF, and a text that does
// not end a line gets one, so that the next output starts on a line of its own.
// An empty text stays empty.
std::wstring consoleLines(std::wstring_view text);
