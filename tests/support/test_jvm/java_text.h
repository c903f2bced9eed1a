// The text encodings the test Java runtime speaks: Java strings are UTF-16
// code units, JNI's 8-bit strings are modified UTF-8, and print streams write
// standard UTF-8 (the VM's default character set). Pure functions, no Windows
// header, so that they are tested natively too.
#pragma once

#include <string>
#include <string_view>

namespace test_jvm {

// Modified UTF-8 as JNI hands it out: U+0000 as C0 80, and every UTF-16 code
// unit on its own, so a supplementary character becomes two 3-byte surrogate
// encodings and a lone surrogate survives.
std::string modifiedUtf8FromUtf16(std::u16string_view text);
// The reverse; a byte that starts no valid 1-, 2- or 3-byte form becomes
// U+FFFD, as does a truncated form.
std::u16string utf16FromModifiedUtf8(std::string_view bytes);

// Standard UTF-8 as a print stream encodes text; a lone surrogate becomes "?",
// as Java's encoder replaces what it cannot encode.
std::string utf8FromUtf16(std::u16string_view text);
// Standard UTF-8 decoded as ByteArrayOutputStream.toString does; a malformed
// sequence becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view bytes);

// A Java class name from its internal form: com/example/App gives com.example.App.
std::string dottedClassName(std::string_view slashName);

}  // namespace test_jvm
