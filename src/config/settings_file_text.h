// The whole text of a settings file in the encoding the profile functions
// read it in, and writing such a text back so that a crash or power loss at
// any moment leaves either the old file or the new one, never a cut one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The encodings the profile functions tell apart by a file's first bytes.
enum class SettingsFileEncoding {
    ansi,               // no byte-order mark: the system's ANSI code page
    utf8,               // EF BB BF
    utf16LittleEndian,  // FF FE
    utf16BigEndian,     // FE FF
};

struct SettingsFileText {
    std::wstring text;  // without the byte-order mark
    SettingsFileEncoding encoding = SettingsFileEncoding::utf16LittleEndian;
};

// The file's text; an absent file is an empty text to be written as UTF-16LE
// with a byte-order mark. Nothing, with the last error set, when the file
// exists but cannot be read, or is too large to be a settings file.
[[nodiscard]] std::optional<SettingsFileText> readSettingsFileText(const std::wstring& path);

// Writes the text in its encoding, or as UTF-16LE with a byte-order mark when
// the ANSI code page cannot hold every character of it: through a new file
// beside the old one, written through to the disk, that then replaces it in
// one step. False, with the last error set, when any step fails; the old file
// is then untouched and the new one removed.
[[nodiscard]] bool replaceSettingsFileText(const std::wstring& path,
                                           const SettingsFileText& contents);
