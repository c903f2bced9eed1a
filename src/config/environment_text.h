// Environment variables inside setting texts, and the conversions between
// UTF-16 and 8-bit text in the thread's ANSI code page.
#pragma once

#include <string>
#include <string_view>

// The text with every %NAME% replaced by the variable's value. A variable that
// is not set stays as written, percent signs included; one set to an empty
// value disappears. Empty when the expansion fails.
std::wstring expandEnvironment(const std::wstring& text);

// The same expansion on the text itself; false and the text unchanged when the
// expansion fails.
[[nodiscard]] bool expandEnvironmentInPlace(std::wstring& text);

// 8-bit text in the thread's ANSI code page (CP_THREAD_ACP) as UTF-16. An
// absent or empty text, or one that cannot be converted, gives an empty text.
std::wstring ansiToWide(std::string_view text);
std::wstring ansiToWide(const char* text);

// UTF-16 text as 8-bit text in the thread's ANSI code page (CP_THREAD_ACP),
// the form the VM reads its options in. Characters the code page lacks become
// the code page's default character. An empty text, or one that cannot be
// converted, gives an empty text.
std::string wideToAnsi(std::wstring_view text);
