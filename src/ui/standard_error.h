// The console build's error output: what the Windows build shows in a
// message box goes to the standard error handle.
#pragma once

#include <string_view>

// Writes the text, its lines ended by CR LF, to the process's standard error:
// through the console's own output when that is a console, as UTF-8 bytes
// when it is a file or a pipe. False when there is no standard error or the
// write failed; nobody is told, as there is nowhere left to tell.
[[nodiscard]] bool writeToStandardError(std::wstring_view text) noexcept;
