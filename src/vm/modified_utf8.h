// Texts the VM hands back as modified UTF-8 (GetStringUTFChars): every UTF-16
// unit on its own, U+0000 as two bytes, so the units come back unchanged.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 text of modified UTF-8 bytes. A four-byte sequence of standard
// UTF-8, which the VM never writes but a damaged text may hold, becomes a
// surrogate pair; a byte that starts no valid sequence becomes U+FFFD.
std::wstring wideFromModifiedUtf8(std::string_view bytes);
