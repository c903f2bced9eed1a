// The diagnostic trace: what the launcher decided during a start, one line per
// event, for support to read when a start goes wrong. Off unless the
// environment variable TARVO_TRACE names a file (its folder is created, the
// file appended to) or is "-" for the standard error stream. Never fatal: a
// trace that cannot be opened or written is dropped and the start goes on.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// True when a trace was asked for and could be opened. The environment is
// looked at once; after that this is one load of a cached flag.
bool traceEnabled() noexcept;

// Writes one line made of the parts one after another. Each part is escaped,
// so text from outside cannot forge a line. Nothing happens when the trace is
// off.
void traceLine(std::initializer_list<std::wstring_view> parts) noexcept;

// A number as text, for building trace lines.
std::wstring traceNumber(long long value);
