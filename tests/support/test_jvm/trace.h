// The test runtime's trace: what the launcher asked of its Java runtime, one
// line per event, appended to the file named by TARVO_TEST_JVM_TRACE. Each
// line is written and the file closed at once, so a process that dies right
// after an event still leaves it behind, and several processes may write to
// the same file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace test_jvm {

// Appends the UTF-8 text and a line feed; does nothing when no trace is asked for.
void traceLine(std::string_view line);

std::string utf8FromWide(std::wstring_view text);
// An 8-bit text in the thread's ANSI code page, as the launcher hands JVM
// options over, turned into UTF-8; a null pointer gives "(null)".
std::string utf8FromAnsi(const char* text);

// A variable of this process's environment as it is now; absent when unset.
bool readEnvironmentVariable(const wchar_t* name, std::wstring& value);
// A signed decimal number from the environment; the fallback when the
// variable is unset or holds anything else.
long environmentNumber(const wchar_t* name, long fallback);

// The full path of a loaded module.
std::wstring modulePath(HMODULE module);

}  // namespace test_jvm
