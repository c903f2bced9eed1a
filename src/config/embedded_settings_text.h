// The encodings the embedded settings block may be written in, told apart by
// its first bytes.
#pragma once

#include <string>
#include <string_view>

enum class EmbeddedTextEncoding {
    utf8,               // with or without its byte-order mark EF BB BF
    utf16LittleEndian,  // only with its byte-order mark FF FE
    unsupported,        // big-endian UTF-16 (FE FF): nothing is read from it
};

struct EmbeddedTextBytes {
    EmbeddedTextEncoding encoding = EmbeddedTextEncoding::utf8;
    std::string_view text;  // the bytes after the byte-order mark
};

// Tells the encoding by the byte-order mark; bytes without one are UTF-8.
EmbeddedTextBytes classifyEmbeddedText(std::string_view bytes);

// Little-endian UTF-16 bytes as text, two bytes to a code unit; an odd last
// byte is not a code unit and is dropped.
std::wstring textFromUtf16LittleEndian(std::string_view bytes);

// The text up to its first zero character: a block padded with zeros ends
// where its text ends.
std::wstring_view textBeforeFirstZero(std::wstring_view text);
