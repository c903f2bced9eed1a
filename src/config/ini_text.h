// Settings text in INI syntax, read and edited exactly as the system's
// profile-string functions (GetPrivateProfileStringW, WritePrivateProfileStringW)
// read a settings file, so that the embedded settings block and the files
// mean the same thing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/memory_settings_store.h"

// Reads INI text into a store that matches names as the profile functions do.
// A byte-order mark at the start is dropped. Lines end at any run of CR and LF;
// each line is trimmed of blanks (control characters 9 to 13, 26 and 32).
// A line that starts with "[" and holds a "]" opens a section named by the
// trimmed text between the "[" and the last "]", whatever follows (a comment
// after the header, say). Any other line is a key: the text before the first
// "=" (trimmed) names it and the rest (trimmed) is its value; a line without
// "=" is a key without a value, which reads as empty and hides a later key of
// the same name. A value that starts and ends with the same quote (' or ") of
// at least two characters is read without them. A name or value ends at its
// first zero character. Lines before the first section are never read, nor
// is a section with an empty name.
MemorySettingsStore parseIniText(std::wstring_view text);

// The text with the key of the section set to the value, every other line
// kept as it was: the key's first line in the first section of that name is
// replaced, or a line is added after the section's last line, or the section
// is appended at the end. Names match as parseIniText reads them; a value
// with blanks at either end, or in quotes, is written in double quotes so that
// it reads back unchanged. Nothing when the result could not read back as the
// value: a name that is empty, has blanks at either end, holds a line break or
// "=" (in a key), or starts with "[" (a key); or a value holding a line break
// or a zero.
[[nodiscard]] std::optional<std::wstring> withIniValue(std::wstring_view text,
                                                       std::wstring_view section,
                                                       std::wstring_view key,
                                                       std::wstring_view value);
